// Tracing the zero set of f(x, y) over the view range as short tangent
// segments.
#pragma once

#include "document.h"
#include "reporter.h"

namespace kurvana {

// Samples f on a grid of 2^(density + 3) intervals per axis over the view's
// whole-unit range, and at each sign change (or exact zero) between
// neighbouring grid points along a row or a column places a segment along
// the local tangent, one grid spacing to either side.  The segments are
// stored as triples: two valid end points and a break.  A sign change across
// a pole, where f between the two grid points leaves their range, is not a
// crossing.  Failures show their message and leave the list empty.
bool trace_implicit(Reporter& reporter, const ViewSettings& view,
                    const FunctionEntry& entry, PointList& list);

}  // namespace kurvana
