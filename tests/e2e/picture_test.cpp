// The picture: on screen in the graph area, and copied to the clipboard as
// an enhanced metafile on a 5000 x 5000 canvas, 10 units per plane unit.
#include "fixture.h"

namespace e2e {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0),
                   kGrey = RGB(128, 128, 128);
constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

using Picture = ProgramTest;

// A pixel relative to the graph area's centre (y down) and its colour.
struct Pixel {
  int dx, dy;
  COLORREF colour;
  const char* what;
};

// Waits until every pixel has its colour; names those that do not.
::testing::AssertionResult Shows(HWND area, const std::vector<Pixel>& pixels) {
  RECT client{};
  GetClientRect(area, &client);
  std::string wrong;
  WaitFor([&] {
    wrong.clear();
    for (const Pixel& p : pixels) {
      const COLORREF seen =
          ScreenPixel(area, client.right / 2 + p.dx, client.bottom / 2 + p.dy);
      if (seen != p.colour)
        wrong += std::string("\n  ") + p.what + ": " + std::to_string(seen);
    }
    return wrong.empty();
  });
  if (wrong.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "picture differs:" << wrong;
}

// At 100 % one unit is 20 pixels and the origin is the centre: a grey grid,
// black axes over it, visible curves over both with the first function on
// top. A confirmed settings dialog draws again.
TEST_F(Picture, ScreenShowsAxesGridAndCurves) {
  Program& p = StartShown(
      PutDocument(L"graph.kvn", {Explicit(u"5", kRed), Explicit(u"x", kGreen),
                                 Explicit(u"3", kBlue, /*visible=*/false)}));
  EXPECT_TRUE(Shows(p.GraphArea(), {{0, 110, kBlack, "y axis"},
                                    {110, 0, kBlack, "x axis"},
                                    {20, 5, kGrey, "grid line x = 1"},
                                    {10, 10, kWhite, "inside a grid cell"},
                                    {10, -100, kRed, "y = 5"},
                                    {40, -40, kGreen, "y = x at x = 2"},
                                    {100, -100, kRed, "y = 5 over y = x"},
                                    {10, -60, kGrey, "hidden y = 3"}}));
  HWND settings = OpenDialog(IDM_GRAPH_SETTINGS, IDC_X_MIN);
  ASSERT_TRUE(SelectComboItem(settings, IDC_ZOOM, L"200"));
  ASSERT_TRUE(ClickAndWaitClosed(settings, IDOK));
  EXPECT_TRUE(Shows(p.GraphArea(), {{40, 5, kGrey, "grid line x = 1 at 200 %"},
                                    {20, 5, kWhite, "half a unit"}}));
}

std::optional<MetafileView> Copy(Program& p) {
  ClearClipboard();
  EXPECT_TRUE(p.SendCommand(IDM_COPY));
  return WaitClipboardMetafile();
}

// The default view, 200 units around the canvas's centre: 21 + 21 grid
// lines, two axes, then the curves from the last function (33 samples).
// The copy stays on the clipboard after the program has ended.
TEST_F(Picture, CopyIsAMetafileOfTheViewThatOutlivesTheProgram) {
  Function level = Explicit(u"5", kRed), line = Explicit(u"x/2", kGreen);
  level.density = line.density = 1;
  Program& p = StartShown(PutDocument(L"graph.kvn", {level, line}));
  ASSERT_TRUE(Copy(p).has_value()) << "no metafile on the clipboard";
  ASSERT_EQ(p.Close(), std::optional<DWORD>(0));
  const auto picture = WaitClipboardMetafile();
  ASSERT_TRUE(picture.has_value()) << "the metafile went with the program";
  EXPECT_EQ(picture->line_to_count, 44 + 2 * 32);
  EXPECT_EQ(picture->pen_colours,
            (std::vector<COLORREF>{kGrey, kBlack, kGreen, kRed}));
  // Wine leaves pen widths out of the bounds; Windows adds them.
  const ENHMETAHEADER& h = picture->header;
  const RECTL& b = h.rclBounds;
  for (LONG edge :
       {b.left - 2400, b.top - 2400, b.right - 2600, b.bottom - 2600})
    EXPECT_LE(std::labs(edge), 2)
        << b.left << ", " << b.top << ", " << b.right << ", " << b.bottom;
  // The frame is the bounds in 0.01 mm of the reference device.
  const double width =
      (b.right - b.left) * 100.0 * h.szlMillimeters.cx / h.szlDevice.cx;
  EXPECT_NEAR(h.rclFrame.right - h.rclFrame.left, width, 0.03 * width + 10);
}

// A range no dialog allows, read from a file: the whole 32-bit span. The
// copy draws the lines on the canvas (10 units apart) and ends.
TEST_F(Picture, FullStoredRangeCopiesTheCanvasGridAndTheAxes) {
  View full;
  full.x_min = full.y_min = INT32_MIN;
  full.x_max = full.y_max = INT32_MAX;
  const auto picture = Copy(StartShown(PutDocument(L"full.kvn", {}, full)));
  ASSERT_TRUE(picture.has_value()) << "no metafile on the clipboard";
  EXPECT_GE(picture->line_to_count, 2 * 500 + 2);
  EXPECT_LE(picture->line_to_count, 2 * 510 + 2);
  EXPECT_EQ(picture->pen_colours, (std::vector<COLORREF>{kGrey, kBlack}));
}

}  // namespace
}  // namespace e2e
