#include <cstdint>

#include "draw.h"

namespace kurvana {
namespace {

// The view range in plane coordinates, ends included.  NaN compares false
// and so lies outside.
struct PlaneRange {
  double x_min;
  double x_max;
  double y_min;
  double y_max;

  bool contains(double x, double y) const {
    return x >= x_min && x <= x_max && y >= y_min && y <= y_max;
  }
};

PlaneRange plane_range(const ViewSettings& view) {
  return {static_cast<double>(view.x_min), static_cast<double>(view.x_max),
          static_cast<double>(view.y_min), static_cast<double>(view.y_max)};
}

}  // namespace

void draw_curve(LineSink& sink, const ViewSettings& view,
                const PointList& curve, const ViewTransform& transform) {
  const PenScope pen = sink.select_pen(curve.pen_width, curve.colour);
  const PlaneRange range = plane_range(view);
  const CurvePoint* points = curve.points.get();
  const uint32_t count = points != nullptr ? curve.point_count : 0;
  bool pen_down = false;
  for (uint32_t i = 0; i < count; ++i) {
    const CurvePoint& point = points[i];
    if ((point.flag & POINT_VALID) == 0 || !range.contains(point.x, point.y)) {
      pen_down = false;
      continue;
    }
    const DevicePoint at = transform.map(point.x, point.y);
    if (pen_down) {
      sink.line_to(at.x, at.y);
    } else {
      sink.move_to(at.x, at.y);
    }
    pen_down = true;
  }
}

}  // namespace kurvana
