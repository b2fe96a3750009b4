// The main window's parts: toolbar, graph area layout, the placement kept
// in the registry, and the menu, accelerators and icons of the program file.
#include <algorithm>

#include "test_support.h"

namespace e2e {
namespace {

using Window = ProgramTest;

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right &&
         a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// The graph area fills the client area below the toolbar.
bool LaidOut(Program& p, std::string* why) {
  RECT client{};
  GetClientRect(p.main_window(), &client);
  const RECT bar = WindowRect(p.Toolbar());
  RECT area = WindowRect(p.GraphArea());
  MapWindowPoints(nullptr, p.main_window(), reinterpret_cast<POINT*>(&area), 2);
  const RECT expected{0, bar.bottom - bar.top, client.right, client.bottom};
  *why = "graph area at " + Describe(area) + ", expected " + Describe(expected);
  return bar.bottom > bar.top && SameRect(area, expected);
}

TEST_F(Window, ToolbarHasSixButtonsWithLabels) {
  Program& p = StartShown(L"");
  ASSERT_TRUE(IsWindowVisible(p.Toolbar()));
  EXPECT_TEXT(ClassName(p.Toolbar()), L"ToolbarWindow32");
  struct Expected {
    int command;
    const wchar_t* text;  // nullptr: separator
  };
  const Expected expected[] = {{10001, L"新規"},   {10002, L"開く"},
                               {10003, L"上書き"}, {0, nullptr},
                               {10004, L"関数"},   {10005, L"グラフ"}};
  const std::vector<ToolbarButton> buttons = p.ToolbarButtons();
  ASSERT_EQ(buttons.size(), std::size(expected));
  for (size_t i = 0; i < buttons.size(); ++i) {
    SCOPED_TRACE("button " + std::to_string(i + 1));
    if (!expected[i].text) {
      EXPECT_TRUE(buttons[i].separator);
      continue;
    }
    EXPECT_FALSE(buttons[i].separator);
    EXPECT_EQ(buttons[i].command, expected[i].command);
    EXPECT_TRUE(buttons[i].enabled);
    EXPECT_TEXT(buttons[i].text, expected[i].text);
  }
}

TEST_F(Window, GraphAreaFillsTheClientAreaBelowTheToolbar) {
  Program& p = StartShown(L"");
  HWND area = p.GraphArea();
  ASSERT_NE(area, nullptr);
  const LONG style = GetWindowLongW(area, GWL_STYLE);
  EXPECT_TRUE(style & WS_HSCROLL);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_TRUE(GetWindowLongW(area, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  std::string why;
  EXPECT_TRUE(LaidOut(p, &why)) << why;

  // Resizing lays it out again.
  ASSERT_TRUE(SetWindowPos(p.main_window(), nullptr, 0, 0, 523, 411,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
  EXPECT_TRUE(WaitFor([&] { return LaidOut(p, &why); })) << why;

  // Minimising leaves it alone; restoring lays it out again.
  const RECT before = WindowRect(area);
  ShowWindow(p.main_window(), SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(p.main_window()) != FALSE; }));
  const RECT minimised = WindowRect(area);
  EXPECT_EQ(minimised.right - minimised.left, before.right - before.left);
  EXPECT_EQ(minimised.bottom - minimised.top, before.bottom - before.top);
  ShowWindow(p.main_window(), SW_RESTORE);
  ASSERT_TRUE(WaitFor([&] { return !IsIconic(p.main_window()); }));
  EXPECT_TRUE(WaitFor([&] { return LaidOut(p, &why); })) << why;
}

// The stored width and height are one more than the extent.
TEST_F(Window, StoredPlacementIsRestoredAtStart) {
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, kPlacementKey, L"WinLeft", 50));
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, kPlacementKey, L"WinTop", 40));
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, kPlacementKey, L"WinWidth", 801));
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, kPlacementKey, L"WinHeight", 601));
  Program& p = StartShown(L"");
  const RECT rect = WindowRect(p.main_window());
  EXPECT_TRUE(SameRect(rect, RECT{50, 40, 850, 640})) << Describe(rect);
  std::string why;
  EXPECT_TRUE(LaidOut(p, &why)) << why;
}

// An incomplete placement is not applied (and not complained about).
TEST_F(Window, IncompletePlacementIsIgnored) {
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, kPlacementKey, L"WinLeft", 50));
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, kPlacementKey, L"WinTop", 40));
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, kPlacementKey, L"WinWidth", 301));
  Program& p = StartShown(L"");
  ExpectNoMessageBox();
  const RECT rect = WindowRect(p.main_window());
  EXPECT_NE(rect.right - rect.left, 300) << Describe(rect);
}

void ExpectStoredPlacement(DWORD left, DWORD top, DWORD width, DWORD height) {
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kPlacementKey, L"WinLeft"),
            std::optional<DWORD>(left));
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kPlacementKey, L"WinTop"),
            std::optional<DWORD>(top));
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kPlacementKey, L"WinWidth"),
            std::optional<DWORD>(width));
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kPlacementKey, L"WinHeight"),
            std::optional<DWORD>(height));
}

TEST_F(Window, PlacementIsStoredOnExit) {
  Program& p = StartShown(L"");
  ExpectNoMessageBox();
  ASSERT_TRUE(SetWindowPos(p.main_window(), nullptr, 30, 20, 700, 500,
                           SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(WaitFor([&] {
    return SameRect(WindowRect(p.main_window()), RECT{30, 20, 730, 520});
  }));
  ASSERT_EQ(p.Close(), std::optional<DWORD>(0));
  ExpectStoredPlacement(30, 20, 701, 501);
}

// A maximised window stores its restored rectangle and comes back
// restored there.
TEST_F(Window, MaximisedWindowStoresItsRestoredRectangle) {
  Program& p = StartShown(L"");
  ASSERT_TRUE(SetWindowPos(p.main_window(), nullptr, 60, 50, 640, 480,
                           SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(WaitFor([&] {
    return SameRect(WindowRect(p.main_window()), RECT{60, 50, 700, 530});
  }));
  ShowWindow(p.main_window(), SW_MAXIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsZoomed(p.main_window()) != FALSE; }));
  ASSERT_EQ(p.Close(), std::optional<DWORD>(0));
  ExpectStoredPlacement(60, 50, 641, 481);

  Program& again = StartShown(L"");
  EXPECT_FALSE(IsZoomed(again.main_window()));
  const RECT rect = WindowRect(again.main_window());
  EXPECT_TRUE(SameRect(rect, RECT{60, 50, 700, 530})) << Describe(rect);
}

TEST_F(Window, MenuResourceHasTheCommands) {
  const auto menu = ReadMenuResource(ProgramPath(), 101);
  ASSERT_TRUE(menu.has_value()) << "no menu 101 in the program";
  struct Item {
    const wchar_t* text;  // nullptr: separator
    UINT id;
  };
  struct Popup {
    const wchar_t* text;
    std::vector<Item> items;
  };
  const Popup expected[] = {
      {L"ファイル(&F)",
       {{L"新規作成(&N)", 40009},
        {L"開く(&O)...", 40006},
        {L"上書き保存(&U)\tCtrl+S", 40007},
        {L"名前を付けて保存(&A)...", 40008},
        {nullptr, 0},
        {L"終了(&X)", 40001}}},
      {L"編集(&E)", {{L"コピー(&C)\tCtrl+C", 40011}}},
      {L"関数(&U)",
       {{L"関数リスト(&L)...\tCtrl+F", 40002},
        {L"グラフの設定(&G)...\tCtrl+G", 40003}}},
      {L"描画(&D)", {{L"再計算(&C)\tF5", 40004}, {L"再描画(&D)", 40005}}},
      {L"ヘルプ(&H)", {{L"バージョン情報(&A)...", 40010}}},
  };
  ASSERT_EQ(menu->size(), std::size(expected));
  for (size_t i = 0; i < menu->size(); ++i) {
    const MenuEntry& popup = (*menu)[i];
    SCOPED_TRACE(Narrow(expected[i].text));
    EXPECT_TEXT(popup.text, expected[i].text);
    ASSERT_EQ(popup.items.size(), expected[i].items.size());
    for (size_t j = 0; j < popup.items.size(); ++j) {
      const MenuEntry& item = popup.items[j];
      const Item& want = expected[i].items[j];
      if (!want.text) {
        EXPECT_TRUE(item.separator) << "item " << j;
        continue;
      }
      EXPECT_TEXT(item.text, want.text);
      EXPECT_EQ(item.id, want.id) << Narrow(want.text);
    }
  }
}

TEST_F(Window, AcceleratorResourceMapsTheKeys) {
  const auto table = ReadAcceleratorResource(ProgramPath(), 115);
  ASSERT_TRUE(table.has_value()) << "no accelerator table 115";
  constexpr BYTE kCtrl = FVIRTKEY | FCONTROL | FNOINVERT;
  struct Entry {
    BYTE virt;
    WORD key;
    WORD command;
  };
  const Entry expected[] = {{kCtrl, 'C', 40013},
                            {kCtrl, 'F', 40014},
                            {kCtrl, 'G', 40015},
                            {kCtrl, 'S', 40012},
                            {FVIRTKEY | FNOINVERT, VK_F5, 40016}};
  std::vector<ACCEL> sorted = *table;
  std::sort(sorted.begin(), sorted.end(),
            [](const ACCEL& a, const ACCEL& b) { return a.cmd < b.cmd; });
  std::vector<Entry> want(std::begin(expected), std::end(expected));
  std::sort(want.begin(), want.end(), [](const Entry& a, const Entry& b) {
    return a.command < b.command;
  });
  ASSERT_EQ(sorted.size(), want.size());
  for (size_t i = 0; i < sorted.size(); ++i) {
    SCOPED_TRACE(want[i].command);
    EXPECT_EQ(sorted[i].cmd, want[i].command);
    EXPECT_EQ(sorted[i].key, want[i].key);
    EXPECT_EQ(sorted[i].fVirt, want[i].virt);
  }
}

TEST_F(Window, ProgramFileCarriesItsIcons) {
  for (int id : {102, 106, 107, 108, 109, 110, 112}) {
    EXPECT_TRUE(HasResource(ProgramPath(), RT_GROUP_ICON, id)) << "icon " << id;
  }
}

}  // namespace
}  // namespace e2e
