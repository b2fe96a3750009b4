// Drawing: from plane to pixels, the scroll bars, the axes with their grid
// or marks, and the curves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "draw.h"
#include "recording_sink.h"
#include "viewport.h"

namespace kurvana::testing {
namespace {

// Zoom 100 on a 400 x 400 window: 20 pixels a unit, the origin at 200, 200.
constexpr ViewTransform kScreen{20.0, -20.0, 200.0, 200.0};
const ViewSettings kFullRange =
    view_of(INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX);

// The range's middle at the window's (or canvas's); scrolling moves it back.
TEST(ViewTransform, ScreenAndCopyCentreTheRange) {
  const struct {
    ViewSettings view;
    int width, height, scroll_x, scroll_y;  // width 0: the copy
    double x, y;
    DevicePoint expected;
  } rows[] = {{view_of(-10, 10, -10, 10), 401, 301, 0, 0, 0, 0, {200, 150}},
              {view_of(-10, 10, -10, 10), 400, 300, 7, -3, 0, 0, {193, 153}},
              {view_of(0, 10, 1, 5), 400, 300, 0, 0, 6, 4, {220, 130}},
              {view_of(-10, 10, -10, 10), 0, 0, 0, 0, -10, 10, {2400, 2400}},
              {view_of(0, 10, 1, 5), 0, 0, 0, 0, 6, 3, {2510, 2500}}};
  for (const auto& row : rows) {
    const ViewTransform transform =
        row.width ? screen_transform(row.view, row.width, row.height,
                                     row.scroll_x, row.scroll_y)
                  : metafile_transform(row.view);
    EXPECT_EQ(transform.map(row.x, row.y), row.expected) << row.x;
  }
  // Beyond the int range device coordinates saturate; NaN gives 0.  At run
  // time: the compiler would fold a constant's conversion its own way.
  volatile double edges[] = {2147483648.0, -2147483649.0, std::nan("")};
  EXPECT_EQ(to_device(edges[0]), INT_MAX);
  EXPECT_EQ(to_device(edges[1]), INT_MIN);
  EXPECT_EQ(to_device(edges[2]), 0);
}

TEST(ScrollBars, RequestsMoveAndClampThePosition) {
  const struct {
    int position, request, track, expected;
  } rows[] = {{0, kScrollLineBack, 0, -10},
              {0, kScrollLineForward, 0, 10},
              {0, kScrollPageBack, 0, -300},
              {0, kScrollPageForward, 0, 300},
              {9900, kScrollPageForward, 0, 10000},
              {-9900, kScrollPageBack, 0, -10000},
              {5, kScrollThumbPosition, 1234, 1234},
              {5, kScrollThumbTrack, 20000, 10000},
              {5, kScrollToStart, 0, -10000},
              {5, kScrollToEnd, 0, 10000},
              {77, 8, 0, 77}};  // end of scrolling: unchanged
  for (const auto& row : rows) {
    EXPECT_EQ(scrolled_position(row.position, row.request, row.track),
              row.expected)
        << row.request;
  }
}

RecordingSink axes(const ViewSettings& view,
                   const ViewTransform& transform = kScreen,
                   std::optional<DeviceRect> visible = {},
                   std::optional<DeviceRect> canvas = {}) {
  RecordingSink sink(visible, canvas);
  draw_axes(sink, view, transform);
  return sink;
}

// The view's pens; other modes (from files) draw the axes only; an axis only
// where its range holds zero; ranges ending at the type's ends or reversed.
TEST(Axes, PensModesAndCountsOfLines) {
  const struct {
    int32_t mode, x_min, x_max, y_min, y_max;
    size_t ticks, axes;
  } rows[] = {{TICKS_GRID, -10, 10, -10, 10, 42, 2},
              {3, -10, 10, -10, 10, 0, 2},
              {TICKS_NONE, 0, 10, 1, 5, 0, 1},
              {TICKS_NONE, -10, 0, -10, 0, 0, 2},
              {TICKS_NONE, -5, -1, 0, 3, 0, 1},
              {TICKS_NONE, 1, 5, -5, -1, 0, 0},
              {TICKS_MARKS, INT32_MIN, INT32_MIN + 2, -1, 1, 3 + 3, 1},
              {TICKS_GRID, INT32_MAX, INT32_MAX, -1, 1, 1 + 3, 1},
              {TICKS_MARKS, 5, -5, -1, 1, 0 + 3, 1}};
  for (const auto& row : rows) {
    ViewSettings view =
        view_of(row.x_min, row.x_max, row.y_min, row.y_max, row.mode);
    view.axis_width = 7;
    view.axis_colour = 0xFF8000;
    view.tick_colour = 0xFF;
    const RecordingSink sink = axes(view, {1, -1, 0, 0});
    EXPECT_EQ(sink.lines_with("pen 1 ff").size(), row.ticks) << row.x_min;
    EXPECT_EQ(sink.lines_with("pen 7 ff8000").size(), row.axes) << row.x_min;
  }
}

// The full range draws the lines that can be seen (zoom 0: one spot, once):
// in the window, or on the copy's canvas (10 pixels apart); the dialog's
// widest ranges draw every line.
TEST(Axes, HugeRangesDrawTheLinesThatCanBeSeen) {
  const RecordingSink screen =
      axes(kFullRange, kScreen, DeviceRect{0, 0, 400, 300});
  std::multiset<int> columns, rows;
  for (const Line& line : screen.lines_with(kGridPen)) {
    const bool vertical = line.from.x == line.to.x;
    (vertical ? columns : rows).insert(vertical ? line.from.x : line.from.y);
  }
  for (int x = 0; x < 400; x += 20) EXPECT_EQ(columns.count(x), 1u) << x;
  for (int y = 0; y < 300; y += 20) EXPECT_EQ(rows.count(y), 1u) << y;
  EXPECT_LT(columns.size() + rows.size(), 60u);
  EXPECT_EQ(axes(kFullRange, {0, 0, 200, 150}).lines_with(kGridPen),
            std::vector<Line>(2, {{200, 150}, {200, 150}, kGridPen}));
  const DeviceRect canvas{0, 0, kMetafileCanvas, kMetafileCanvas};
  const RecordingSink copy =
      axes(kFullRange, metafile_transform(kFullRange), std::nullopt, canvas);
  EXPECT_GE(copy.lines_with(kGridPen).size(), 2u * 500);
  EXPECT_LE(copy.lines_with(kGridPen).size(), 2u * 510);
  EXPECT_EQ(copy.lines_with(kAxisPen).size(), 2u);
  const ViewSettings widest = view_of(-999, 9999, -999, 9999);
  const RecordingSink bounded =
      axes(widest, metafile_transform(widest), std::nullopt, canvas);
  EXPECT_EQ(bounded.path, axes(widest, metafile_transform(widest)).path);
  EXPECT_EQ(bounded.lines_with(kGridPen).size(), 2u * 10999);
}

// A malloc'd point list as a sampler makes it; without points, a count.
PointList curve_of(const std::vector<CurvePoint>& points) {
  PointList list{points.empty() ? 3 : uint32_t(points.size()), 0x123456, 5, {}};
  if (points.empty()) return list;
  list.points.reset(static_cast<CurvePoint*>(
      std::malloc(points.size() * sizeof(CurvePoint))));
  std::copy(points.begin(), points.end(), list.points.get());
  return list;
}

// Points on the range's border join; beyond it or NaN they lift the pen (no
// clipping); only bit 0 of the flag marks a point to draw.
TEST(Curve, PointsInTheRangeJoinAndOthersLiftThePen) {
  const auto at = [](double x, double y) { return CurvePoint{1, x, y}; };
  const CurvePoint kBreak{POINT_BREAK, 0, 0};
  const double kNaN = std::nan(""), kJustOut = std::nextafter(10.0, 11.0);
  const struct {
    std::vector<CurvePoint> points;
    const char* path;
    ViewSettings view = view_of(-10, 10, -10, 10);
  } rows[] = {
      // clang-format off
      {{at(0, 0), at(10, -10)}, "move 0 0, line 10 10"},
      {{at(0, 0), at(-10, 10)}, "move 0 0, line -10 -10"},
      {{at(0, 0), at(kJustOut, 0)}, "move 0 0"},
      {{at(0, 0), at(0, -kJustOut)}, "move 0 0"},
      {{at(0, 0), at(kNaN, 0)}, "move 0 0"},
      {{at(0, 0), at(0, kNaN)}, "move 0 0"},
      {{at(0, 0), at(HUGE_VAL, 0)}, "move 0 0"},
      {{at(0, 0), at(0, -HUGE_VAL)}, "move 0 0"},
      {{at(9, 0), at(10, 0), at(10.5, 0), at(10, 1), at(9, 1)}, "move 9 0, line 10 0, move 10 -1, line 9 -1"},
      {{kBreak, at(1, 1), kBreak}, "move 1 -1"},
      {{at(0, 0), at(1, 1), kBreak, at(2, 0), at(3, -1), kBreak}, "move 0 0, line 1 -1, move 2 0, line 3 1"},
      {{at(-1, 1), at(0, 0), at(1, 1)}, "move -1 -1, line 0 0, line 1 -1"},
      {{{0x5, 0, 0}, at(1, 0)}, "move 0 0, line 1 0"},
      {{{0xFFFFFFFE, 0, 0}, at(1, 0)}, "move 1 0"},
      {{at(0, 0), at(1, 1)}, "", view_of(5, -5, -10, 10)},  // reversed
      {{}, ""}};
  // clang-format on
  for (const auto& row : rows) {
    RecordingSink sink;
    draw_curve(sink, row.view, curve_of(row.points), {1, -1, 0, 0});
    EXPECT_EQ(sink.path, row.path);
  }
}

}  // namespace
}  // namespace kurvana::testing
