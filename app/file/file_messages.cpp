#include "file_messages.h"

#include <array>

namespace kurvana::file {
namespace {

// Indexed by FileError.
constexpr std::array<std::u16string_view, 9> kMessages = {
    u"",
    u"メモリが不足しています。",
    u"ファイルを開けません。",
    u"ファイルを読み取れません。",
    u"ファイルが不正です。",
    u"新しいバージョンのファイルです。",
    u"Unicode → Ansi 変換でエラーが発生しました。",
    u"ファイルに書き込めません。",
    u"Ansi → Unicode 変換でエラーが発生しました。",
};
static_assert(kMessages.size() ==
              static_cast<size_t>(FileError::kAnsiToUnicode) + 1);

constexpr std::u16string_view kTooManyFunctions =
    u"関数定義が%dを超えました。一部を破棄します。";

std::u16string decimal(uint32_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

}  // namespace

std::u16string_view error_message(FileError error) {
  return kMessages[static_cast<size_t>(error)];
}

std::u16string too_many_functions_message(uint32_t limit) {
  std::u16string text(kTooManyFunctions);
  const size_t at = text.find(u"%d");
  return text.replace(at, 2, decimal(limit));
}

}  // namespace kurvana::file
