// Starting the program: with and without a document, the title it shows
// for a path, and what a document that cannot be loaded does.
#include "test_support.h"

namespace e2e {
namespace {

using StartUp = ProgramTest;

// Sets an environment variable of the driver, which the programs it starts
// inherit, for the life of the object.
class ScopedVariable {
 public:
  ScopedVariable(const wchar_t* name, const wchar_t* value) : name_(name) {
    SetEnvironmentVariableW(name, value);
  }
  ~ScopedVariable() { SetEnvironmentVariableW(name_, nullptr); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const wchar_t* name_;
};

// A window that could not be made says why, then the program says it
// cannot go on; both stay until answered, and the stored placement of the
// last run is kept.
TEST_F(StartUp, FailedCreationSaysSoAndKeepsThePlacement) {
  const wchar_t* names[] = {L"WinLeft", L"WinTop", L"WinWidth", L"WinHeight"};
  const DWORD stored[] = {40, 30, 501, 401};
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(
        WriteDword(HKEY_CURRENT_USER, kPlacementKey, names[i], stored[i]));
  }
  ScopedVariable fault(L"KURVANA_FAIL_GRAPH_AREA", L"1");
  Program& p = Start(L"", DriverFolder() + L"kurvana_faulty.exe");
  AnswerMessageBox(kCaption, L"描画領域を作成できません。", Icon::kError,
                   {IDOK}, IDOK);
  auto box = p.WaitMessageBox();
  ASSERT_TRUE(box.has_value()) << "the second message did not stay up";
  EXPECT_TEXT(box->text, L"ウィンドウを作成できません。");
  Sleep(kQuietMs);
  EXPECT_TRUE(IsWindowVisible(box->window)) << "closed without an answer";
  EXPECT_TRUE(ClickAndWaitClosed(box->window, IDOK));
  EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kPlacementKey, names[i]),
              std::optional<DWORD>(stored[i]))
        << Narrow(names[i]);
  }
}

TEST_F(StartUp, WithoutDocumentShowsUntitledWindowAndNoMessage) {
  Program& p = StartShown(L"");
  EXPECT_TEXT(p.Title(), kUntitled);
  EXPECT_NE(p.GraphArea(), nullptr);
  EXPECT_TEXT(ClassName(p.GraphArea()), L"GAREACLASS");
  EXPECT_NE(p.Toolbar(), nullptr);
  ExpectNoMessageBox();
  EXPECT_EQ(p.Close(), std::optional<DWORD>(0));
}

// The title shows the last path component only, whatever the folder, and
// the whole tail is the path: blanks need no quotes.
TEST_F(StartUp, TitleShowsTheFileNameOfTheWholeTail) {
  struct Row {
    const wchar_t* file;   // created inside the test folder
    const wchar_t* title;  // expected
  };
  const Row rows[] = {
      {L"sin.kvn", L"Kurvana - [sin.kvn]"},
      {L"sub\\folder\\sin.kvn", L"Kurvana - [sin.kvn]"},
      {L"sub/slash.kvn", L"Kurvana - [slash.kvn]"},
      {L"noext", L"Kurvana - [noext]"},
      {L"v1.2\\plot", L"Kurvana - [plot]"},
      {L"a.b.kvn", L"Kurvana - [a.b.kvn]"},
      {L"my graphs\\two  words.kvn", L"Kurvana - [two  words.kvn]"},
      // 表 and ソ end in the byte 0x5C in Shift-JIS: not separators.
      {L"表\\ソ表.kvn", L"Kurvana - [ソ表.kvn]"},
      {L"関数グラフ.kvn", L"Kurvana - [関数グラフ.kvn]"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Narrow(row.file));
    const std::wstring path =
        PutDocument(row.file, {Explicit(u"sin(x)", 0x0000FF)});
    Program& p = StartShown(path);
    ExpectNoMessageBox();
    EXPECT_TEXT(p.Title(), row.title);
    Stop();
  }
}

// A document that cannot be loaded shows the loader's warning, then the
// program starts untitled.
TEST_F(StartUp, UnloadableDocumentWarnsAndStartsUntitled) {
  std::string bad_magic = EncodeDocument(View(), {});
  bad_magic[0] = 'X';
  std::string newer = EncodeDocument(View(), {});
  PutUint32(newer, 4, 0x00020000);
  const std::wstring good = PutDocument(L"good.kvn");
  struct Row {
    std::wstring tail;
    const wchar_t* message;
  };
  const Row rows[] = {
      {folder_.path() + L"missing.kvn", L"ファイルを開けません。"},
      {Put(L"magic.kvn", bad_magic), L"ファイルが不正です。"},
      {Put(L"newer.kvn", newer), L"新しいバージョンのファイルです。"},
      // Quotes are part of the path, so the file is not found.
      {L"\"" + good + L"\"", L"ファイルを開けません。"},
      // Only exactly -r and -u are switches; anything else is a path.
      {L"-R", L"ファイルを開けません。"},
      {L"-r x", L"ファイルを開けません。"},
      {L"-u ", L"ファイルを開けません。"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Narrow(row.tail));
    Program& p = Start(row.tail);
    AnswerMessageBox(kCaption, row.message, Icon::kWarning, {IDOK}, IDOK);
    ASSERT_NE(p.WaitShown(), nullptr);
    EXPECT_TEXT(p.Title(), kUntitled);
    ExpectNoMessageBox();
    Stop();
  }
}

TEST_F(StartUp, DocumentWithMoreThanTenFunctionsWarnsAndLoads) {
  const std::vector<Function> eleven(11, Explicit(u"x", 0x0000FF));
  const std::wstring path = PutDocument(L"eleven.kvn", eleven);
  Program& p = Start(path);
  AnswerMessageBox(kCaption, L"関数定義が10を超えました。一部を破棄します。",
                   Icon::kWarning, {IDOK}, IDOK);
  ASSERT_NE(p.WaitShown(), nullptr);
  EXPECT_TEXT(p.Title(), L"Kurvana - [eleven.kvn]");
  ExpectNoMessageBox();
}

// Every broken function reports itself while the document is computed,
// in list order, before the window is shown.
TEST_F(StartUp, BrokenFunctionsReportInListOrder) {
  Function bad_domain = Explicit(u"x", 0x0000FF);
  bad_domain.domain_min = 5;
  bad_domain.domain_max = 5;
  const std::wstring path = PutDocument(
      L"broken.kvn",
      {Explicit(u"1+", 0x0000FF), Explicit(u"x", 0x00FF00), bad_domain});
  Program& p = Start(path);
  AnswerMessageBox(kCaption, L"コンパイルに失敗しました。", Icon::kError,
                   {IDOK}, IDOK);
  AnswerMessageBox(kCaption, L"定義域が不正です。", Icon::kError, {IDOK}, IDOK);
  ASSERT_NE(p.WaitShown(), nullptr);
  EXPECT_TEXT(p.Title(), L"Kurvana - [broken.kvn]");
  ExpectNoMessageBox();
}

}  // namespace
}  // namespace e2e
