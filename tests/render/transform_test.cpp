// From plane to pixels: the mapping, the screen and copy transforms, the
// scroll bars, and the order in which the picture is drawn.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

#include "recording_sink.h"
#include "viewport.h"

namespace kurvana::testing {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ViewTransform, TruncatesTowardZeroAndSaturates) {
  const struct {
    ViewTransform transform;
    double x, y;
    DevicePoint expected;
  } rows[] = {{{20, -20, 200, 150}, 10, 10, {400, -50}},
              {{20, -20, 200, 200}, 0.049, 0.049, {200, 199}},
              {{1, -1, 0, 0}, -1.5, 2.5, {-1, -2}},
              {{1, -1, 0, 0}, -0.9, 0.9, {0, 0}},
              {{20, -20, 200, 200}, INT32_MAX, INT32_MIN, {INT_MAX, INT_MAX}},
              {{20, -20, 200, 200}, INT32_MIN, INT32_MAX, {INT_MIN, INT_MIN}}};
  for (const auto& row : rows) {
    EXPECT_EQ(row.transform.map(row.x, row.y), row.expected) << row.x;
  }
  const struct {
    double value;
    int expected;
  } ends[] = {{2147483647.9, INT_MAX},  {2147483648.0, INT_MAX},
              {kInf, INT_MAX},          {-2147483648.9, INT_MIN},
              {-2147483649.0, INT_MIN}, {-kInf, INT_MIN},
              {std::nan(""), 0}};
  for (const auto& end : ends) EXPECT_EQ(to_device(end.value), end.expected);
}

// The middle of the range lies in the middle of the window (or of the
// copy's canvas); a scroll position moves the picture the other way.
TEST(ViewTransform, ScreenAndCopyCentreTheRange) {
  const struct {
    ViewSettings view;
    int width, height, scroll_x, scroll_y;  // width 0: the copy
    double x, y;
    DevicePoint expected;
  } rows[] = {{view_of(-10, 10, -10, 10), 401, 301, 0, 0, 0, 0, {200, 150}},
              {view_of(-10, 10, -10, 10), 400, 300, 7, -3, 0, 0, {193, 153}},
              {view_of(0, 10, 1, 5), 400, 300, 0, 0, 5, 3, {200, 150}},
              {view_of(-10, 10, -10, 10), 0, 0, 0, 0, -10, 10, {2400, 2400}},
              {view_of(0, 10, 1, 5), 0, 0, 0, 0, 6, 3, {2510, 2500}}};
  for (const auto& row : rows) {
    const ViewTransform transform =
        row.width ? screen_transform(row.view, row.width, row.height,
                                     row.scroll_x, row.scroll_y)
                  : metafile_transform(row.view);
    EXPECT_EQ(transform.map(row.x, row.y), row.expected) << row.x;
  }
  ViewSettings zoomed = view_of(-10, 10, -10, 10);
  zoomed.zoom_percent = 1000;
  EXPECT_EQ(screen_transform(zoomed, 400, 300, 0, 0).map(1, 1),
            (DevicePoint{400, -50}));
  EXPECT_EQ(metafile_transform(zoomed).map(1, 1), (DevicePoint{2600, 2400}));
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
        << row.position << " request " << row.request;
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
  EXPECT_EQ(sink.log("p"), "pen 3 111111, pen 2 ff0000, pen 2 ff");
}

}  // namespace
}  // namespace kurvana::testing
