#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "draw.h"
#include "recording_sink.h"
#include "render_test_support.h"
#include "viewport.h"

namespace kurvana::testing {
namespace {

// --- the picture of one view ------------------------------------------------

TEST(GridMode, DefaultViewHasTwentyOneLinesEachWayThenTheAxesOverThem) {
  RecordingSink sink;
  draw_axes(sink, default_view(), SCREEN);

  std::vector<Segment> expected;
  for (int x = 0; x <= 400; x += 20) {  // 20 units of 20 pixels, bottom up
    expected.push_back({{x, 400}, {x, 0}, GRID_PEN});
  }
  for (int y = 400; y >= 0; y -= 20) {
    expected.push_back({{0, y}, {400, y}, GRID_PEN});
  }
  expected.push_back({{200, 0}, {200, 400}, AXIS_PEN});
  expected.push_back({{400, 200}, {0, 200}, AXIS_PEN});
  EXPECT_EQ(sink.segments(), expected);
}

TEST(MarksMode, MarksStayOnTheZeroLinesWhenTheXAxisIsOutsideTheRange) {
  RecordingSink sink;
  draw_axes(sink, view_of(-10, 10, 1, 5, TICKS_MARKS), SCREEN);

  std::vector<Segment> expected;
  for (int x = 0; x <= 400; x += 20) {  // on y = 0, half a unit upward
    expected.push_back({{x, 200}, {x, 190}, GRID_PEN});
  }
  for (int y = 180; y >= 100; y -= 20) {  // y = 1 to 5, half a unit right
    expected.push_back({{200, y}, {210, y}, GRID_PEN});
  }
  expected.push_back({{200, 100}, {200, 180}, AXIS_PEN});  // y axis only
  EXPECT_EQ(sink.segments(), expected);
}

TEST(Axes, RangeStartingAtZeroPutsTheYAxisOnItsLeftEdge) {
  const ViewTransform centred{20, -20, 100, 200};  // x from 0 to 10 centred
  RecordingSink sink;
  draw_axes(sink, view_of(0, 10, -10, 10), centred);

  const std::vector<Segment> grid = segments_with(sink, GRID_PEN);
  ASSERT_FALSE(grid.empty());
  EXPECT_EQ(grid.front(), (Segment{{100, 400}, {100, 0}, GRID_PEN}));
  const std::vector<Segment> expected_axes{{{100, 0}, {100, 400}, AXIS_PEN},
                                           {{300, 200}, {100, 200}, AXIS_PEN}};
  EXPECT_EQ(segments_with(sink, AXIS_PEN), expected_axes);
}

TEST(Axes, NeitherAxisWhenZeroIsOutsideBothRanges) {
  RecordingSink sink;
  draw_axes(sink, view_of(1, 5, -5, -1, TICKS_NONE), SCREEN);
  EXPECT_TRUE(sink.segments().empty());
}

TEST(Axes, AxisPenTakesTheViewsWidthAndColour) {
  ViewSettings view = default_view();
  view.axis_width = 7;
  view.axis_colour = 0x00FF8000;
  view.tick_colour = 0x000000FF;
  RecordingSink sink;
  draw_axes(sink, view, SCREEN);

  const std::vector<SinkCall> expected{
      select_call(1, 0x000000FF), restore_call(), select_call(7, 0x00FF8000),
      restore_call()};
  EXPECT_EQ(pen_calls(sink), expected);
}

TEST(TickModes, AnyModeButGridOrMarksDrawsOnlyTheAxes) {
  for (int32_t mode : {int32_t{TICKS_NONE}, 3, -1, INT32_MAX}) {
    RecordingSink sink;
    draw_axes(sink, view_of(-10, 10, -10, 10, mode), SCREEN);
    const std::vector<SinkCall> pens{select_call(3, kColourBlack),
                                     restore_call()};
    EXPECT_EQ(pen_calls(sink), pens) << "mode " << mode;
    EXPECT_EQ(sink.segments().size(), 2u) << "mode " << mode;
  }
}

TEST(Pens, EverySelectionIsRestoredOnceInEveryMode) {
  for (int32_t mode :
       {int32_t{TICKS_NONE}, int32_t{TICKS_MARKS}, int32_t{TICKS_GRID}}) {
    RecordingSink sink;
    draw_axes(sink, view_of(-3, 4, -2, 6, mode), SCREEN);
    EXPECT_TRUE(sink.pens_balanced()) << "mode " << mode;
  }
}

// --- ranges at the ends of the stored type ----------------------------------

struct RangeRow {
  const char* what;
  int32_t x_min, x_max, y_min, y_max;
  size_t lines;  // across x plus across y
};

const RangeRow RANGE_ROWS[] = {
    {"x up to INT32_MAX", INT32_MAX - 2, INT32_MAX, -1, 1, 3 + 3},
    {"x from INT32_MIN", INT32_MIN, INT32_MIN + 2, -1, 1, 3 + 3},
    {"x just INT32_MAX", INT32_MAX, INT32_MAX, -1, 1, 1 + 3},
    {"y up to INT32_MAX", -1, 1, INT32_MAX - 1, INT32_MAX, 3 + 2},
    {"y just INT32_MIN", -1, 1, INT32_MIN, INT32_MIN, 3 + 1},
    {"x reversed, as a file may hold it", 5, -5, -1, 1, 0 + 3},
};

TEST(RangeEnds, LoopsEndAndVisitEachWholeNumberOnce) {
  const ViewTransform unit{1, -1, 0, 0};
  for (int32_t mode : {int32_t{TICKS_GRID}, int32_t{TICKS_MARKS}}) {
    for (const RangeRow& row : RANGE_ROWS) {
      RecordingSink sink;
      draw_axes(sink, view_of(row.x_min, row.x_max, row.y_min, row.y_max, mode),
                unit);
      EXPECT_EQ(segments_with(sink, GRID_PEN).size(), row.lines)
          << row.what << ", mode " << mode;
    }
  }
}

// --- leaving out what cannot be seen ----------------------------------------

const ViewSettings FULL_RANGE =
    view_of(INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX);

TEST(VisibleArea, FullStoredRangeDrawsTheVisibleLinesAndEnds) {
  RecordingSink sink(DeviceRect{0, 0, 400, 300});
  draw_axes(sink, FULL_RANGE, SCREEN);

  std::vector<int> columns;
  std::vector<int> rows;
  for (const Segment& line : segments_with(sink, GRID_PEN)) {
    if (line.from.x == line.to.x) {
      columns.push_back(line.from.x);
      EXPECT_EQ(line.from.y, INT_MAX);  // the ends saturate
      EXPECT_EQ(line.to.y, INT_MIN);
    } else {
      rows.push_back(line.from.y);
      EXPECT_EQ(line.from.x, INT_MIN);
      EXPECT_EQ(line.to.x, INT_MAX);
    }
  }
  for (int x = 0; x < 400; x += 20) {
    EXPECT_NE(std::find(columns.begin(), columns.end(), x), columns.end()) << x;
  }
  for (int y = 0; y < 300; y += 20) {
    EXPECT_NE(std::find(rows.begin(), rows.end(), y), rows.end()) << y;
  }
  EXPECT_LT(columns.size(), 30u);
  EXPECT_LT(rows.size(), 25u);
}

// The copy has no visible area but a 5000 x 5000 canvas: the full stored
// range draws the lines on it (10 pixels apart), not four billion.
TEST(Canvas, FullStoredRangeDrawsTheLinesOnTheCanvasAndTheAxes) {
  const DeviceRect canvas{0, 0, kMetafileCanvas, kMetafileCanvas};
  RecordingSink sink(std::nullopt, canvas);
  draw_axes(sink, FULL_RANGE, metafile_transform(FULL_RANGE));
  const std::vector<Segment> grid = segments_with(sink, GRID_PEN);
  EXPECT_GE(grid.size(), 2u * 500);
  EXPECT_LE(grid.size(), 2u * 510);
  EXPECT_EQ(segments_with(sink, AXIS_PEN).size(), 2u);
}

// Below the limit the canvas changes nothing: the widest ranges the
// settings dialog allows copy every line, on the canvas or not.
TEST(Canvas, DialogRangesDrawEveryLine) {
  const ViewSettings widest = view_of(-999, 9999, -999, 9999);
  const DeviceRect canvas{0, 0, kMetafileCanvas, kMetafileCanvas};
  RecordingSink bounded(std::nullopt, canvas);
  RecordingSink unbounded;
  draw_axes(bounded, widest, metafile_transform(widest));
  draw_axes(unbounded, widest, metafile_transform(widest));
  EXPECT_EQ(bounded.calls(), unbounded.calls());
  EXPECT_EQ(segments_with(bounded, GRID_PEN).size(), 2u * 10999);
}

TEST(VisibleArea, ZeroScaleDrawsTheCoincidingLinesOnce) {
  // Zoom 0 read from a file puts every line on the same spot.
  RecordingSink sink;
  draw_axes(sink, FULL_RANGE, ViewTransform{0, 0, 200, 150});
  const std::vector<Segment> expected{{{200, 150}, {200, 150}, GRID_PEN},
                                      {{200, 150}, {200, 150}, GRID_PEN}};
  EXPECT_EQ(segments_with(sink, GRID_PEN), expected);
}

// Whether a 1-pixel grid or mark line shows any pixel of the area.
bool touches(const Segment& line, const DeviceRect& area) {
  const auto [x0, x1] = std::minmax(line.from.x, line.to.x);
  const auto [y0, y1] = std::minmax(line.from.y, line.to.y);
  return x1 >= area.left && x0 < area.right && y1 >= area.top &&
         y0 < area.bottom;
}

// Whether every line of `part` is in `whole`, in the same order.
bool is_subsequence(const std::vector<Segment>& part,
                    const std::vector<Segment>& whole) {
  auto next = whole.begin();
  for (const Segment& line : part) {
    next = std::find(next, whole.end(), line);
    if (next == whole.end()) return false;
    ++next;
  }
  return true;
}

struct AreaRow {
  const char* what;
  ViewTransform transform;
  DeviceRect area;
};

const AreaRow AREA_ROWS[] = {
    {"zoom 100", {20, -20, 200, 200}, {100, 100, 300, 300}},
    {"zoom 10, scrolled", {2, -2, 37, -13}, {0, 0, 50, 60}},
    {"zoom 1000, fractional offset",
     {200, -200, 200.5, 150.5},
     {0, 0, 401, 301}},
    {"zoom 1: many units a pixel", {0.2, -0.2, 1.5, 1.5}, {0, 0, 2, 3}},
    {"edges between two lines", {20, -20, 210, 210}, {0, 0, 20, 20}},
    {"mirrored axes", {-20, 20, 200, 200}, {150, 150, 260, 260}},
    {"area wholly off the picture", {20, -20, 200, 200}, {1000, 0, 1200, 50}},
};

TEST(VisibleArea, OnlyLinesThatMissTheAreaAreLeftOut) {
  for (int32_t mode : {int32_t{TICKS_GRID}, int32_t{TICKS_MARKS}}) {
    const ViewSettings view = view_of(-40, 40, -30, 30, mode);
    for (const AreaRow& row : AREA_ROWS) {
      RecordingSink everything;
      draw_axes(everything, view, row.transform);
      RecordingSink clipped(row.area);
      draw_axes(clipped, view, row.transform);

      const std::vector<Segment> all = segments_with(everything, GRID_PEN);
      const std::vector<Segment> kept = segments_with(clipped, GRID_PEN);
      for (const Segment& line : all) {
        const bool is_kept =
            std::find(kept.begin(), kept.end(), line) != kept.end();
        if (touches(line, row.area)) {
          EXPECT_TRUE(is_kept) << row.what << ": " << line;
        }
      }
      EXPECT_TRUE(is_subsequence(kept, all)) << row.what;
      EXPECT_EQ(segments_with(clipped, AXIS_PEN),
                segments_with(everything, AXIS_PEN))
          << row.what;
    }
  }
}

}  // namespace
}  // namespace kurvana::testing
