// The picture: on screen in the graph area, where the view puts axes, grid
// and curves and the scroll bars move them, and copied to the clipboard as
// an enhanced metafile on a 5000 x 5000 canvas, 10 units per plane unit.
#include <cstdlib>

#include "fixture.h"

namespace e2e {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0),
                   kGrey = RGB(128, 128, 128);
constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// A pixel relative to the graph area's centre (y down) and its colour.
struct Pixel {
  int dx, dy;
  COLORREF colour;
  const char* what;
};

class Picture : public ProgramTest {
 protected:
  Program& StartWith(const std::vector<Function>& functions,
                     const View& view = View(),
                     const std::vector<Box>& boxes = {}) {
    Program& p = StartShown(PutDocument(L"graph.kvn", functions, view), boxes);
    SetWindowPos(p.main_window(), nullptr, 0, 0, 860, 700,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return p;
  }

  // Waits until every pixel has its colour; names those that do not.
  ::testing::AssertionResult Shows(const std::vector<Pixel>& pixels) {
    std::string wrong;
    WaitFor([&] {
      wrong.clear();
      const auto shot = Snapshot::OfClient(program().GraphArea());
      for (const Pixel& p : pixels) {
        const COLORREF seen =
            shot ? shot->At(shot->width / 2 + p.dx, shot->height / 2 + p.dy)
                 : CLR_INVALID;
        if (seen != p.colour)
          wrong += std::string("\n  ") + p.what + ": " + std::to_string(seen);
      }
      return wrong.empty();
    });
    if (wrong.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "picture differs:" << wrong;
  }

  // The axes cross at centre + (dx, dy): black, 3 pixels wide, with white
  // beside them half a unit away from the grid lines.
  ::testing::AssertionResult AxesAt(int dx, int dy) {
    return Shows({{dx, dy + 110, kBlack, "y axis"},
                  {dx - 3, dy + 110, kWhite, "left of the y axis"},
                  {dx + 3, dy + 110, kWhite, "right of the y axis"},
                  {dx + 110, dy, kBlack, "x axis"},
                  {dx + 110, dy - 3, kWhite, "above the x axis"},
                  {dx + 110, dy + 3, kWhite, "below the x axis"}});
  }
};

// At 100 % one unit is 20 pixels and the origin is the centre: a grey
// grid from -10 to 10, black axes over it, visible curves over both with
// the first function on top. A confirmed settings dialog redraws.
TEST_F(Picture, ScreenShowsAxesGridAndCurves) {
  Program& p = StartWith({Explicit(u"5", kRed), Explicit(u"x", kGreen),
                          Explicit(u"3", kBlue, /*visible=*/false)});
  EXPECT_TRUE(Shows({{0, 150, kBlack, "y axis"},
                     {-3, 150, kWhite, "left of the y axis"},
                     {150, 0, kBlack, "x axis"},
                     {20, 5, kGrey, "grid line x = 1"},
                     {200, 5, kGrey, "grid line x = 10"},
                     {220, 5, kWhite, "right of x = 10"},
                     {10, 10, kWhite, "inside a grid cell"},
                     {0, 210, kWhite, "below the y axis's end"},
                     {10, -100, kRed, "y = 5"},
                     {40, -40, kGreen, "y = x at x = 2"},
                     {100, -100, kRed, "y = 5 over y = x"},
                     {10, -60, kGrey, "hidden y = 3"}}));
  EXPECT_TRUE(AxesAt(0, 0));
  ASSERT_TRUE(SetWindowPos(p.main_window(), nullptr, 0, 0, 701, 601,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
  EXPECT_TRUE(AxesAt(0, 0));

  ASSERT_TRUE(p.PostCommand(IDM_GRAPH_SETTINGS));
  HWND settings = WaitSettingsDialog(p);
  ASSERT_TRUE(SelectComboItem(settings, IDC_ZOOM, L"200"));
  ASSERT_TRUE(ClickAndWaitClosed(settings, IDOK));
  EXPECT_TRUE(Shows({{40, 5, kGrey, "grid line x = 1 at 200 %"},
                     {20, 5, kWhite, "half a unit"}}));
}

// A load that fails part-way at start-up leaves the default view and no
// curves.
TEST_F(Picture, FailedLoadAtStartShowsTheDefaultView) {
  View view;
  view.zoom = 200;
  StartWith({Explicit(u"5", kRed), Explicit(std::u16string(200, u'関'))}, view,
            {{T(kurvana::text::kUnicodeToAnsiFailed)}});
  EXPECT_TEXT(program().Title(), kUntitled);
  EXPECT_TRUE(Shows({{20, 5, kGrey, "grid line x = 1 at 100 %"},
                     {10, -100, kGrey, "grid line y = 5, no curve"}}));
}

// A line is 10 pixels, a page 300; positions stop at -10000 and 10000 and
// belong to the scroll bars, which new documents and loads keep.
TEST_F(Picture, ScrollBarsMoveThePicture) {
  const std::wstring other = PutDocument(L"other.kvn");
  Program& p = StartWith({});
  const struct {
    int bar, code, times, dx, dy;
  } steps[] = {
      {SB_HORZ, SB_LINERIGHT, 1, -10, 0},
      {SB_HORZ, SB_ENDSCROLL, 1, -10, 0},
      {SB_VERT, SB_LINEDOWN, 1, -10, -10},
      {SB_HORZ, SB_PAGERIGHT, 1, -310, -10},
      {SB_HORZ, SB_PAGELEFT, 1, -10, -10},
      {SB_VERT, SB_LINEUP, 3, -10, 20},
      // To the end, back 10 lines, a page toward the end stops at it.
      {SB_HORZ, SB_RIGHT, 1, -10000, 20},
      {SB_HORZ, SB_LINELEFT, 10, -9900, 20},
      {SB_HORZ, SB_PAGERIGHT, 1, -10000, 20},
      {SB_HORZ, SB_PAGELEFT, 33, -100, 20},
      {SB_VERT, SB_TOP, 1, -100, 10000},
      {SB_VERT, SB_LINEDOWN, 10, -100, 9900},
      {SB_VERT, SB_PAGEUP, 1, -100, 10000},
      {SB_VERT, SB_PAGEDOWN, 33, -100, 100},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(std::to_string(step.bar) + "/" + std::to_string(step.code));
    ASSERT_TRUE(p.Scroll(step.bar, step.code, step.times));
    if (std::abs(step.dx) < 400 && std::abs(step.dy) < 300) {
      EXPECT_TRUE(AxesAt(step.dx, step.dy));
    }
  }
  ASSERT_TRUE(p.SendCommand(IDM_NEW));
  EXPECT_TRUE(AxesAt(-100, 100));
  ASSERT_TRUE(p.DropFiles({other}));
  EXPECT_TEXT(p.WaitTitle(Titled(L"other.kvn")), Titled(L"other.kvn"));
  EXPECT_TRUE(AxesAt(-100, 100));
}

// Copies with `command` (0: the keys Ctrl+C) and reads the clipboard.
std::optional<MetafileView> CopyWith(Program& p, int command) {
  ClearClipboard();
  EXPECT_TRUE(command ? p.SendCommand(command)
                      : p.PressKeys({VK_CONTROL, 'C'}));
  return WaitClipboardMetafile();
}

::testing::AssertionResult Covers200UnitsAroundTheCentre(
    const MetafileView& picture) {
  const RECTL& b = picture.bounds;
  // Wine leaves pen widths out of the bounds; Windows adds them.
  for (LONG edge :
       {b.left - 2400, b.top - 2400, b.right - 2600, b.bottom - 2600})
    if (std::labs(edge) > 2)
      return ::testing::AssertionFailure()
             << "bounds (" << b.left << ", " << b.top << ")-(" << b.right
             << ", " << b.bottom << ")";
  // The frame is the bounds in 0.01 mm of the reference device.
  const double width = (b.right - b.left) * 100.0 *
                       picture.device_millimeters.cx / picture.device_pixels.cx;
  if (std::abs(picture.frame.right - picture.frame.left - width) >
      0.03 * width + 10)
    return ::testing::AssertionFailure()
           << "frame " << picture.frame.right - picture.frame.left
           << " wide, expected " << width;
  return ::testing::AssertionSuccess();
}

using Copy = Picture;

// The default view, whatever the window's size and scroll position: 21 +
// 21 grid lines, two axes, then the curves from the last function (33
// samples at density 1). The copy stays after the program has ended.
TEST_F(Copy, MetafileOfTheViewOutlivesTheProgram) {
  Program& p = StartWith(
      {Explicit(u"5", kRed, true, 1), Explicit(u"x/2", kGreen, true, 1)});
  auto picture = CopyWith(p, 0);
  ASSERT_TRUE(picture.has_value()) << "no metafile on the clipboard";
  EXPECT_TRUE(Covers200UnitsAroundTheCentre(*picture));
  EXPECT_EQ(picture->line_to_count, 44 + 2 * 32);
  EXPECT_EQ(picture->pen_colours,
            (std::vector<COLORREF>{kGrey, kBlack, kGreen, kRed}));

  ASSERT_TRUE(p.Scroll(SB_HORZ, SB_PAGERIGHT, 2));
  ASSERT_TRUE(SetWindowPos(p.main_window(), nullptr, 0, 0, 451, 333,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
  picture = CopyWith(p, IDM_COPY);
  ASSERT_TRUE(picture.has_value());
  EXPECT_TRUE(Covers200UnitsAroundTheCentre(*picture));
  EXPECT_EQ(picture->line_to_count, 44 + 2 * 32);

  ClearClipboard();
  ASSERT_TRUE(p.SendCommand(IDM_COPY));
  ASSERT_EQ(p.Close(), std::optional<DWORD>(0));
  picture = WaitClipboardMetafile();
  ASSERT_TRUE(picture.has_value()) << "the metafile went with the program";
  EXPECT_TRUE(Covers200UnitsAroundTheCentre(*picture));
}

// A range no dialog allows, read from a file: the whole 32-bit span. The
// copy draws the lines on the canvas (10 units apart) and ends.
TEST_F(Copy, FullStoredRangeCopiesTheCanvasGridAndTheAxes) {
  View full;
  full.x_min = full.y_min = INT32_MIN;
  full.x_max = full.y_max = INT32_MAX;
  Program& p = StartWith({}, full);
  const auto picture = CopyWith(p, IDM_COPY);
  ASSERT_TRUE(picture.has_value()) << "no metafile on the clipboard";
  EXPECT_GE(picture->line_to_count, 2 * 500 + 2);
  EXPECT_LE(picture->line_to_count, 2 * 510 + 2);
  EXPECT_EQ(picture->pen_colours, (std::vector<COLORREF>{kGrey, kBlack}));
}

}  // namespace
}  // namespace e2e
