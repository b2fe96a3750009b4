// Copy: the picture goes to the clipboard as an enhanced metafile drawn on
// a fixed 5000 x 5000 canvas at 10 device units per plane unit at 100 %.
#include <cstdlib>

#include "test_support.h"

namespace e2e {
namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
// Wine leaves pen widths out of the bounds; Windows adds them.
constexpr int kPenSlack = 2;
// Lines of the default grid (21 + 21) and the two axes.
constexpr int kGridAndAxes = 44;

class Copy : public ProgramTest {
 protected:
  // Copies with `command` (0: the keys Ctrl+C) and reads the clipboard.
  std::optional<MetafileView> CopyWith(int command) {
    ClearClipboard();
    if (command)
      EXPECT_TRUE(program().SendCommand(command));
    else
      EXPECT_TRUE(program().PressKeys({VK_CONTROL, 'C'}));
    return WaitClipboardMetafile();
  }
};

::testing::AssertionResult BoundsAre(const MetafileView& picture,
                                     const RECTL& expected) {
  const RECTL& b = picture.bounds;
  if (std::labs(b.left - expected.left) <= kPenSlack &&
      std::labs(b.top - expected.top) <= kPenSlack &&
      std::labs(b.right - expected.right) <= kPenSlack &&
      std::labs(b.bottom - expected.bottom) <= kPenSlack)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "bounds (" << b.left << ", " << b.top << ")-(" << b.right << ", "
         << b.bottom << "), expected (" << expected.left << ", " << expected.top
         << ")-(" << expected.right << ", " << expected.bottom << ")";
}

// The frame is the bounds measured in 0.01 mm of the reference device.
void ExpectFrameMatchesBounds(const MetafileView& picture) {
  ASSERT_GT(picture.device_pixels.cx, 0);
  const double per_unit_x =
      100.0 * picture.device_millimeters.cx / picture.device_pixels.cx;
  const double per_unit_y =
      100.0 * picture.device_millimeters.cy / picture.device_pixels.cy;
  const double width =
      (picture.bounds.right - picture.bounds.left) * per_unit_x;
  const double height =
      (picture.bounds.bottom - picture.bounds.top) * per_unit_y;
  EXPECT_NEAR(picture.frame.right - picture.frame.left, width,
              0.03 * width + 2 * per_unit_x);
  EXPECT_NEAR(picture.frame.bottom - picture.frame.top, height,
              0.03 * height + 2 * per_unit_y);
}

// Default view: a grid of 200 x 200 units around the canvas centre,
// whatever the window's size and scroll position.
TEST_F(Copy, DefaultViewCoversTwoHundredUnitsAroundTheCentre) {
  Program& p = StartShown(L"");
  auto picture = CopyWith(kCopy);
  ASSERT_TRUE(picture.has_value()) << "no metafile on the clipboard";
  EXPECT_TRUE(BoundsAre(*picture, RECTL{2400, 2400, 2600, 2600}));
  ExpectFrameMatchesBounds(*picture);
  EXPECT_EQ(picture->line_to_count, kGridAndAxes);
  EXPECT_EQ(picture->pen_colours, (std::vector<COLORREF>{kGrey, kBlack}));

  ASSERT_TRUE(p.Scroll(SB_HORZ, SB_PAGERIGHT, 2));
  ASSERT_TRUE(p.Scroll(SB_VERT, SB_PAGEUP));
  ASSERT_TRUE(SetWindowPos(p.main_window(), nullptr, 0, 0, 451, 333,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
  auto moved = CopyWith(kCopy);
  ASSERT_TRUE(moved.has_value());
  EXPECT_TRUE(BoundsAre(*moved, RECTL{2400, 2400, 2600, 2600}));
  EXPECT_EQ(moved->line_to_count, kGridAndAxes);
}

// A range no dialog allows, read from a file: the whole 32-bit span. The
// copy keeps to the lines on the canvas (10 units apart) and ends.
TEST_F(Copy, FullStoredRangeCopiesTheCanvasGridAndTheAxes) {
  View full;
  full.x_min = full.y_min = INT32_MIN;
  full.x_max = full.y_max = INT32_MAX;
  StartShown(PutDocument(L"full.kvn", {}, full));
  auto picture = CopyWith(kCopy);
  ASSERT_TRUE(picture.has_value()) << "no metafile on the clipboard";
  EXPECT_GE(picture->line_to_count, 2 * 500 + 2);
  EXPECT_LE(picture->line_to_count, 2 * 510 + 2);
  EXPECT_EQ(picture->pen_colours, (std::vector<COLORREF>{kGrey, kBlack}));
}

TEST_F(Copy, MenuAcceleratorAndKeysCopyTheSamePicture) {
  StartShown(L"");
  struct Row {
    const char* route;
    int command;
  };
  for (const Row& row : {Row{"menu", kCopy}, Row{"accelerator id", kAccelCopy},
                         Row{"Ctrl+C", 0}}) {
    SCOPED_TRACE(row.route);
    auto picture = CopyWith(row.command);
    ASSERT_TRUE(picture.has_value()) << "no metafile on the clipboard";
    EXPECT_TRUE(BoundsAre(*picture, RECTL{2400, 2400, 2600, 2600}));
    EXPECT_EQ(picture->line_to_count, kGridAndAxes);
  }
}

// The view range and zoom decide the copied extent; the range's middle is
// the canvas centre.
TEST_F(Copy, ViewSettingsDecideTheExtent) {
  struct Row {
    const char* what;
    View view;
    RECTL bounds;
    int lines;
  };
  View zoom;
  zoom.zoom = 200;
  View quarter;
  quarter.x_min = 0;
  quarter.y_min = 0;
  View no_ticks;
  no_ticks.tick_mode = 0;
  const Row rows[] = {
      {"zoom 200 %", zoom, {2300, 2300, 2700, 2700}, kGridAndAxes},
      // x and y from 0 to 10: 11 + 11 grid lines, axes on the edges.
      {"range 0..10", quarter, {2450, 2450, 2550, 2550}, 24},
      {"no ticks", no_ticks, {2400, 2400, 2600, 2600}, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    StartShown(PutDocument(L"view.kvn", {}, row.view));
    auto picture = CopyWith(kCopy);
    ASSERT_TRUE(picture.has_value());
    EXPECT_TRUE(BoundsAre(*picture, row.bounds));
    EXPECT_EQ(picture->line_to_count, row.lines);
    Stop();
  }
}

// Curves are copied from the last function to the first, hidden ones
// left out, as on screen.
TEST_F(Copy, VisibleCurvesAreCopiedLastFunctionFirst) {
  // Density 1: 33 samples, 32 lines for a curve inside the range.
  {
    SCOPED_TRACE("both visible");
    StartShown(PutDocument(L"two.kvn", {Explicit(u"5", kRed, true, 1),
                                        Explicit(u"x/2", kGreen, true, 1)}));
    auto picture = CopyWith(kCopy);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->line_to_count, kGridAndAxes + 2 * 32);
    EXPECT_EQ(picture->pen_colours,
              (std::vector<COLORREF>{kGrey, kBlack, kGreen, kRed}));
    Stop();
  }
  {
    SCOPED_TRACE("first hidden");
    StartShown(PutDocument(L"two.kvn", {Explicit(u"5", kRed, false, 1),
                                        Explicit(u"x/2", kGreen, true, 1)}));
    auto picture = CopyWith(kCopy);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->line_to_count, kGridAndAxes + 32);
    EXPECT_EQ(picture->pen_colours,
              (std::vector<COLORREF>{kGrey, kBlack, kGreen}));
    Stop();
  }
}

// The copy stays on the clipboard after the program has ended.
TEST_F(Copy, PictureOutlivesTheProgram) {
  Program& p = StartShown(PutDocument(L"one.kvn", {Explicit(u"5", kRed)}));
  ClearClipboard();
  ASSERT_TRUE(p.SendCommand(kCopy));
  ASSERT_EQ(p.Close(), std::optional<DWORD>(0));
  auto picture = WaitClipboardMetafile();
  ASSERT_TRUE(picture.has_value()) << "the metafile went with the program";
  EXPECT_TRUE(BoundsAre(*picture, RECTL{2400, 2400, 2600, 2600}));
}

}  // namespace
}  // namespace e2e
