// Documents as a user handles them: opened, saved, saved under a name,
// dropped, emptied, recalculated, and the save prompt before one is left.
#include "program_driver.h"

namespace e2e {
namespace {

// The reserved header bytes, which a save writes as zero, marked.
std::string Marked(std::string bytes) {
  for (size_t i = 48; i < 112; ++i) bytes[i] = 'Z';
  return bytes;
}

class Documents : public ProgramTest {
 protected:
  // Gives the file dialog of `command` the name `name` (in its name box,
  // 0x47C), then clicks OK.
  void ChooseFile(int command, const char16_t* title,
                  const std::wstring& name) {
    EXPECT_TRUE(program().PostCommand(command));
    HWND dialog = program().WaitDialog(0x470);  // with a file type list
    EXPECT_TEXT(WindowText(dialog), T(title));
    EXPECT_TRUE(SetItemText(dialog, 0x47C, name) && Click(dialog, IDOK));
  }
  // Confirms the function list or the settings, which modifies the
  // document even unchanged.
  void Modify(int command = IDM_FUNCTION_LIST) {
    const int control =
        command == IDM_FUNCTION_LIST ? IDC_ADD_FUNCTION : IDC_X_MIN;
    ASSERT_TRUE(ClickAndWaitClosed(OpenDialog(command, control), IDOK));
  }
  void Leave(int how) {  // WM_CLOSE, WM_DROPFILES or a command
    Program& p = program();
    ASSERT_TRUE(how == WM_CLOSE ? PostMessageW(p.main_window(), WM_CLOSE, 0, 0)
                : how == WM_DROPFILES ? p.DropFiles({PutDocument(L"new.kvn")})
                                      : p.PostCommand(how));
  }
  void AnswerPrompt(int answer) {
    Answer({T(kSaveChanges), kWarning, answer, {IDYES, IDNO, IDCANCEL}});
  }
};

// What is opened is saved back as it was read, reserved bytes cleared. A
// name typed without extension gets .kvn, and Japanese names with blanks
// pass the program's narrow code page intact.
TEST_F(Documents, OpenedDocumentSavesBackAndUnderANewName) {
  Function parametric{2, 0, u"cos(t)", u"sin(t)", 0, 6.25, 0xFF8000, 5};
  const std::string canonical =
      EncodeDocument({-3, 10, -10, 10, 250, 3, 2, 0, 1, 0x808080},
                     {Explicit(u"x*x", 0x00FF00, false), parametric});
  const std::wstring path = Put(L"doc.kvn", Marked(canonical));
  Program& p = StartShown(L"");
  ChooseFile(IDM_OPEN, kOpenTitle, path);
  ExpectTitle(Titled(L"doc.kvn"));
  ASSERT_TRUE(p.SendCommand(IDM_SAVE)) << "the save did not finish";
  EXPECT_EQ(ReadBytes(path), canonical);
  ChooseFile(IDM_SAVE_AS, kSaveAsTitle, InFolder(L"関数 表"));
  ExpectTitle(Titled(L"関数 表.kvn"));
  EXPECT_EQ(ReadBytes(InFolder(L"関数 表.kvn")), canonical);
}

// A drop opens the first file only, and one that cannot be opened leaves
// the document alone; New empties it at once. Recalculating samples again,
// so a broken function reports again; a redraw only paints.
TEST_F(Documents, DropNewAndRecalculate) {
  const std::wstring first = PutDocument(L"表\\ソ表.kvn", {Explicit(u"sin(")});
  const Box compile_failed{T(kCompileFailed), kError};
  Program& p = StartShown(L"");
  ASSERT_TRUE(p.DropFiles({first, PutDocument(L"second.kvn")}));
  Answer(compile_failed);
  ExpectTitle(Titled(L"ソ表.kvn"));
  ASSERT_TRUE(p.SendCommand(IDM_REDRAW));
  ExpectNoMessageBox();
  ASSERT_TRUE(p.PostCommand(IDM_RECALCULATE));
  Answer(compile_failed);
  ASSERT_TRUE(p.DropFiles({InFolder(L"gone.kvn"), first}));
  Answer({T(kCannotOpenFile)});
  EXPECT_TEXT(p.Title(), Titled(L"ソ表.kvn"));
  ASSERT_TRUE(p.SendCommand(IDM_NEW));
  EXPECT_TEXT(p.Title(), kUntitled);
  ExpectNoMessageBox();
}

// Leaving a modified document asks first, and the answer decides. Discarded
// changes are gone: closing asks nothing.
TEST_F(Documents, SavePromptAnswerDecides) {
  const std::string original = EncodeDocument({}, {});
  const struct {
    int modify, leave, answer;
    bool saved;
    std::wstring title;  // "": the program ends
  } rows[] = {
      {IDM_FUNCTION_LIST, WM_CLOSE, IDCANCEL, false, Titled(L"doc.kvn")},
      {IDM_GRAPH_SETTINGS, WM_CLOSE, IDNO, false, L""},
      {IDM_GRAPH_SETTINGS, WM_CLOSE, IDYES, true, L""},
      {IDM_FUNCTION_LIST, IDM_NEW, IDNO, false, kUntitled},
      {IDM_FUNCTION_LIST, IDM_OPEN, IDCANCEL, false, Titled(L"doc.kvn")},
      {IDM_GRAPH_SETTINGS, WM_DROPFILES, IDCANCEL, false, Titled(L"doc.kvn")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.leave);
    const std::wstring path = Put(L"doc.kvn", Marked(original));
    Program& p = StartShown(path);
    Modify(row.modify);
    Leave(row.leave);
    AnswerPrompt(row.answer);
    if (row.title.empty()) {
      EXPECT_EQ(p.WaitExit(), 0u);
    } else {
      ExpectNoMessageBox();
      ExpectTitle(row.title);
    }
    EXPECT_EQ(ReadBytes(path), row.saved ? original : Marked(original));
    if (row.answer == IDNO && !row.title.empty()) {
      EXPECT_EQ(p.Close(), std::optional<DWORD>(0));
    }
  }
  StartShown(L"");  // Yes on an untitled document asks for a name
  Modify();
  Leave(WM_CLOSE);
  AnswerPrompt(IDYES);
  ASSERT_TRUE(ClickAndWaitClosed(program().WaitDialog(0x470), IDCANCEL));
  ExpectNoMessageBox();
  EXPECT_TRUE(program().running());
}

// A file that another program holds open, or a folder in the document's
// place, cannot be written: a save says so and replaces nothing, and after
// Yes at the prompt the document stays open, named and modified.
TEST_F(Documents, FailedSaveKeepsTheDocumentOpenAndModified) {
  const std::string original = Marked(EncodeDocument({}, {}));
  for (bool folder : {false, true}) {
    SCOPED_TRACE(folder ? "a folder" : "a file held open");
    const std::wstring path = Put(L"doc.kvn", original);
    Program& p = StartShown(path);
    const std::unique_ptr<void, decltype(&CloseHandle)> held(
        folder ? INVALID_HANDLE_VALUE
               : CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                             nullptr, OPEN_EXISTING, 0, nullptr),
        &CloseHandle);
    ASSERT_TRUE(folder ? DeleteFileW(path.c_str()) &&
                             CreateDirectoryW(path.c_str(), nullptr)
                       : held.get() != INVALID_HANDLE_VALUE);
    ASSERT_TRUE(p.PostCommand(IDM_SAVE));
    Answer({T(kCannotOpenFile)});
    Modify();
    for (int leave : {IDM_NEW, WM_CLOSE}) {
      Leave(leave);
      AnswerPrompt(IDYES);
      Answer({T(kCannotOpenFile)});
      ExpectNoMessageBox();
      EXPECT_TEXT(p.Title(), Titled(L"doc.kvn"));
    }
    Leave(WM_CLOSE);
    AnswerPrompt(IDNO);
    EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(folder ? RemoveDirectoryW(path.c_str())
                       : ReadBytes(path) == original);
  }
}

}  // namespace
}  // namespace e2e
