#include "viewport.h"

#include <algorithm>

namespace kurvana {

namespace {

// Centre of the view range along one axis, times the scale.
double range_middle(int32_t low, int32_t high, double scale) {
  return (static_cast<double>(low) + static_cast<double>(high)) * scale * 0.5;
}

}  // namespace

ViewTransform screen_transform(const ViewSettings& view, int client_width,
                               int client_height, int scroll_x, int scroll_y) {
  ViewTransform transform;
  transform.scale_x = view.zoom_percent * 0.2;
  transform.scale_y = view.zoom_percent * -0.2;
  const int cx = client_width / 2;
  const int cy = client_height / 2;
  transform.offset_x =
      cx - range_middle(view.x_min, view.x_max, transform.scale_x) - scroll_x;
  transform.offset_y =
      cy - range_middle(view.y_min, view.y_max, transform.scale_y) - scroll_y;
  return transform;
}

ViewTransform metafile_transform(const ViewSettings& view) {
  ViewTransform transform;
  transform.scale_x = view.zoom_percent * 0.1;
  transform.scale_y = view.zoom_percent * -0.1;
  const double centre = kMetafileCanvas / 2;
  transform.offset_x =
      centre - range_middle(view.x_min, view.x_max, transform.scale_x);
  transform.offset_y =
      centre - range_middle(view.y_min, view.y_max, transform.scale_y);
  return transform;
}

int scrolled_position(int position, int request, int track_position) {
  int next = position;
  switch (request) {
    case kScrollLineBack:
      next = position - 10;
      break;
    case kScrollLineForward:
      next = position + 10;
      break;
    case kScrollPageBack:
      next = position - 300;
      break;
    case kScrollPageForward:
      next = position + 300;
      break;
    case kScrollThumbPosition:
    case kScrollThumbTrack:
      next = track_position;
      break;
    case kScrollToStart:
      next = -kScrollLimit;
      break;
    case kScrollToEnd:
      next = kScrollLimit;
      break;
    default:
      break;
  }
  return std::clamp(next, -kScrollLimit, kScrollLimit);
}

void draw_picture(LineSink& sink, const ViewSettings& view,
                  const FunctionList& functions, const PointTable& points,
                  const ViewTransform& transform) {
  draw_axes(sink, view, transform);
  const uint32_t count = std::min(functions.count, MAX_FUNCTIONS);
  for (uint32_t i = count; i-- > 0;) {
    if (functions.entries[i].flags & FLAG_VISIBLE) {
      draw_curve(sink, view, points[i], transform);
    }
  }
}

}  // namespace kurvana
