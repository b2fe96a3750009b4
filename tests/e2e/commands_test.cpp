// Commands of the main window that do not involve files: about, exit,
// new, recalculate and redraw, and the routes to the save command; and the
// save prompt, which needs a modified document.
#include "test_support.h"

namespace e2e {
namespace {

using Commands = ProgramTest;

TEST_F(Commands, AboutShowsTheVersion) {
  Program& p = StartShown(L"");
  ASSERT_TRUE(p.PostCommand(kAbout));
  AnswerMessageBox(L"Kurvana のバージョン情報", L"Kurvana Version 1.0.0000",
                   Icon::kInformation, {IDOK}, IDOK);
  EXPECT_TRUE(p.running());
  ExpectNoMessageBox();
}

// Exit, the close box and WM_CLOSE all end a clean document at once with
// exit code 0.
TEST_F(Commands, ExitAndCloseEndWithCodeZero) {
  {
    SCOPED_TRACE("exit command");
    Program& p = StartShown(L"");
    ASSERT_TRUE(p.PostCommand(kExit));
    EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
  }
  {
    SCOPED_TRACE("close box");
    Program& p = StartShown(L"");
    ASSERT_TRUE(PostMessageW(p.main_window(), WM_SYSCOMMAND, SC_CLOSE, 0));
    EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
  }
  {
    SCOPED_TRACE("WM_CLOSE");
    Program& p = StartShown(PutDocument(L"sin.kvn"));
    EXPECT_EQ(p.Close(), std::optional<DWORD>(0));
  }
}

TEST_F(Commands, NewOnCleanDocumentGoesUntitledWithoutAsking) {
  for (int command : {kNew, kToolNew}) {
    SCOPED_TRACE(command);
    Program& p =
        StartShown(PutDocument(L"sin.kvn", {Explicit(u"sin(x)", 0x0000FF)}));
    ASSERT_TEXT(p.Title(), L"Kurvana - [sin.kvn]");
    ASSERT_TRUE(p.PostCommand(command));
    EXPECT_TEXT(p.WaitTitle(kUntitled), kUntitled);
    ExpectNoMessageBox();
    Stop();
  }
}

// Save of an untitled document is Save As with an empty name, whichever
// way it is asked for; cancelling leaves everything as it was.
TEST_F(Commands, SaveOfUntitledDocumentAsksForAName) {
  struct Row {
    const char* route;
    int command;  // 0: the keys Ctrl+S
  };
  const Row rows[] = {{"menu", kSave},
                      {"accelerator id", kAccelSave},
                      {"toolbar", kToolSave},
                      {"Ctrl+S", 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.route);
    Program& p = StartShown(L"");
    if (row.command)
      ASSERT_TRUE(p.PostCommand(row.command));
    else
      ASSERT_TRUE(p.PressKeys({VK_CONTROL, 'S'}));
    HWND dialog = p.WaitDialog(kSaveTitle);
    ASSERT_NE(dialog, nullptr) << "no save dialog";
    EXPECT_TEXT(WindowText(GetDlgItem(dialog, 0x47C)), L"");
    EXPECT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
    EXPECT_TEXT(p.Title(), kUntitled);
    ExpectNoMessageBox();
    Stop();
  }
}

// Recalculation samples the functions again, so a broken one reports
// again; a redraw only paints.
TEST_F(Commands, RecalculateReportsBrokenFunctionsAgainRedrawDoesNot) {
  const std::wstring path =
      PutDocument(L"broken.kvn", {Explicit(u"sin(", 0x0000FF)});
  Program& p = Start(path);
  AnswerMessageBox(kCaption, L"コンパイルに失敗しました。", Icon::kError,
                   {IDOK}, IDOK);
  ASSERT_NE(p.WaitShown(), nullptr);

  ASSERT_TRUE(p.PostCommand(kRedraw));
  ExpectNoMessageBox();

  ASSERT_TRUE(p.PostCommand(kRecalculate));
  AnswerMessageBox(kCaption, L"コンパイルに失敗しました。", Icon::kError,
                   {IDOK}, IDOK);
  ASSERT_TRUE(p.PostCommand(kAccelRecalculate));
  AnswerMessageBox(kCaption, L"コンパイルに失敗しました。", Icon::kError,
                   {IDOK}, IDOK);
  ASSERT_TRUE(p.PressKeys({VK_F5}));
  AnswerMessageBox(kCaption, L"コンパイルに失敗しました。", Icon::kError,
                   {IDOK}, IDOK);
  ExpectNoMessageBox();
}

// The save prompt. A document becomes modified only when the function list
// or graph settings dialog is confirmed; these tests confirm the function
// list dialog unchanged ("関数定義", OK), which marks the document
// modified.
class SavePrompt : public ProgramTest {
 protected:
  void MakeModified() {
    ASSERT_TRUE(program().PostCommand(kFunctionList));
    HWND dialog = program().WaitDialog(L"関数定義");
    ASSERT_NE(dialog, nullptr) << "no function list dialog";
    ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  }
  void AnswerPrompt(int answer) {
    AnswerMessageBox(kCaption, L"変更されています。保存しますか。",
                     Icon::kWarning, {IDYES, IDNO, IDCANCEL}, answer);
  }
};

TEST_F(SavePrompt, CloseAnsweredCancelKeepsRunning) {
  Program& p = StartShown(PutDocument(L"sin.kvn"));
  MakeModified();
  ASSERT_TRUE(PostMessageW(p.main_window(), WM_CLOSE, 0, 0));
  AnswerPrompt(IDCANCEL);
  EXPECT_FALSE(p.WaitExit(kQuietMs).has_value());
  EXPECT_TEXT(p.Title(), L"Kurvana - [sin.kvn]");
}

TEST_F(SavePrompt, CloseAnsweredNoEndsWithoutSaving) {
  const std::string original = EncodeDocument(View(), {});
  const std::wstring path = Put(L"sin.kvn", original);
  // Reserved bytes that a save would clear show whether it happened.
  std::string marked = original;
  marked[100] = 'M';
  ASSERT_TRUE(WriteBytes(path, marked));
  Program& p = StartShown(path);
  MakeModified();
  ASSERT_TRUE(PostMessageW(p.main_window(), WM_CLOSE, 0, 0));
  AnswerPrompt(IDNO);
  EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
  EXPECT_EQ(ReadBytes(path), std::optional<std::string>(marked));
}

TEST_F(SavePrompt, CloseAnsweredYesSavesThenEnds) {
  const std::string original = EncodeDocument(View(), {});
  std::string marked = original;
  marked[100] = 'M';
  const std::wstring path = Put(L"sin.kvn", marked);
  Program& p = StartShown(path);
  MakeModified();
  ASSERT_TRUE(PostMessageW(p.main_window(), WM_CLOSE, 0, 0));
  AnswerPrompt(IDYES);
  EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
  EXPECT_EQ(ReadBytes(path), std::optional<std::string>(original));
}

// Yes on an untitled document asks for a name; cancelling that dialog
// abandons the close.
TEST_F(SavePrompt, YesOnUntitledWithCancelledDialogKeepsRunning) {
  Program& p = StartShown(L"");
  MakeModified();
  ASSERT_TRUE(PostMessageW(p.main_window(), WM_CLOSE, 0, 0));
  AnswerPrompt(IDYES);
  HWND dialog = p.WaitDialog(kSaveTitle);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
  EXPECT_FALSE(p.WaitExit(kQuietMs).has_value());
  ExpectNoMessageBox();
}

// New answered No discards the changes: closing afterwards asks nothing.
TEST_F(SavePrompt, NewAnsweredNoLeavesCleanUntitledDocument) {
  Program& p = StartShown(PutDocument(L"sin.kvn"));
  MakeModified();
  ASSERT_TRUE(p.PostCommand(kNew));
  AnswerPrompt(IDNO);
  EXPECT_TEXT(p.WaitTitle(kUntitled), kUntitled);
  ASSERT_TRUE(PostMessageW(p.main_window(), WM_CLOSE, 0, 0));
  EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
}

// A drop on a modified document asks first; Cancel keeps the document.
TEST_F(SavePrompt, DropAnsweredCancelKeepsTheDocument) {
  const std::wstring other = PutDocument(L"other.kvn");
  Program& p = StartShown(PutDocument(L"sin.kvn"));
  MakeModified();
  ASSERT_TRUE(p.DropFiles({other}));
  AnswerPrompt(IDCANCEL);
  EXPECT_TEXT(p.Title(), L"Kurvana - [sin.kvn]");
}

}  // namespace
}  // namespace e2e
