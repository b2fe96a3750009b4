// The axes with their grid or marks: where the lines lie, the pens, ranges
// at the ends of the stored type, and leaving out lines nobody can see.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
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

void draw(RecordingSink& sink, const ViewSettings& view,
          const ViewTransform& transform = kScreen) {
  draw_axes(sink, view, transform);
}

TEST(Axes, GridLinesBottomUpThenTheAxesOverThem) {
  RecordingSink sink;
  draw(sink, view_of(-10, 10, -10, 10));
  std::vector<Line> expected;
  for (int x = 0; x <= 400; x += 20)
    expected.push_back({{x, 400}, {x, 0}, kGridPen});
  for (int y = 400; y >= 0; y -= 20)
    expected.push_back({{0, y}, {400, y}, kGridPen});
  expected.push_back({{200, 0}, {200, 400}, kAxisPen});
  expected.push_back({{400, 200}, {0, 200}, kAxisPen});
  EXPECT_EQ(sink.lines, expected);
}

// Marks stand on the zero lines, even where an axis is outside the range.
TEST(Axes, MarksPointUpAndRightFromTheZeroLines) {
  RecordingSink sink;
  draw(sink, view_of(-10, 10, 1, 5, TICKS_MARKS));
  std::vector<Line> expected;
  for (int x = 0; x <= 400; x += 20)
    expected.push_back({{x, 200}, {x, 190}, kGridPen});
  for (int y = 180; y >= 100; y -= 20)
    expected.push_back({{200, y}, {210, y}, kGridPen});
  expected.push_back({{200, 100}, {200, 180}, kAxisPen});  // the y axis only
  EXPECT_EQ(sink.lines, expected);
}

TEST(Axes, EachAxisOnlyWhereItsRangeHoldsZero) {
  RecordingSink sink;
  draw(sink, view_of(0, 10, -10, 10), {20, -20, 100, 200});
  EXPECT_EQ(sink.lines.front(), (Line{{100, 400}, {100, 0}, kGridPen}));
  const std::vector<Line> axes{{{100, 0}, {100, 400}, kAxisPen},
                               {{300, 200}, {100, 200}, kAxisPen}};
  EXPECT_EQ(sink.lines_with(kAxisPen), axes);
  RecordingSink none, upper_ends;
  draw(none, view_of(1, 5, -5, -1, TICKS_NONE));
  EXPECT_TRUE(none.lines.empty());
  draw(upper_ends, view_of(-10, 0, -10, 0, TICKS_NONE));
  EXPECT_EQ(upper_ends.lines.size(), 2u);
}

// Any mode but grid and marks, as a file may hold it, draws the axes only.
TEST(Axes, PensTakeTheViewsWidthsAndColours) {
  for (int32_t mode : {int32_t{TICKS_GRID}, int32_t{TICKS_NONE}, 3, -1}) {
    ViewSettings view = view_of(-10, 10, -10, 10, mode);
    view.axis_width = 7;
    view.axis_colour = 0xFF8000;
    view.tick_colour = 0xFF;
    RecordingSink sink;
    draw(sink, view);
    EXPECT_EQ(sink.log("pr"), mode == TICKS_GRID
                                  ? "pen 1 ff, restore, pen 7 ff8000, restore"
                                  : "pen 7 ff8000, restore");
    EXPECT_EQ(sink.lines.size(), mode == TICKS_GRID ? 44u : 2u);
  }
}

// The loops end at the ends of the stored type and visit each whole number
// once; a reversed range has none.
TEST(Axes, RangesAtTheEndsOfTheStoredType) {
  const struct {
    int32_t x_min, x_max, y_min, y_max;
    size_t lines;  // across x plus across y
  } rows[] = {{INT32_MAX - 2, INT32_MAX, -1, 1, 3 + 3},
              {INT32_MIN, INT32_MIN + 2, -1, 1, 3 + 3},
              {INT32_MAX, INT32_MAX, -1, 1, 1 + 3},
              {-1, 1, INT32_MAX - 1, INT32_MAX, 3 + 2},
              {-1, 1, INT32_MIN, INT32_MIN, 3 + 1},
              {5, -5, -1, 1, 0 + 3}};
  for (int32_t mode : {int32_t{TICKS_GRID}, int32_t{TICKS_MARKS}}) {
    for (const auto& row : rows) {
      RecordingSink sink;
      draw(sink, view_of(row.x_min, row.x_max, row.y_min, row.y_max, mode),
           {1, -1, 0, 0});
      EXPECT_EQ(sink.lines_with(kGridPen).size(), row.lines) << row.x_min;
    }
  }
}

// The full stored range draws the lines that cross the window, their ends
// saturated, not four billion.
TEST(Axes, FullStoredRangeDrawsTheVisibleLines) {
  RecordingSink sink(DeviceRect{0, 0, 400, 300});
  draw(sink, kFullRange);
  std::vector<int> columns, rows;
  for (const Line& line : sink.lines_with(kGridPen)) {
    const bool vertical = line.from.x == line.to.x;
    (vertical ? columns : rows).push_back(vertical ? line.from.x : line.from.y);
    EXPECT_EQ(vertical ? line.from.y : line.from.x,
              vertical ? INT_MAX : INT_MIN);
    EXPECT_EQ(vertical ? line.to.y : line.to.x, vertical ? INT_MIN : INT_MAX);
  }
  for (int x = 0; x < 400; x += 20)
    EXPECT_EQ(std::count(columns.begin(), columns.end(), x), 1) << x;
  for (int y = 0; y < 300; y += 20)
    EXPECT_EQ(std::count(rows.begin(), rows.end(), y), 1) << y;
  EXPECT_LT(columns.size(), 30u);
  EXPECT_LT(rows.size(), 25u);
  // Zoom 0 from a file puts every line on one spot: it is drawn once.
  RecordingSink flat;
  draw(flat, kFullRange, {0, 0, 200, 150});
  EXPECT_EQ(flat.lines_with(kGridPen),
            std::vector<Line>(2, {{200, 150}, {200, 150}, kGridPen}));
}

// The copy has no visible area but a canvas: the full range draws the
// lines on it (10 pixels apart); the dialog's widest ranges draw every line.
TEST(Axes, CopyDrawsTheLinesOnItsCanvas) {
  const DeviceRect canvas{0, 0, kMetafileCanvas, kMetafileCanvas};
  RecordingSink full(std::nullopt, canvas);
  draw(full, kFullRange, metafile_transform(kFullRange));
  EXPECT_GE(full.lines_with(kGridPen).size(), 2u * 500);
  EXPECT_LE(full.lines_with(kGridPen).size(), 2u * 510);
  EXPECT_EQ(full.lines_with(kAxisPen).size(), 2u);
  const ViewSettings widest = view_of(-999, 9999, -999, 9999);
  RecordingSink bounded(std::nullopt, canvas), unbounded;
  draw(bounded, widest, metafile_transform(widest));
  draw(unbounded, widest, metafile_transform(widest));
  EXPECT_EQ(bounded.calls, unbounded.calls);
  EXPECT_EQ(bounded.lines_with(kGridPen).size(), 2u * 10999);
}

// Whether a 1-pixel line shows any pixel of the area.
bool touches(const Line& line, const DeviceRect& area) {
  const auto [x0, x1] = std::minmax(line.from.x, line.to.x);
  const auto [y0, y1] = std::minmax(line.from.y, line.to.y);
  return x1 >= area.left && x0 < area.right && y1 >= area.top &&
         y0 < area.bottom;
}

// Left out are only lines that miss the visible area; the rest keep their
// order, and the axes are drawn whole.
TEST(Axes, OnlyLinesThatMissTheVisibleAreaAreLeftOut) {
  const struct {
    ViewTransform transform;
    DeviceRect area;
  } rows[] = {{{20, -20, 200, 200}, {100, 100, 300, 300}},
              {{2, -2, 37, -13}, {0, 0, 50, 60}},
              {{200, -200, 200.5, 150.5}, {0, 0, 401, 301}},
              {{0.2, -0.2, 1.5, 1.5}, {0, 0, 2, 3}},
              {{20, -20, 210, 210}, {0, 0, 20, 20}},  // edges between lines
              {{-20, 20, 200, 200}, {150, 150, 260, 260}},  // mirrored
              {{20, -20, 200, 200}, {1000, 0, 1200, 50}}};  // off the picture
  for (int32_t mode : {int32_t{TICKS_GRID}, int32_t{TICKS_MARKS}}) {
    for (const auto& row : rows) {
      RecordingSink all, clipped(row.area);
      draw(all, view_of(-40, 40, -30, 30, mode), row.transform);
      draw(clipped, view_of(-40, 40, -30, 30, mode), row.transform);
      const std::vector<Line> kept = clipped.lines_with(kGridPen);
      auto next = kept.begin();  // kept lines come in the same order
      for (const Line& line : all.lines_with(kGridPen)) {
        if (next != kept.end() && *next == line) {
          ++next;
        } else {
          EXPECT_FALSE(touches(line, row.area)) << line;
        }
      }
      EXPECT_TRUE(next == kept.end()) << row.area.left;
      EXPECT_EQ(clipped.lines_with(kAxisPen), all.lines_with(kAxisPen));
    }
  }
}

}  // namespace
}  // namespace kurvana::testing
