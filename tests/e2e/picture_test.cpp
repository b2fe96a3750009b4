// The picture: on screen in the graph area, and copied to the clipboard as
// an enhanced metafile on a 5000 x 5000 canvas, 10 units per plane unit.
#include <array>

#include "program_driver.h"

namespace e2e {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0),
                   kGrey = RGB(128, 128, 128), kRed = 0x0000FF,
                   kGreen = 0x00FF00;

using Picture = ProgramTest;

// Waits until each pixel {dx, dy, colour}, relative to the graph area's
// centre (y down), has its colour.
bool Shows(HWND main, const std::vector<std::array<int, 3>>& pixels) {
  HWND area = GetDlgItem(main, IDC_GRAPH_AREA);
  RECT client{};
  GetClientRect(area, &client);
  return WaitFor([&] {
    return std::ranges::all_of(pixels, [&](const std::array<int, 3>& p) {
      return ScreenPixel(area, client.right / 2 + p[0],
                         client.bottom / 2 + p[1]) == COLORREF(p[2]);
    });
  });
}

// At 100 % one unit is 20 pixels from the centre: the grid line x = 1 and
// the curve y = 2 over white. A confirmed settings dialog draws again.
TEST_F(Picture, ScreenShowsTheViewAndDrawsAgainWhenItChanges) {
  HWND main = StartShown(PutDocument(L"graph.kvn", {Explicit(u"2", kRed)}))
                  .main_window();
  EXPECT_TRUE(Shows(main, {{20, 5, kGrey}, {10, 5, kWhite}, {10, -40, kRed}}));
  HWND settings = OpenDialog(IDM_GRAPH_SETTINGS, IDC_X_MIN);
  ASSERT_TRUE(SelectComboItem(settings, IDC_ZOOM, L"200"));
  ASSERT_TRUE(ClickAndWaitClosed(settings, IDOK));
  EXPECT_TRUE(Shows(main, {{40, 5, kGrey}, {20, 5, kWhite}, {10, -80, kRed}}));
}

struct Metafile {
  ENHMETAHEADER header{};  // bounds in device units, frame in 0.01 mm
  int lines = 0;
  std::vector<COLORREF> pens;  // the colour of every pen made, in order
};

int WINAPI ReadRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int,
                      LPARAM param) {
  auto* picture = reinterpret_cast<Metafile*>(param);
  picture->lines += record->iType == EMR_LINETO;
  if (record->iType == EMR_CREATEPEN)
    picture->pens.push_back(
        reinterpret_cast<const EMRCREATEPEN*>(record)->lopn.lopnColor);
  return 1;
}

// The metafile on the clipboard, once there is one.
std::optional<Metafile> ClipboardMetafile() {
  HENHMETAFILE copy = nullptr;
  WaitFor([&] {
    if (!IsClipboardFormatAvailable(CF_ENHMETAFILE) || !OpenClipboard(nullptr))
      return false;
    if (HANDLE shared = GetClipboardData(CF_ENHMETAFILE))
      copy = CopyEnhMetaFileW(static_cast<HENHMETAFILE>(shared), nullptr);
    CloseClipboard();
    return copy != nullptr;
  });
  if (!copy) return std::nullopt;
  Metafile picture;
  GetEnhMetaFileHeader(copy, sizeof(picture.header), &picture.header);
  EnumEnhMetaFile(nullptr, copy, ReadRecord, &picture, nullptr);
  DeleteEnhMetaFile(copy);
  return picture;
}

// Empties the clipboard, then copies the picture to it.
void Copy(Program& p) {
  ASSERT_TRUE(WaitFor([] { return OpenClipboard(nullptr) != FALSE; }));
  EXPECT_TRUE(EmptyClipboard() && CloseClipboard());
  EXPECT_TRUE(p.SendCommand(IDM_COPY));
}

// The default view, 200 units around the canvas's centre: 21 + 21 grid
// lines, two axes, then the curves from the last function (33 samples).
// The copy stays on the clipboard after the program has ended.
TEST_F(Picture, CopyIsAMetafileOfTheViewThatOutlivesTheProgram) {
  Function level = Explicit(u"5", kRed), line = Explicit(u"x/2", kGreen);
  level.density = line.density = 1;
  Program& p = StartShown(PutDocument(L"graph.kvn", {level, line}));
  Copy(p);
  ASSERT_EQ(p.Close(), std::optional<DWORD>(0));
  const auto picture = ClipboardMetafile();
  ASSERT_TRUE(picture.has_value()) << "no metafile outlived the program";
  EXPECT_EQ(picture->lines, 44 + 2 * 32);
  EXPECT_EQ(picture->pens,
            (std::vector<COLORREF>{kGrey, kBlack, kGreen, kRed}));
  // Wine leaves pen widths out of the bounds; Windows adds them.
  const ENHMETAHEADER& h = picture->header;
  const RECTL& b = h.rclBounds;
  for (LONG edge :
       {b.left - 2400, b.top - 2400, b.right - 2600, b.bottom - 2600})
    EXPECT_LE(std::labs(edge), 2);
  // The frame is the bounds in 0.01 mm of the reference device.
  const double width =
      (b.right - b.left) * 100.0 * h.szlMillimeters.cx / h.szlDevice.cx;
  EXPECT_NEAR(h.rclFrame.right - h.rclFrame.left, width, 0.03 * width + 10);
}

// A range no dialog allows, read from a file: the whole 32-bit span. The
// copy draws the lines on the canvas (10 units apart) and ends.
TEST_F(Picture, FullStoredRangeCopiesTheCanvasGridAndTheAxes) {
  const View full{INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX};
  Copy(StartShown(PutDocument(L"full.kvn", {}, full)));
  const auto picture = ClipboardMetafile();
  ASSERT_TRUE(picture.has_value()) << "no metafile on the clipboard";
  EXPECT_GE(picture->lines, 2 * 500 + 2);
  EXPECT_LE(picture->lines, 2 * 510 + 2);
  EXPECT_EQ(picture->pens, (std::vector<COLORREF>{kGrey, kBlack}));
}

}  // namespace
}  // namespace e2e
