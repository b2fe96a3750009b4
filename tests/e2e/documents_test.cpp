// The main window's commands as a user gives them: the routes to each
// command, opening, saving and dropping documents, the save prompt, and
// the window's placement.
#include "fixture.h"

namespace e2e {
namespace {

using namespace kurvana::text;

// The reserved header bytes, which a save writes as zero, marked.
std::string Marked(std::string bytes) {
  for (size_t i = 48; i < 112; ++i) bytes[i] = 'Z';
  return bytes;
}

const Box kPrompt{
    T(kSaveChanges), Icon::kWarning, IDCANCEL, {IDYES, IDNO, IDCANCEL}};
Box Prompt(int answer) {
  Box box = kPrompt;
  box.answer = answer;
  return box;
}

using Commands = ProgramTest;

// Menu items, toolbar buttons and keys open the windows of their commands;
// cancelled, they leave the untitled document clean.
TEST_F(Commands, EveryRouteOpensItsWindow) {
  Program& p = StartShown(L"");
  const struct {
    const char* what;
    int command;  // 0: the keys Ctrl + key
    WORD key;
    HWND (*wait)(Program&);
  } routes[] = {
      {"save", IDM_SAVE, 0, WaitSaveDialog},
      {"save, toolbar", IDT_SAVE, 0, WaitSaveDialog},
      {"save, Ctrl+S", 0, 'S', WaitSaveDialog},
      {"save as", IDM_SAVE_AS, 0, WaitSaveDialog},
      {"open", IDM_OPEN, 0, WaitOpenDialog},
      {"open, toolbar", IDT_OPEN, 0, WaitOpenDialog},
      {"function list", IDM_FUNCTION_LIST, 0, WaitListDialog},
      {"function list, toolbar", IDT_FUNCTIONS, 0, WaitListDialog},
      {"function list, Ctrl+F", 0, 'F', WaitListDialog},
      {"graph settings", IDM_GRAPH_SETTINGS, 0, WaitSettingsDialog},
      {"graph settings, toolbar", IDT_GRAPH, 0, WaitSettingsDialog},
      {"graph settings, Ctrl+G", 0, 'G', WaitSettingsDialog},
  };
  for (const auto& route : routes) {
    SCOPED_TRACE(route.what);
    if (route.command >= IDT_NEW && route.command <= IDT_GRAPH) {
      EXPECT_TRUE(p.ToolbarOffers(route.command));
    }
    ASSERT_TRUE(route.command ? p.PostCommand(route.command)
                              : p.PressKeys({VK_CONTROL, route.key}));
    HWND dialog = route.wait(p);
    ASSERT_NE(dialog, nullptr);
    if (route.wait == WaitSaveDialog) {
      EXPECT_TEXT(ItemText(dialog, 0x47C), L"");
    }
    ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
    ExpectNoMessageBox();
    EXPECT_TEXT(p.Title(), kUntitled);
  }
  ASSERT_TRUE(p.PostCommand(IDM_ABOUT));
  const auto about = p.WaitMessageBox();
  ASSERT_TRUE(about.has_value());
  EXPECT_TEXT(about->caption, T(kAboutCaption));
  EXPECT_TEXT(about->text, T(kAboutText));
  EXPECT_EQ(about->icon, Icon::kInformation);
  ASSERT_TRUE(ClickAndWaitClosed(about->window, IDOK));
  ASSERT_TRUE(p.PostCommand(IDM_EXIT));
  EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
}

// Recalculation samples again, so a broken function reports again; a
// redraw only paints.
TEST_F(Commands, RecalculateReportsBrokenFunctionsAgainRedrawDoesNot) {
  const Box compile_failed{T(kCompileFailed), Icon::kError};
  Program& p = StartShown(PutDocument(L"broken.kvn", {Explicit(u"sin(")}),
                          {compile_failed});
  ASSERT_TRUE(p.SendCommand(IDM_REDRAW));
  ExpectNoMessageBox();
  ASSERT_TRUE(p.PostCommand(IDM_RECALCULATE));
  Answer(compile_failed);
  ASSERT_TRUE(p.PressKeys({VK_F5}));
  Answer(compile_failed);
  ExpectNoMessageBox();
}

using Files = ProgramTest;

// A name without extension gets .kvn; Japanese names and blanks pass the
// program's narrow code page intact. Replacing a file is asked first.
TEST_F(Files, SaveAsNamesTheDocumentAndAsksBeforeReplacing) {
  Program& p = StartShown(L"");
  for (const std::wstring typed : {L"plot", L"関数 表"}) {
    SCOPED_TRACE(Narrow(typed));
    ASSERT_TRUE(p.PostCommand(IDM_SAVE_AS));
    HWND dialog = WaitSaveDialog(p);
    ASSERT_TRUE(SetFileName(dialog, folder_.path() + typed));
    ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
    EXPECT_TEXT(p.WaitTitle(Titled(typed + L".kvn")), Titled(typed + L".kvn"));
    ExpectNoMessageBox();
    EXPECT_EQ(ReadBytes(folder_.path() + typed + L".kvn"),
              EncodeDocument(View(), {}));
  }
  const std::string old_bytes = Marked(EncodeDocument(View(), {}));
  const std::wstring old_path = Put(L"old.kvn", old_bytes);
  ASSERT_TRUE(p.PostCommand(IDM_SAVE_AS));
  HWND dialog = WaitSaveDialog(p);
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(ItemText(dialog, 0x47C).find(L"関数 表.kvn"), std::wstring::npos);
  ASSERT_TRUE(SetFileName(dialog, old_path));
  ASSERT_TRUE(Click(dialog, IDOK));
  const auto replace = p.WaitMessageBox();
  ASSERT_TRUE(replace.has_value()) << "replacing was not asked";
  EXPECT_EQ(replace->buttons, (std::set<int>{IDYES, IDNO}));
  ASSERT_TRUE(ClickAndWaitClosed(replace->window, IDNO));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
  EXPECT_EQ(ReadBytes(old_path), old_bytes);
  EXPECT_TEXT(p.Title(), Titled(L"関数 表.kvn"));
}

// What is opened is saved back as it was read; a file that cannot be
// loaded, or does not exist, leaves the open document alone.
TEST_F(Files, OpenedDocumentSavesBackTheSameBytes) {
  View view;
  view.x_min = -3;
  view.zoom = 250;
  view.tick_mode = 1;
  Function parametric;
  parametric.kind = 2;
  parametric.expression = u"cos(t)";
  parametric.expression2 = u"sin(t)";
  parametric.domain_max = 6.25;
  parametric.colour = 0x00FF8000;
  const std::string canonical =
      EncodeDocument(view, {Explicit(u"x*x", 0x0000FF, false, 2), parametric});
  const std::wstring path = Put(L"doc.kvn", Marked(canonical));
  std::string bad = canonical;
  bad[1] = '?';
  const std::wstring bad_path = Put(L"bad.kvn", bad);

  Program& p = StartShown(L"");
  ASSERT_TRUE(p.PostCommand(IDT_OPEN));
  HWND dialog = WaitOpenDialog(p);
  ASSERT_TRUE(SetFileName(dialog, path));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_TEXT(p.WaitTitle(Titled(L"doc.kvn")), Titled(L"doc.kvn"));
  for (int save : {IDM_SAVE, IDT_SAVE}) {
    ASSERT_TRUE(WriteBytes(path, Marked(canonical)));
    ASSERT_TRUE(p.SendCommand(save)) << "the save did not finish";
    ExpectNoMessageBox();
    EXPECT_EQ(ReadBytes(path), canonical);
  }

  ASSERT_TRUE(p.PostCommand(IDM_OPEN));
  dialog = WaitOpenDialog(p);
  ASSERT_TRUE(SetFileName(dialog, bad_path));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  Answer({T(kNotADocument)});
  // The dialog itself refuses a missing file: the program never sees it.
  ASSERT_TRUE(p.PostCommand(IDM_OPEN));
  dialog = WaitOpenDialog(p);
  ASSERT_TRUE(SetFileName(dialog, folder_.path() + L"missing.kvn"));
  ASSERT_TRUE(Click(dialog, IDOK));
  const auto refusal = p.WaitMessageBox();
  ASSERT_TRUE(refusal.has_value()) << "the missing file was not refused";
  EXPECT_NE(refusal->caption, kCaption);
  ASSERT_TRUE(ClickAndWaitClosed(refusal->window, IDOK));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
  ExpectNoMessageBox();
  EXPECT_TEXT(p.Title(), Titled(L"doc.kvn"));
}

// A drop opens the first file only; New empties the document at once.
TEST_F(Files, DropOpensTheFirstFileAndNewEmpties) {
  const std::wstring first = PutDocument(L"first.kvn");
  const std::wstring second = PutDocument(L"second.kvn");
  const std::wstring japanese = PutDocument(L"表\\ソ表.kvn");
  Program& p = StartShown(L"");
  ASSERT_TRUE(p.DropFiles({first, second}));
  EXPECT_TEXT(p.WaitTitle(Titled(L"first.kvn")), Titled(L"first.kvn"));
  ASSERT_TRUE(p.SendCommand(IDT_NEW));
  EXPECT_TEXT(p.Title(), kUntitled);
  ASSERT_TRUE(p.DropFiles({japanese, first}));
  EXPECT_TEXT(p.WaitTitle(Titled(L"ソ表.kvn")), Titled(L"ソ表.kvn"));
  ASSERT_TRUE(p.DropFiles({folder_.path() + L"gone.kvn"}));
  Answer({T(kCannotOpenFile)});
  EXPECT_TEXT(p.Title(), Titled(L"ソ表.kvn"));
  ASSERT_TRUE(p.SendCommand(IDM_NEW));
  EXPECT_TEXT(p.Title(), kUntitled);
  ExpectNoMessageBox();
}

// A document becomes modified when a dialog is confirmed, even unchanged;
// leaving it then asks first, and the answer decides.
class SavePrompt : public ProgramTest {
 protected:
  void Modify(int command) {
    ASSERT_TRUE(program().PostCommand(command));
    HWND dialog = command == IDM_FUNCTION_LIST ? WaitListDialog(program())
                                               : WaitSettingsDialog(program());
    ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  }
  void Leave(int how, const std::wstring& other = L"") {
    Program& p = program();
    ASSERT_TRUE(how == WM_CLOSE ? PostMessageW(p.main_window(), WM_CLOSE, 0, 0)
                : how == WM_DROPFILES ? p.DropFiles({other})
                                      : p.PostCommand(how));
  }
};

TEST_F(SavePrompt, AnswerDecides) {
  const std::string original = EncodeDocument(View(), {});
  const struct {
    const char* what;
    int modify;  // the dialog confirmed
    int leave;   // WM_CLOSE, WM_DROPFILES or a command
    int answer;
    bool ends, saved;
    std::wstring title;  // while it runs
  } rows[] = {
      {"close, cancel", IDM_FUNCTION_LIST, WM_CLOSE, IDCANCEL, false, false,
       Titled(L"doc.kvn")},
      {"close, no", IDM_GRAPH_SETTINGS, WM_CLOSE, IDNO, true, false, L""},
      {"close, yes", IDM_GRAPH_SETTINGS, WM_CLOSE, IDYES, true, true, L""},
      {"new, no", IDM_FUNCTION_LIST, IDM_NEW, IDNO, false, false, kUntitled},
      {"drop, cancel", IDM_FUNCTION_LIST, WM_DROPFILES, IDCANCEL, false, false,
       Titled(L"doc.kvn")},
  };
  const std::wstring other = PutDocument(L"other.kvn");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::wstring path = Put(L"doc.kvn", Marked(original));
    Program& p = StartShown(path);
    Modify(row.modify);
    Leave(row.leave, other);
    Answer(Prompt(row.answer));
    if (row.ends) {
      EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
    } else {
      ExpectNoMessageBox();
      EXPECT_TEXT(p.WaitTitle(row.title), row.title);
    }
    EXPECT_EQ(ReadBytes(path), row.saved ? original : Marked(original));
    // Discarded changes are gone: closing asks nothing.
    if (row.answer == IDNO && !row.ends) {
      EXPECT_EQ(p.Close(), std::optional<DWORD>(0));
    }
    Stop();
  }
}

// Yes on an untitled document asks for a name; cancelling it stays.
TEST_F(SavePrompt, YesOnUntitledAsksForAName) {
  Program& p = StartShown(L"");
  Modify(IDM_FUNCTION_LIST);
  Leave(WM_CLOSE);
  Answer(Prompt(IDYES));
  ASSERT_TRUE(ClickAndWaitClosed(WaitSaveDialog(p), IDCANCEL));
  ExpectNoMessageBox();
  EXPECT_TRUE(p.running());
}

// A folder in the document's place cannot be opened for writing: a save
// says so and replaces nothing, and after Yes at the prompt the document
// stays open, named and modified.
TEST_F(SavePrompt, FailedSaveKeepsTheDocumentOpenAndModified) {
  const std::wstring path = PutDocument(L"doc.kvn");
  Program& p = StartShown(path);
  ASSERT_TRUE(DeleteFileW(path.c_str()));
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  const Box cannot_open{T(kCannotOpenFile)};
  ASSERT_TRUE(p.PostCommand(IDM_SAVE));
  Answer(cannot_open);
  Modify(IDM_FUNCTION_LIST);
  for (int leave : {IDM_NEW, WM_CLOSE}) {
    SCOPED_TRACE(leave);
    Leave(leave);
    Answer(Prompt(IDYES));
    Answer(cannot_open);
    ExpectNoMessageBox();
    EXPECT_TEXT(p.Title(), Titled(L"doc.kvn"));
  }
  EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  Leave(WM_CLOSE);
  Answer(Prompt(IDNO));
  EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
  RemoveDirectoryW(path.c_str());
}

using Placement = ProgramTest;

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// The graph area fills the client area below the toolbar.
::testing::AssertionResult LaidOut(Program& p) {
  RECT client{}, area = WindowRect(p.GraphArea());
  GetClientRect(p.main_window(), &client);
  const RECT bar = WindowRect(p.Toolbar());
  MapWindowPoints(nullptr, p.main_window(), reinterpret_cast<POINT*>(&area), 2);
  const RECT want{0, bar.bottom - bar.top, client.right, client.bottom};
  if (bar.bottom > bar.top && EqualRect(&area, &want))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "graph area at " << Describe(area)
                                       << ", expected " << Describe(want);
}

// The restored rectangle is stored on exit, maximised or not, with width
// and height one more than its extent, and comes back at the next start;
// an incomplete record is not applied.
TEST_F(Placement, RestoredRectangleIsStoredAndComesBack) {
  Program& first = StartShown(L"");
  const RECT default_rect = WindowRect(first.main_window());
  EXPECT_TRUE(LaidOut(first));
  ASSERT_TRUE(SetWindowPos(first.main_window(), nullptr, 60, 50, 640, 480,
                           SWP_NOZORDER | SWP_NOACTIVATE));
  EXPECT_TRUE(WaitFor([&] { return bool(LaidOut(first)); }))
      << LaidOut(first).message();
  ShowWindow(first.main_window(), SW_MAXIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsZoomed(first.main_window()) != FALSE; }));
  ASSERT_EQ(first.Close(), std::optional<DWORD>(0));
  const wchar_t* names[] = {L"WinLeft", L"WinTop", L"WinWidth", L"WinHeight"};
  const DWORD stored[] = {60, 50, 641, 481};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kPlacementKey, names[i]),
              std::optional<DWORD>(stored[i]))
        << Narrow(names[i]);

  Program& again = StartShown(L"");
  EXPECT_FALSE(IsZoomed(again.main_window()));
  const RECT restored = WindowRect(again.main_window()), want{60, 50, 700, 530};
  EXPECT_TRUE(EqualRect(&restored, &want)) << Describe(restored);
  EXPECT_TRUE(LaidOut(again));
  Stop();

  DeleteKeyTree(HKEY_CURRENT_USER, kPlacementKey);
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(
        WriteDword(HKEY_CURRENT_USER, kPlacementKey, names[i], stored[i]));
  const RECT incomplete = WindowRect(StartShown(L"").main_window());
  EXPECT_TRUE(EqualRect(&incomplete, &default_rect)) << Describe(incomplete);
}

}  // namespace
}  // namespace e2e
