#include "sampling_failure.h"

#include "texts.h"

namespace kurvana {

namespace {

// Indexed by SamplingFailure.
constexpr const char16_t* kMessages[] = {
    text::kInvalidDomain,
    text::kUnsupportedKind,
    text::kOutOfMemory,
    text::kCompileFailed,
};

}  // namespace

bool report_failure(Reporter& reporter, SamplingFailure failure) {
  reporter.show(kMessages[static_cast<int>(failure)], MessageIcon::kError);
  return false;
}

}  // namespace kurvana
