// The ways sampling a function can fail, and the message each one shows.
#pragma once

#include "reporter.h"

namespace kurvana {

enum class SamplingFailure {
  kInvalidDomain,
  kUnsupportedKind,
  kOutOfMemory,
  kCompileFailed,
};

// Shows the failure's message with the error icon; returns false so that a
// sampler can end with `return report_failure(...)`.
bool report_failure(Reporter& reporter, SamplingFailure failure);

}  // namespace kurvana
