#include "recompute.h"

#include <algorithm>

#include "sampling.h"

namespace kurvana {

bool recompute_all(Reporter& reporter, const ViewSettings& view,
                   const FunctionList& functions, PointTable& table) {
  for (PointList& list : table) list.release();
  // A count beyond the table (only a damaged document could carry one)
  // samples the ten slots there are.
  const uint32_t count = std::min(functions.count, MAX_FUNCTIONS);
  for (uint32_t i = 0; i < count; ++i) {
    const FunctionEntry& entry = functions.entries[i];
    sample_function(reporter, view, entry, table[i]);
    table[i].colour = entry.colour;
    table[i].pen_width = view.graph_width;
  }
  return true;
}

}  // namespace kurvana
