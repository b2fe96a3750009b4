// A curve on the screen: which points join, where the pen lifts, the pen.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "draw.h"
#include "recording_sink.h"

namespace kurvana::testing {
namespace {

// Zoom 100 on a 400 x 400 window: 20 pixels a unit, the origin at 200, 200.
constexpr ViewTransform kScreen{20.0, -20.0, 200.0, 200.0};
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

CurvePoint at(double x, double y) { return {POINT_VALID, x, y}; }
const CurvePoint kBreak{POINT_BREAK, 0, 0};

// A point list owning a malloc'd copy of the points, as a sampler makes it.
PointList curve_of(const std::vector<CurvePoint>& points) {
  PointList list;
  list.colour = 0x123456;
  list.pen_width = 5;
  list.point_count = static_cast<uint32_t>(points.size());
  if (!points.empty()) {
    list.points.reset(static_cast<CurvePoint*>(
        std::malloc(points.size() * sizeof(CurvePoint))));
    std::memcpy(list.points.get(), points.data(),
                points.size() * sizeof(CurvePoint));
  }
  return list;
}

// Points on the border of the range join; beyond it, even just, or not a
// number, they lift the pen: a piece across the border is left out, not
// clipped.  Only bit 0 of the flag marks a point to draw.
TEST(Curve, PointsInTheRangeJoinAndOthersLiftThePen) {
  const struct {
    std::vector<CurvePoint> points;
    const char* path;
  } rows[] = {
      {{at(0, 0), at(10, -10)}, "move 200 200, line 400 400"},
      {{at(0, 0), at(-10, 10)}, "move 200 200, line 0 0"},
      {{at(0, 0), at(std::nextafter(10.0, 11.0), 0)}, "move 200 200"},
      {{at(0, 0), at(0, std::nextafter(-10.0, -11.0))}, "move 200 200"},
      {{at(0, 0), at(kNaN, 0)}, "move 200 200"},
      {{at(0, 0), at(0, kNaN)}, "move 200 200"},
      {{at(0, 0), at(kInf, 0)}, "move 200 200"},
      {{at(0, 0), at(0, -kInf)}, "move 200 200"},
      {{at(9, 0), at(10, 0), at(10.5, 0), at(10, 1), at(9, 1)},
       "move 380 200, line 400 200, move 400 180, line 380 180"},
      {{kBreak, at(1, 1), kBreak}, "move 220 180"},
      {{at(0, 0), at(1, 1), kBreak, at(2, 0), at(3, -1), kBreak},
       "move 200 200, line 220 180, move 240 200, line 260 220"},
      {{at(-1, 1), at(0, 0), at(1, 1)},
       "move 180 180, line 200 200, line 220 180"},
      {{{0x5, 0, 0}, at(1, 0)}, "move 200 200, line 220 200"},
      {{{0xFFFFFFFE, 0, 0}, at(1, 0)}, "move 220 200"},
  };
  for (const auto& row : rows) {
    RecordingSink sink;
    draw_curve(sink, view_of(-10, 10, -10, 10), curve_of(row.points), kScreen);
    EXPECT_EQ(sink.log("ml"), row.path);
    EXPECT_EQ(sink.calls.front(), "pen 5 123456");
    EXPECT_EQ(sink.calls.back(), "restore");
  }
}

// A reversed range from a file, an empty list, and a count without points.
TEST(Curve, NothingToDrawStillRestoresThePen) {
  PointList without_points = curve_of({});
  without_points.point_count = 3;
  const struct {
    ViewSettings view;
    PointList list;
  } rows[] = {{view_of(5, -5, -10, 10), curve_of({at(0, 0), at(1, 1)})},
              {view_of(-10, 10, -10, 10), curve_of({})},
              {view_of(-10, 10, -10, 10), std::move(without_points)}};
  for (const auto& row : rows) {
    RecordingSink sink;
    draw_curve(sink, row.view, row.list, kScreen);
    EXPECT_EQ(sink.log("prml"), "pen 5 123456, restore");
  }
}

}  // namespace
}  // namespace kurvana::testing
