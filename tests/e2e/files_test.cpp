// Opening, saving and dropping documents through the program's windows
// and the common file dialogs.
#include "test_support.h"

namespace e2e {
namespace {

using Files = ProgramTest;

// Marks the header's reserved bytes, which a save writes as zero.
std::string Marked(std::string bytes) {
  for (size_t i = 48; i < kHeaderSize; ++i) bytes[i] = '\x5A';
  return bytes;
}

// A name without extension gets .kvn; Japanese names pass through the
// program's narrow code page intact.
TEST_F(Files, SaveAsWritesTheDocumentAndAddsTheExtension) {
  struct Row {
    const wchar_t* typed;
    const wchar_t* file;
    const wchar_t* title;
  };
  const Row rows[] = {
      {L"plot", L"plot.kvn", L"Kurvana - [plot.kvn]"},
      {L"関数 表", L"関数 表.kvn", L"Kurvana - [関数 表.kvn]"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Narrow(row.typed));
    Program& p = StartShown(L"");
    ASSERT_TRUE(p.PostCommand(kSaveAs));
    HWND dialog = p.WaitDialog(kSaveTitle);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(SetFileName(dialog, folder_.path() + row.typed));
    ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
    EXPECT_TEXT(p.WaitTitle(row.title), row.title);
    ExpectNoMessageBox();
    // An empty document with the default view: exactly the 112-byte header.
    EXPECT_EQ(ReadBytes(folder_.path() + row.file),
              std::optional<std::string>(EncodeDocument(View(), {})));
    Stop();
  }
}

// Save of a named document writes to its path without asking anything.
TEST_F(Files, SaveOfNamedDocumentRewritesItsFile) {
  View view;
  view.x_min = -3;
  view.y_max = 7;
  view.zoom = 250;
  view.tick_mode = 1;
  Function parametric;
  parametric.kind = 2;
  parametric.expression = u"cos(t)";
  parametric.expression2 = u"sin(t)";
  parametric.domain_min = 0;
  parametric.domain_max = 6.25;
  parametric.colour = 0x00FF8000;
  parametric.density = 5;
  const std::string canonical =
      EncodeDocument(view, {Explicit(u"x*x", 0x0000FF, false, 2), parametric});
  const std::wstring path = Put(L"doc.kvn", Marked(canonical));
  Program& p = StartShown(path);
  for (int command : {kSave, kToolSave}) {
    SCOPED_TRACE(command);
    ASSERT_TRUE(WriteBytes(path, Marked(canonical)));
    ASSERT_TRUE(p.SendCommand(command)) << "the save did not finish";
    EXPECT_TRUE(p.Dialogs().empty()) << "a dialog or message box appeared";
    EXPECT_EQ(ReadBytes(path), std::optional<std::string>(canonical));
    EXPECT_TEXT(p.Title(), L"Kurvana - [doc.kvn]");
  }
}

// A folder in the document's place cannot be opened for writing: the save
// says so and replaces nothing.
TEST_F(Files, SaveOverAFolderCannotOpen) {
  const std::wstring path = PutDocument(L"doc.kvn");
  Program& p = StartShown(path);
  ASSERT_TRUE(DeleteFileW(path.c_str()));
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  ASSERT_TRUE(p.PostCommand(kSave));
  AnswerMessageBox(kCaption, L"ファイルを開けません。", Icon::kWarning, {IDOK},
                   IDOK);
  EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_TEXT(p.Title(), L"Kurvana - [doc.kvn]");
  ASSERT_TRUE(RemoveDirectoryW(path.c_str()));
}

// Save As starts from the current path; replacing an existing file is
// asked first, and No leaves the file alone.
TEST_F(Files, SaveAsOverExistingFileAsksFirst) {
  const std::string old_bytes = Marked(EncodeDocument(View(), {}));
  const std::wstring old_path = Put(L"old.kvn", old_bytes);
  Program& p = StartShown(PutDocument(L"sin.kvn"));
  ASSERT_TRUE(p.PostCommand(kSaveAs));
  HWND dialog = p.WaitDialog(kSaveTitle);
  ASSERT_NE(dialog, nullptr);
  const std::wstring initial = WindowText(GetDlgItem(dialog, 0x47C));
  EXPECT_NE(initial.find(L"sin.kvn"), std::wstring::npos)
      << "initial name \"" << Narrow(initial) << "\"";
  ASSERT_TRUE(SetFileName(dialog, old_path));
  ASSERT_TRUE(PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0));
  auto question = p.WaitMessageBox();
  ASSERT_TRUE(question.has_value()) << "replacing was not asked";
  EXPECT_EQ(question->buttons, (std::set<int>{IDYES, IDNO}));
  EXPECT_TRUE(ClickAndWaitClosed(question->window, IDNO));
  EXPECT_TRUE(IsWindow(dialog)) << "No must return to the dialog";
  EXPECT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
  EXPECT_EQ(ReadBytes(old_path), std::optional<std::string>(old_bytes));
  EXPECT_TEXT(p.Title(), L"Kurvana - [sin.kvn]");
  ExpectNoMessageBox();
}

TEST_F(Files, OpenThroughTheDialogLoadsAndRenames) {
  const std::wstring path =
      PutDocument(L"sin.kvn", {Explicit(u"sin(x)", 0x0000FF)});
  for (int command : {kOpen, kToolOpen}) {
    SCOPED_TRACE(command);
    Program& p = StartShown(L"");
    ASSERT_TRUE(p.PostCommand(command));
    HWND dialog = p.WaitDialog(kOpenTitle);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(SetFileName(dialog, path));
    ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
    EXPECT_TEXT(p.WaitTitle(L"Kurvana - [sin.kvn]"), L"Kurvana - [sin.kvn]");
    ExpectNoMessageBox();
    Stop();
  }
}

// A failed open shows the loader's warning and keeps the current name.
TEST_F(Files, FailedOpenKeepsTheCurrentDocumentName) {
  std::string bad = EncodeDocument(View(), {});
  bad[1] = '?';
  const std::wstring bad_path = Put(L"bad.kvn", bad);
  Program& p = StartShown(PutDocument(L"sin.kvn"));
  ASSERT_TRUE(p.PostCommand(kOpen));
  HWND dialog = p.WaitDialog(kOpenTitle);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(SetFileName(dialog, bad_path));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  AnswerMessageBox(kCaption, L"ファイルが不正です。", Icon::kWarning, {IDOK},
                   IDOK);
  EXPECT_TEXT(p.Title(), L"Kurvana - [sin.kvn]");
  ExpectNoMessageBox();
}

// The open dialog itself refuses a name that does not exist: the program
// never gets to report it.
TEST_F(Files, OpenDialogRefusesMissingFile) {
  Program& p = StartShown(L"");
  ASSERT_TRUE(p.PostCommand(kOpen));
  HWND dialog = p.WaitDialog(kOpenTitle);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(SetFileName(dialog, folder_.path() + L"missing.kvn"));
  ASSERT_TRUE(PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0));
  auto box = p.WaitMessageBox();
  ASSERT_TRUE(box.has_value()) << "the missing file was not refused";
  EXPECT_NE(box->caption, kCaption) << "the program itself tried to load it";
  EXPECT_TRUE(ClickAndWaitClosed(box->window, IDOK));
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
  EXPECT_TEXT(p.Title(), kUntitled);
}

TEST_F(Files, DroppingFilesOpensTheFirstOnly) {
  const std::wstring first = PutDocument(L"first.kvn");
  const std::wstring second = PutDocument(L"second.kvn");
  const std::wstring japanese = PutDocument(L"表\\ソ表.kvn");
  Program& p = StartShown(L"");
  ASSERT_TRUE(p.DropFiles({first, second}));
  EXPECT_TEXT(p.WaitTitle(L"Kurvana - [first.kvn]"), L"Kurvana - [first.kvn]");
  ExpectNoMessageBox();
  ASSERT_TRUE(p.DropFiles({japanese, first}));
  EXPECT_TEXT(p.WaitTitle(L"Kurvana - [ソ表.kvn]"), L"Kurvana - [ソ表.kvn]");
  ExpectNoMessageBox();
  EXPECT_EQ(p.Close(), std::optional<DWORD>(0));
}

TEST_F(Files, DroppedFileThatFailsKeepsTheCurrentDocumentName) {
  const std::wstring sin = PutDocument(L"sin.kvn");
  Program& p = StartShown(sin);
  ASSERT_TRUE(p.DropFiles({folder_.path() + L"gone.kvn"}));
  AnswerMessageBox(kCaption, L"ファイルを開けません。", Icon::kWarning, {IDOK},
                   IDOK);
  EXPECT_TEXT(p.Title(), L"Kurvana - [sin.kvn]");
  ExpectNoMessageBox();
}

}  // namespace
}  // namespace e2e
