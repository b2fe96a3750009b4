// Drawing the picture: from plane to pixels, the scroll bars, the axes with
// their grid or marks, and the curves.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>
#include <vector>

#include "draw.h"
#include "recording_sink.h"
#include "viewport.h"

namespace kurvana::testing {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
// Zoom 100 on a 400 x 400 window: 20 pixels a unit, the origin at 200, 200.
constexpr ViewTransform kScreen{20.0, -20.0, 200.0, 200.0};
const ViewSettings kFullRange =
    view_of(INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX);

// Truncation toward zero; beyond the int range and for NaN, saturation.
TEST(ViewTransform, TruncatesTowardZeroAndSaturates) {
  const struct {
    ViewTransform transform;
    double x, y;
    DevicePoint expected;
  } rows[] = {{{1, -1, 0, 0}, -1.5, 2.5, {-1, -2}},
              {{20, -20, 200, 200}, INT32_MAX, INT32_MIN, {INT_MAX, INT_MAX}},
              {{1, 1, 0, 0}, 2147483648.0, -2147483649.0, {INT_MAX, INT_MIN}},
              {{1, 1, 0, 0}, -kInf, std::nan(""), {INT_MIN, 0}}};
  for (const auto& row : rows) {
    EXPECT_EQ(row.transform.map(row.x, row.y), row.expected) << row.x;
  }
}

// The middle of the range lies in the middle of the window (or of the
// copy's canvas); a scroll position moves the picture the other way.
TEST(ViewTransform, ScreenAndCopyCentreTheRange) {
  ViewSettings zoomed = view_of(-10, 10, -10, 10);
  zoomed.zoom_percent = 1000;
  const struct {
    ViewSettings view;
    int width, height, scroll_x, scroll_y;  // width 0: the copy
    double x, y;
    DevicePoint expected;
  } rows[] = {{view_of(-10, 10, -10, 10), 401, 301, 0, 0, 0, 0, {200, 150}},
              {view_of(-10, 10, -10, 10), 400, 300, 7, -3, 0, 0, {193, 153}},
              {view_of(0, 10, 1, 5), 400, 300, 0, 0, 5, 3, {200, 150}},
              {zoomed, 400, 300, 0, 0, 1, 1, {400, -50}},
              {view_of(-10, 10, -10, 10), 0, 0, 0, 0, -10, 10, {2400, 2400}},
              {view_of(0, 10, 1, 5), 0, 0, 0, 0, 6, 3, {2510, 2500}},
              {zoomed, 0, 0, 0, 0, 1, 1, {2600, 2400}}};
  for (const auto& row : rows) {
    const ViewTransform transform =
        row.width ? screen_transform(row.view, row.width, row.height,
                                     row.scroll_x, row.scroll_y)
                  : metafile_transform(row.view);
    EXPECT_EQ(transform.map(row.x, row.y), row.expected) << row.x;
  }
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

TEST(Picture, AxesFirstThenVisibleCurvesFromTheLastFunction) {
  ViewSettings view = view_of(-10, 10, -10, 10, TICKS_NONE);
  view.axis_colour = 0x111111;
  FunctionList functions;
  clear_function_list(functions);
  functions.count = 3;
  PointTable points;
  for (int i = 0; i < 3; ++i) {
    functions.entries[i].flags = i == 1 ? 0 : FLAG_VISIBLE;
    points[i].colour = 0xFF << 8 * i;
    points[i].pen_width = 2;
  }
  RecordingSink sink;
  draw_picture(sink, view, functions, points, metafile_transform(view));
  EXPECT_EQ(sink.pens,
            "pen 3 111111, restore, pen 2 ff0000, restore, pen 2 ff, restore");
}

RecordingSink axes(const ViewSettings& view,
                   const ViewTransform& transform = kScreen,
                   std::optional<DeviceRect> visible = {},
                   std::optional<DeviceRect> canvas = {}) {
  RecordingSink sink(visible, canvas);
  draw_axes(sink, view, transform);
  return sink;
}

// The view's pens; any mode but grid and marks, as a file may hold it,
// draws the axes only, and an axis lies only where its range holds zero.
// The loops end at the ends of the stored type and visit each whole number
// once; a reversed range has none.
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
    EXPECT_EQ(sink.pens, row.ticks ? "pen 1 ff, restore, pen 7 ff8000, restore"
                                   : "pen 7 ff8000, restore");
    EXPECT_EQ(sink.lines_with("pen 1 ff").size(), row.ticks) << row.x_min;
    EXPECT_EQ(sink.lines_with("pen 7 ff8000").size(), row.axes) << row.x_min;
  }
}

// The full stored range draws the lines that cross the window, not four
// billion; with the zoom 0 of a file every line falls on one spot and is
// drawn once.  The copy has no visible area but a canvas: the full range
// draws the lines on it (10 pixels apart); the dialog's widest ranges draw
// every line.
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

// A point list owning a malloc'd copy of the points, as a sampler makes
// it; without points it keeps a count, as a damaged one might.
PointList curve_of(const std::vector<CurvePoint>& points) {
  PointList list{points.empty() ? 3 : uint32_t(points.size()), 0x123456, 5, {}};
  if (points.empty()) return list;
  list.points.reset(static_cast<CurvePoint*>(
      std::malloc(points.size() * sizeof(CurvePoint))));
  std::copy(points.begin(), points.end(), list.points.get());
  return list;
}

// Points on the border of the range join; beyond it, even just, or not a
// number, they lift the pen: a piece across the border is left out, not
// clipped.  Only bit 0 of the flag marks a point to draw.  The curve's pen
// is restored even when nothing is drawn.
TEST(Curve, PointsInTheRangeJoinAndOthersLiftThePen) {
  const auto at = [](double x, double y) { return CurvePoint{1, x, y}; };
  const CurvePoint kBreak{POINT_BREAK, 0, 0};
  const double kNaN = std::nan(""), kJustOut = std::nextafter(10.0, 11.0);
  const struct {
    std::vector<CurvePoint> points;
    const char* path;
    ViewSettings view = view_of(-10, 10, -10, 10);
  } rows[] = {{{at(0, 0), at(10, -10)}, "move 200 200, line 400 400"},
              {{at(0, 0), at(-10, 10)}, "move 200 200, line 0 0"},
              {{at(0, 0), at(kJustOut, 0)}, "move 200 200"},
              {{at(0, 0), at(0, -kJustOut)}, "move 200 200"},
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
              {{at(0, 0), at(1, 1)}, "", view_of(5, -5, -10, 10)},  // reversed
              {{}, ""}};
  for (const auto& row : rows) {
    RecordingSink sink;
    draw_curve(sink, row.view, curve_of(row.points), kScreen);
    EXPECT_EQ(sink.path, row.path);
    EXPECT_EQ(sink.pens, "pen 5 123456, restore");
  }
}

}  // namespace
}  // namespace kurvana::testing
