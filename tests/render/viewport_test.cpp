#include "viewport.h"

#include <gtest/gtest.h>

#include <vector>

namespace kurvana {
namespace {

ViewSettings default_view() {
  ViewSettings view;
  set_default_view(view);
  return view;
}

TEST(ScreenTransform, DefaultViewCentresTheOriginInTheClientArea) {
  const ViewTransform t = screen_transform(default_view(), 400, 300, 0, 0);
  EXPECT_EQ(t.map(0, 0), (DevicePoint{200, 150}));
  EXPECT_EQ(t.map(10, 10), (DevicePoint{400, -50}));
}

TEST(ScreenTransform, OddWidthTruncatesTheCentre) {
  const ViewTransform t = screen_transform(default_view(), 401, 301, 0, 0);
  EXPECT_EQ(t.map(0, 0), (DevicePoint{200, 150}));
}

TEST(ScreenTransform, ZoomAndScrollPositions) {
  ViewSettings view = default_view();
  view.zoom_percent = 1000;
  const ViewTransform zoomed = screen_transform(view, 400, 300, 0, 0);
  EXPECT_EQ(zoomed.map(1, 1), (DevicePoint{400, -50}));
  // Moving a bar by one shifts the picture one pixel the other way.
  const ViewTransform scrolled =
      screen_transform(default_view(), 400, 300, 7, -3);
  EXPECT_EQ(scrolled.map(0, 0), (DevicePoint{193, 153}));
}

TEST(ScreenTransform, MiddleOfAnOffCentreRangeIsTheMiddleOfTheWindow) {
  ViewSettings view = default_view();
  view.x_min = 0;
  view.x_max = 10;
  view.y_min = 1;
  view.y_max = 5;
  const ViewTransform t = screen_transform(view, 400, 300, 0, 0);
  EXPECT_EQ(t.map(5, 3), (DevicePoint{200, 150}));
}

TEST(MetafileTransform, TenUnitsPerPlaneUnitAroundTheCanvasCentre) {
  const ViewTransform t = metafile_transform(default_view());
  EXPECT_EQ(t.map(0, 0), (DevicePoint{2500, 2500}));
  EXPECT_EQ(t.map(-10, 10), (DevicePoint{2400, 2400}));
  EXPECT_EQ(t.map(10, -10), (DevicePoint{2600, 2600}));
}

struct ScrollCase {
  int position;
  int request;
  int track;
  int expected;
};

TEST(ScrollBars, RequestsMoveAndClampThePosition) {
  const ScrollCase cases[] = {
      {0, kScrollLineBack, 0, -10},
      {0, kScrollLineForward, 0, 10},
      {0, kScrollPageBack, 0, -300},
      {0, kScrollPageForward, 0, 300},
      {9900, kScrollPageForward, 0, 10000},
      {-9900, kScrollPageBack, 0, -10000},
      {10000, kScrollLineForward, 0, 10000},
      {5, kScrollThumbPosition, 1234, 1234},
      {5, kScrollThumbTrack, -4321, -4321},
      {5, kScrollThumbTrack, 20000, 10000},
      {5, kScrollToStart, 0, -10000},
      {5, kScrollToEnd, 0, 10000},
      {77, 8, 0, 77},  // end of scrolling: unchanged
  };
  for (const ScrollCase& row : cases) {
    EXPECT_EQ(scrolled_position(row.position, row.request, row.track),
              row.expected)
        << row.position << " request " << row.request;
  }
}

// Records the pens selected, to see the drawing order of the curves.
class PenOrderSink : public LineSink {
 public:
  void move_to(int, int) override {}
  void line_to(int, int) override {}
  std::vector<Colour> pens;

 private:
  void push_pen(uint32_t, Colour colour) override { pens.push_back(colour); }
  void pop_pen() override {}
};

TEST(Picture, AxesFirstThenVisibleCurvesFromTheLastFunction) {
  ViewSettings view = default_view();
  view.tick_mode = TICKS_NONE;
  view.axis_colour = 0x111111;
  FunctionList functions;
  clear_function_list(functions);
  functions.count = 3;
  PointTable points;
  const Colour colours[] = {0x0000FF, 0x00FF00, 0xFF0000};
  for (int i = 0; i < 3; ++i) {
    functions.entries[i].flags = i == 1 ? 0 : FLAG_VISIBLE;
    points[i].colour = colours[i];
    points[i].pen_width = 2;
  }
  PenOrderSink sink;
  draw_picture(sink, view, functions, points, metafile_transform(view));
  const std::vector<Colour> expected = {0x111111, 0xFF0000, 0x0000FF};
  EXPECT_EQ(sink.pens, expected);
}

}  // namespace
}  // namespace kurvana
