#include "document.h"

#include <cstring>

namespace kurvana {

void set_default_view(ViewSettings& view) {
  view.x_min = -10;
  view.x_max = 10;
  view.y_min = -10;
  view.y_max = 10;
  view.zoom_percent = 100;
  view.axis_width = 3;
  view.graph_width = 2;
  view.axis_colour = kColourBlack;
  view.tick_mode = TICKS_GRID;
  view.tick_colour = kColourGrey;
}

void clear_function_list(FunctionList& list) {
  std::memset(&list, 0, sizeof list);
  list.capacity = MAX_FUNCTIONS;
}

FunctionEntry new_function_entry() {
  FunctionEntry entry;
  std::memset(&entry, 0, sizeof entry);
  entry.kind = FUNCTION_EXPLICIT;
  entry.flags = FLAG_VISIBLE;
  entry.domain_min = -10.0;
  entry.domain_max = 10.0;
  entry.colour = kColourRed;
  entry.density = 3;
  return entry;
}

}  // namespace kurvana
