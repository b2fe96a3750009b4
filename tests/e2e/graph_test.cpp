// The picture in the graph area, read back from the screen: where the view
// puts axes, grid and curves, and how the scroll bars move it.
#include "test_support.h"

namespace e2e {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);
// Document colours are 0x00BBGGRR, as COLORREF.
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0xFF0000;
// Axes are at least this long on screen in every view used here.
constexpr int kAxisLength = 100;

// A pixel, relative to the centre of the graph area's client rectangle
// (y down, as on screen), that must have a colour.
struct Pixel {
  int dx;
  int dy;
  COLORREF colour;
  const char* what;
};

class GraphArea : public ProgramTest {
 protected:
  // Starts with the document and gives the window room for the view.
  Program& StartWith(const std::vector<Function>& functions,
                     const View& view = View()) {
    Program& p = StartShown(PutDocument(L"graph.kvn", functions, view));
    SetWindowPos(p.main_window(), nullptr, 0, 0, 860, 700,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return p;
  }

  // The centre of the graph area's client rectangle.
  POINT Centre() {
    RECT client{};
    GetClientRect(program().GraphArea(), &client);
    return POINT{client.right / 2, client.bottom / 2};
  }

  // Waits until every pixel has its colour; reports those that do not.
  ::testing::AssertionResult Shows(const std::vector<Pixel>& pixels) {
    std::string wrong;
    WaitFor([&] {
      wrong.clear();
      const POINT c = Centre();
      const auto shot = Snapshot::OfClient(program().GraphArea());
      if (!shot) {
        wrong = "the graph area cannot be read";
        return false;
      }
      for (const Pixel& p : pixels) {
        const COLORREF seen = shot->At(c.x + p.dx, c.y + p.dy);
        if (seen != p.colour)
          wrong += std::string("\n  ") + p.what + " at centre" +
                   (p.dx < 0 ? "" : "+") + std::to_string(p.dx) + "," +
                   (p.dy < 0 ? "" : "+") + std::to_string(p.dy) + ": " +
                   Hex(seen) + ", expected " + Hex(p.colour);
      }
      return wrong.empty();
    });
    if (wrong.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "picture differs:" << wrong;
  }

  // Waits until the axes cross at centre + (dx, dy) and reports where
  // they are otherwise. The x axis must be in view for `dy` to be checked.
  ::testing::AssertionResult AxesAt(int dx, std::optional<int> dy) {
    std::optional<int> column, row;
    POINT c{};
    WaitFor([&] {
      c = Centre();
      const auto shot = Snapshot::OfClient(program().GraphArea());
      if (!shot) return false;
      column = shot->VerticalLine(kBlack, kAxisLength);
      row = shot->HorizontalLine(kBlack, kAxisLength);
      return column == c.x + dx && (!dy || row == c.y + *dy);
    });
    if (column == c.x + dx && (!dy || row == c.y + *dy))
      return ::testing::AssertionSuccess();
    auto where = [](std::optional<int> at, int centre) {
      return at ? "centre" + std::string(*at >= centre ? "+" : "") +
                      std::to_string(*at - centre)
                : std::string("none");
    };
    return ::testing::AssertionFailure()
           << "y axis at " << where(column, c.x) << ", expected centre+" << dx
           << "; x axis at " << where(row, c.y)
           << (dy ? ", expected centre+" + std::to_string(*dy) : "");
  }
};

// Default view at 100 %: one unit is 20 pixels, the origin is the centre,
// a grey grid from -10 to 10 and black axes of width 3 over it.
TEST_F(GraphArea, DefaultViewPutsTheOriginAtTheCentre) {
  StartWith({});
  EXPECT_TRUE(Shows({{0, 0, kBlack, "origin"},
                     {150, 0, kBlack, "x axis"},
                     {0, -150, kBlack, "y axis"},
                     {-1, 50, kBlack, "y axis, left of its middle"},
                     {1, 50, kBlack, "y axis, right of its middle"},
                     {-3, 50, kWhite, "left of the y axis"},
                     {3, 50, kWhite, "right of the y axis"},
                     {20, 5, kGrey, "grid line x = 1"},
                     {-200, 5, kGrey, "grid line x = -10"},
                     {200, 5, kGrey, "grid line x = 10"},
                     {5, -200, kGrey, "grid line y = 10"},
                     {10, 10, kWhite, "inside a grid cell"},
                     {220, 5, kWhite, "right of x = 10"},
                     {5, 220, kWhite, "below y = -10"},
                     {0, 210, kWhite, "the y axis ends at y = -10"}}));
  EXPECT_TRUE(AxesAt(0, 0));
  // Of two widths 101 apart one is odd: the centre is truncated, not
  // rounded. (The centre moves by 50, so a stale picture cannot pass.)
  for (int width : {701, 802}) {
    SCOPED_TRACE(width);
    ASSERT_TRUE(SetWindowPos(program().main_window(), nullptr, 0, 0, width, 601,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    EXPECT_TRUE(AxesAt(0, 0));
  }
}

TEST_F(GraphArea, ViewSettingsPlaceAxesAndGrid) {
  {
    SCOPED_TRACE("zoom 200 %");
    View view;
    view.zoom = 200;
    StartWith({}, view);
    EXPECT_TRUE(Shows({{40, 5, kGrey, "grid line x = 1"},
                       {20, 5, kWhite, "half a unit"},
                       {5, -40, kGrey, "grid line y = 1"}}));
    EXPECT_TRUE(AxesAt(0, 0));
    Stop();
  }
  {
    // The middle of the range (5, 5) is at the centre; the y axis runs
    // along the left edge of the range.
    SCOPED_TRACE("range 0..10");
    View view;
    view.x_min = 0;
    view.y_min = 0;
    StartWith({}, view);
    EXPECT_TRUE(AxesAt(-100, 100));
    EXPECT_TRUE(Shows({{-120, 95, kWhite, "left of the range"},
                       {-80, 95, kGrey, "grid line x = 1"}}));
    Stop();
  }
  {
    // Marks stand half a unit up from the x axis and right of the y axis;
    // with y from 1 to 9 the x axis is not drawn, the marks on y = 0 are.
    SCOPED_TRACE("tick marks, y 1..9");
    View view;
    view.tick_mode = 1;
    view.y_min = 1;
    view.y_max = 9;
    StartWith({}, view);
    EXPECT_TRUE(Shows({{20, 95, kGrey, "mark at x = 1"},
                       {20, 105, kWhite, "no mark below the x axis"},
                       {20, 80, kWhite, "no grid"},
                       {5, 80, kGrey, "mark at y = 1"},
                       {0, -20, kBlack, "y axis"},
                       {70, 100, kWhite, "no x axis outside the range"}}));
    EXPECT_TRUE(AxesAt(0, std::nullopt));
    Stop();
  }
}

// Curves are drawn in their colours over grid and axes, only when visible;
// the first function of the list lies on top.
TEST_F(GraphArea, VisibleCurvesAreDrawnFirstFunctionOnTop) {
  StartWith({Explicit(u"5", kRed), Explicit(u"x", kGreen),
             Explicit(u"3", kBlue, /*visible=*/false)});
  EXPECT_TRUE(Shows({{10, -100, kRed, "y = 5 over the grid line"},
                     {-10, -103, kWhite, "beside y = 5"},
                     {40, -40, kGreen, "y = x at x = 2"},
                     {100, -100, kRed, "y = 5 over y = x where they cross"},
                     {10, -60, kGrey, "hidden y = 3 leaves the grid line"},
                     {0, 50, kBlack, "y axis"}}));
}

// A load that fails part-way at start-up leaves no trace: default view,
// no curves.
TEST_F(GraphArea, FailedLoadAtStartShowsTheDefaultView) {
  View view;
  view.zoom = 200;
  Function too_long = Explicit(std::u16string(200, u'関'), kGreen);
  const std::wstring path =
      PutDocument(L"partial.kvn", {Explicit(u"5", kRed), too_long}, view);
  Program& p = Start(path);
  AnswerMessageBox(kCaption, L"Unicode → Ansi 変換でエラーが発生しました。",
                   Icon::kWarning, {IDOK}, IDOK);
  ASSERT_NE(p.WaitShown(), nullptr);
  EXPECT_TEXT(p.Title(), kUntitled);
  EXPECT_TRUE(Shows({{20, 5, kGrey, "grid line x = 1 at 100 %"},
                     {10, -100, kGrey, "grid line y = 5, no curve"}}));
}

// A scroll bar step moves the picture the opposite way by as many pixels.
TEST_F(GraphArea, ScrollingMovesThePicture) {
  Program& p = StartWith({});
  ASSERT_TRUE(AxesAt(0, 0));
  ASSERT_TRUE(p.Scroll(SB_HORZ, SB_LINERIGHT));
  EXPECT_TRUE(AxesAt(-10, 0));
  ASSERT_TRUE(p.Scroll(SB_HORZ, SB_ENDSCROLL));
  EXPECT_TRUE(AxesAt(-10, 0));
  ASSERT_TRUE(p.Scroll(SB_VERT, SB_LINEDOWN));
  EXPECT_TRUE(AxesAt(-10, -10));
  ASSERT_TRUE(p.Scroll(SB_HORZ, SB_PAGERIGHT));
  EXPECT_TRUE(AxesAt(-310, -10));
  ASSERT_TRUE(p.Scroll(SB_HORZ, SB_PAGELEFT));
  ASSERT_TRUE(p.Scroll(SB_HORZ, SB_LINELEFT, 2));
  ASSERT_TRUE(p.Scroll(SB_VERT, SB_LINEUP, 3));
  EXPECT_TRUE(AxesAt(10, 20));
  ASSERT_TRUE(p.Scroll(SB_VERT, SB_ENDSCROLL));
  EXPECT_TRUE(AxesAt(10, 20));
}

// Positions stay within -10000..10000. The position cannot be read from
// another process under Wine, so the picture is brought back into view
// with page steps and the axes show where it was.
TEST_F(GraphArea, ScrollingStopsAtTheEnds) {
  Program& p = StartWith({});
  struct Row {
    const char* what;
    int bar, end, back, toward_end, away;
    int dx, dy;  // where the axes end up
  };
  const Row rows[] = {
      {"right", SB_HORZ, SB_RIGHT, SB_LINELEFT, SB_PAGERIGHT, SB_PAGELEFT, -100,
       0},
      {"left", SB_HORZ, SB_LEFT, SB_LINERIGHT, SB_PAGELEFT, SB_PAGERIGHT, 100,
       0},
      {"bottom", SB_VERT, SB_BOTTOM, SB_LINEUP, SB_PAGEDOWN, SB_PAGEUP, 0,
       -100},
      {"top", SB_VERT, SB_TOP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, 0, 100},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    // ±10000, back to ±9900, a page toward the end stops at ±10000,
    // 33 pages away reach ±100.
    ASSERT_TRUE(p.Scroll(row.bar, row.end));
    ASSERT_TRUE(p.Scroll(row.bar, row.back, 10));
    ASSERT_TRUE(p.Scroll(row.bar, row.toward_end));
    ASSERT_TRUE(p.Scroll(row.bar, row.away, 33));
    EXPECT_TRUE(AxesAt(row.dx, row.dy));
    // Back to 0 for the next row.
    ASSERT_TRUE(p.Scroll(row.bar, row.back, 10));
    EXPECT_TRUE(AxesAt(0, 0));
  }
}

// Scroll positions belong to the scroll bars: new documents and loads
// keep them.
TEST_F(GraphArea, ScrollPositionSurvivesNewAndOpen) {
  const std::wstring other = PutDocument(L"other.kvn");
  Program& p = StartWith({});
  ASSERT_TRUE(p.Scroll(SB_HORZ, SB_LINERIGHT, 3));
  ASSERT_TRUE(p.Scroll(SB_VERT, SB_LINEUP));
  ASSERT_TRUE(AxesAt(-30, 10));
  ASSERT_TRUE(p.PostCommand(kNew));
  ASSERT_TEXT(p.WaitTitle(kUntitled), kUntitled);
  EXPECT_TRUE(AxesAt(-30, 10));
  ASSERT_TRUE(p.DropFiles({other}));
  ASSERT_TEXT(p.WaitTitle(L"Kurvana - [other.kvn]"), L"Kurvana - [other.kvn]");
  EXPECT_TRUE(AxesAt(-30, 10));
}

}  // namespace
}  // namespace e2e
