#include "sampling_failure.h"

#include <string_view>

namespace kurvana {

namespace {

// Indexed by SamplingFailure.
constexpr std::u16string_view kMessages[] = {
    u"定義域が不正です。",
    u"不正な形式の関数が指定されました。",
    u"メモリが不足しています。",
    u"コンパイルに失敗しました。",
};

}  // namespace

bool report_failure(Reporter& reporter, SamplingFailure failure) {
  reporter.show(kMessages[static_cast<int>(failure)], MessageIcon::Error);
  return false;
}

}  // namespace kurvana
