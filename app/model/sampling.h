// Turning a function definition into its point list: the dispatcher and the
// samplers of the curves with a parameter (explicit, parametric, polar).
// Every failure shows its own message through the reporter and leaves the
// point list empty.
#pragma once

#include <cstdint>

#include "document.h"
#include "reporter.h"

namespace kurvana {

// The density that sets a function's sample count.  The dialogs only offer
// 1 to 6; a value from elsewhere (a document file) is clamped into that
// range, so that 2^(density + 4) can neither overflow nor reach zero.
int32_t clamped_density(int32_t density);

// Checks the domain, then samples by kind: explicit, parametric and polar
// curves here, implicit ones by trace_implicit over the view range.  Hidden
// entries are sampled like visible ones.
bool sample_function(Reporter& reporter, const ViewSettings& view,
                     const FunctionEntry& entry, PointList& list);

// Each fills `list` with 2^(density + 4) + 1 points at evenly spaced
// parameter values over the entry's domain, a break wherever an evaluation
// fails.  Letters other than the parameter (x or t) read 0.
bool sample_explicit(Reporter& reporter, const FunctionEntry& entry,
                     PointList& list);
bool sample_parametric(Reporter& reporter, const FunctionEntry& entry,
                       PointList& list);
// A negative radius is a break, not a point through the origin.
bool sample_polar(Reporter& reporter, const FunctionEntry& entry,
                  PointList& list);

}  // namespace kurvana
