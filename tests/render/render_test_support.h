// Views, transforms and point lists shared by the drawing tests.
#pragma once

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "document.h"
#include "recording_sink.h"
#include "view_transform.h"

namespace kurvana::testing {

// The view of an empty document: x and y from -10 to 10, grid, black axes of
// width 3, grey ticks.
inline ViewSettings default_view() {
  return {-10, 10, -10, 10, 100, 3, 2, kColourBlack, TICKS_GRID, kColourGrey};
}

inline ViewSettings view_of(int32_t x_min, int32_t x_max, int32_t y_min,
                            int32_t y_max, int32_t tick_mode = TICKS_GRID) {
  ViewSettings view = default_view();
  view.x_min = x_min;
  view.x_max = x_max;
  view.y_min = y_min;
  view.y_max = y_max;
  view.tick_mode = tick_mode;
  return view;
}

// Zoom 100 on a 400 x 400 window with the default view centred: 20 pixels
// per unit, the origin at (200, 200).
constexpr ViewTransform SCREEN{20.0, -20.0, 200.0, 200.0};

inline const Pen GRID_PEN{1, kColourGrey};
inline const Pen AXIS_PEN{3, kColourBlack};

inline CurvePoint valid(double x, double y) { return {POINT_VALID, x, y}; }
inline CurvePoint gap() { return {POINT_BREAK, 0.0, 0.0}; }

// A point list owning a malloc'd copy of the points, as a sampler makes it.
inline PointList curve_of(std::initializer_list<CurvePoint> points,
                          uint32_t pen_width = 2, Colour colour = kColourRed) {
  PointList list;
  list.colour = colour;
  list.pen_width = pen_width;
  list.point_count = static_cast<uint32_t>(points.size());
  if (points.size() != 0) {
    auto* block = static_cast<CurvePoint*>(
        std::malloc(points.size() * sizeof(CurvePoint)));
    std::memcpy(block, points.begin(), points.size() * sizeof(CurvePoint));
    list.points.reset(block);
  }
  return list;
}

inline std::vector<SinkCall> pen_calls(const RecordingSink& sink) {
  std::vector<SinkCall> result;
  for (const SinkCall& call : sink.calls()) {
    if (call.kind == SinkCall::Kind::SelectPen ||
        call.kind == SinkCall::Kind::RestorePen) {
      result.push_back(call);
    }
  }
  return result;
}

inline std::vector<SinkCall> drawing_calls(const RecordingSink& sink) {
  std::vector<SinkCall> result;
  for (const SinkCall& call : sink.calls()) {
    if (call.kind == SinkCall::Kind::Move ||
        call.kind == SinkCall::Kind::Line) {
      result.push_back(call);
    }
  }
  return result;
}

inline std::vector<Segment> segments_with(const RecordingSink& sink,
                                          const Pen& pen) {
  std::vector<Segment> result;
  for (const Segment& segment : sink.segments()) {
    if (segment.pen == pen) result.push_back(segment);
  }
  return result;
}

}  // namespace kurvana::testing
