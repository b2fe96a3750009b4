// Resampling the whole document into its point lists.
#pragma once

#include "document.h"
#include "reporter.h"

namespace kurvana {

// Empties all ten point lists, then samples every defined entry, visible or
// hidden, into the list of its slot and copies the entry's colour and the
// view's curve width there.  A function that fails shows its message and
// keeps an empty list; the others are sampled all the same, so several
// broken definitions show several messages, in list order.  Never fails.
bool recompute_all(Reporter& reporter, const ViewSettings& view,
                   const FunctionList& functions, PointTable& table);

}  // namespace kurvana
