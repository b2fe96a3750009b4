// Starting the program: the title it shows for the command-line tail, the
// messages of a document that cannot be loaded, a start-up that fails, and
// the switches that register and remove the document type.
#include <filesystem>

#include "fixture.h"

namespace e2e {
namespace {

using namespace kurvana::text;
using StartUp = ProgramTest;

// The whole tail is the path: blanks need no quotes, quotes are part of it,
// and only exactly -r and -u are switches. The title shows the last path
// component, and Shift-JIS characters ending in 0x5C do not separate.
TEST_F(StartUp, TitleShowsTheDocumentOrWhyItCouldNotBeLoaded) {
  Function bad_domain = Explicit(u"x");
  bad_domain.domain_min = bad_domain.domain_max = 5;
  const std::wstring good = PutDocument(L"good.kvn");
  const Box cannot_open{T(kCannotOpenFile)};
  const struct {
    const char* what;
    std::wstring tail;
    std::vector<Box> boxes;
    std::wstring title;
  } rows[] = {
      {"no document", L"", {}, kUntitled},
      {"blanks",
       PutDocument(L"my graphs\\two  words.kvn", {Explicit(u"sin(x)")}),
       {},
       Titled(L"two  words.kvn")},
      {"trail bytes", PutDocument(L"表\\ソ表.kvn"), {}, Titled(L"ソ表.kvn")},
      {"missing", folder_.path() + L"missing.kvn", {cannot_open}, kUntitled},
      {"quoted", L"\"" + good + L"\"", {cannot_open}, kUntitled},
      {"not a switch", L"-r x", {cannot_open}, kUntitled},
      {"eleven functions",
       PutDocument(L"eleven.kvn", std::vector<Function>(11, Explicit(u"x"))),
       {{L"関数定義が10を超えました。一部を破棄します。"}},
       Titled(L"eleven.kvn")},
      // Each broken function reports itself, in list order.
      {"broken functions",
       PutDocument(L"broken.kvn",
                   {Explicit(u"1+"), Explicit(u"x"), bad_domain}),
       {{T(kCompileFailed), Icon::kError}, {T(kInvalidDomain), Icon::kError}},
       Titled(L"broken.kvn")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Program& p = StartShown(row.tail, row.boxes);
    ExpectNoMessageBox();
    EXPECT_TEXT(p.Title(), row.title);
    EXPECT_TEXT(ClassName(p.GraphArea()), L"GAREACLASS");
    EXPECT_TRUE(IsWindowVisible(p.Toolbar()));
    Stop();
  }
}

// Sets an environment variable that the programs started inherit.
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
// cannot go on; both stay until answered, and the placement of the last
// run is kept.
TEST_F(StartUp, FailedCreationSaysSoAndKeepsThePlacement) {
  const wchar_t* names[] = {L"WinLeft", L"WinTop", L"WinWidth", L"WinHeight"};
  const DWORD stored[] = {40, 30, 501, 401};
  for (int i = 0; i < 4; ++i)
    ASSERT_TRUE(
        WriteDword(HKEY_CURRENT_USER, kPlacementKey, names[i], stored[i]));
  ScopedVariable fault(L"KURVANA_FAIL_GRAPH_AREA", L"1");
  Program& p = Start(L"", DriverFolder() + L"kurvana_faulty.exe");
  Answer({T(kCannotCreateGraphArea), Icon::kError});
  const auto box = p.WaitMessageBox();
  ASSERT_TRUE(box.has_value()) << "the second message did not stay up";
  EXPECT_TEXT(box->text, T(kCannotCreateWindow));
  // A quit message waiting in the queue would end the box's loop by the
  // second round trip through it.
  for (int trip = 0; trip < 2; ++trip) {
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(box->window, WM_NULL, 0, 0,
                                    SMTO_ABORTIFHUNG, kTimeoutMs, &result));
  }
  EXPECT_TRUE(IsWindowVisible(box->window)) << "closed without an answer";
  EXPECT_TRUE(ClickAndWaitClosed(box->window, IDOK));
  EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kPlacementKey, names[i]),
              std::optional<DWORD>(stored[i]))
        << Narrow(names[i]);
}

class Association : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Remove();
  }
  void TearDown() override {
    ProgramTest::TearDown();
    Remove();
  }
  static void Remove() {
    DeleteKeyTree(HKEY_CLASSES_ROOT, L".kvn");
    DeleteKeyTree(HKEY_CLASSES_ROOT, L"KurvanaFile");
  }
  // Runs a switch to its end: exit code 0 (a window or a message box would
  // keep it running), and no placement stored.
  void RunSwitch(const std::wstring& tail,
                 const std::wstring& exe = ProgramPath()) {
    EXPECT_EQ(Start(tail, exe).WaitExit(kStartTimeoutMs),
              std::optional<DWORD>(0));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kPlacementKey));
    Stop();
  }
  static void ExpectRegistered(const std::wstring& exe) {
    const std::pair<const wchar_t*, std::wstring> values[] = {
        {L".kvn", L"KurvanaFile"},
        {L"KurvanaFile", T(kDocumentTypeName)},
        {L"KurvanaFile\\DefaultIcon", exe + L",-112"},
        // Quoted: Windows would otherwise start "C:\Program".
        {L"KurvanaFile\\shell\\open\\command", L"\"" + exe + L"\" %1"}};
    for (const auto& [key, value] : values)
      EXPECT_TEXT(ReadDefaultString(HKEY_CLASSES_ROOT, key).value_or(L"-"),
                  value);
  }
};

// The tail starts after the blanks; removing what is not there is quiet.
TEST_F(Association, SwitchesRegisterAndRemoveTheDocumentType) {
  RunSwitch(L"   -r");
  ExpectRegistered(ProgramPath());
  for (int run = 0; run < 2; ++run) {
    RunSwitch(L"-u");
    for (const wchar_t* key :
         {L".kvn", L"KurvanaFile\\DefaultIcon",
          L"KurvanaFile\\shell\\open\\command", L"KurvanaFile"})
      EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << Narrow(key);
  }
}

// Installed in a folder with a blank, the program opens a document with a
// blank in its path through the shell.
TEST_F(Association, DocumentOpensWithTheProgramInAFolderWithABlank) {
  const std::wstring installed = folder_.path() + L"Program Files\\Kurvana\\";
  ASSERT_TRUE(std::filesystem::create_directories(installed));
  for (const wchar_t* file : {L"kurvana.exe", L"eval.dll"})
    ASSERT_TRUE(CopyFileW((DriverFolder() + file).c_str(),
                          (installed + file).c_str(), FALSE));
  RunSwitch(L"-r", installed + L"kurvana.exe");
  ExpectRegistered(installed + L"kurvana.exe");
  Program& p = OpenThroughShell(PutDocument(L"my plots\\two words.kvn"));
  ASSERT_NE(p.WaitShown(), nullptr) << "the document did not open";
  EXPECT_TEXT(p.WaitTitle(Titled(L"two words.kvn")), Titled(L"two words.kvn"));
  EXPECT_EQ(p.Close(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace e2e
