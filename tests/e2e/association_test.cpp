// The switches -r and -u: register and remove the document type in the
// registry, end with exit code 0 and never open a window.
#include "test_support.h"

namespace e2e {
namespace {

const wchar_t kExtensionKey[] = L".kvn";
const wchar_t kTypeKey[] = L"KurvanaFile";

class Association : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    RemoveAssociation();
  }
  void TearDown() override {
    ProgramTest::TearDown();
    RemoveAssociation();
  }
  static void RemoveAssociation() {
    DeleteKeyTree(HKEY_CLASSES_ROOT, kExtensionKey);
    DeleteKeyTree(HKEY_CLASSES_ROOT, kTypeKey);
  }

  // Runs the program with `tail` to its end: exit code 0, no window.
  void RunSwitch(const std::wstring& tail,
                 const std::wstring& exe = ProgramPath()) {
    Program& p = Start(tail, exe);
    bool window_seen = false;
    EXPECT_EQ(p.WaitExitWatchingWindows(kStartTimeoutMs, &window_seen),
              std::optional<DWORD>(0))
        << "did not end by itself (a message box waiting?)";
    EXPECT_FALSE(window_seen) << "a main window was created";
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kPlacementKey))
        << "a window placement was stored";
    Stop();
  }

  static void ExpectDefaultValue(const std::wstring& key,
                                 const std::wstring& expected) {
    SCOPED_TRACE(Narrow(key));
    DWORD type = 0;
    const auto value = ReadString(HKEY_CLASSES_ROOT, key, nullptr, &type);
    ASSERT_TRUE(value.has_value()) << "no default value";
    EXPECT_TEXT(*value, expected);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  }

  static void ExpectRegistered() {
    const std::wstring exe = ProgramPath();
    ExpectDefaultValue(L".kvn", L"KurvanaFile");
    ExpectDefaultValue(L"KurvanaFile", L"Kurvana 定義ファイル");
    ExpectDefaultValue(L"KurvanaFile\\DefaultIcon", exe + L",-112");
    ExpectDefaultValue(L"KurvanaFile\\shell\\open\\command",
                       L"\"" + exe + L"\" %1");
  }
};

TEST_F(Association, RegisterWritesTheDocumentType) {
  RunSwitch(L"-r");
  ExpectRegistered();
  // A second run overwrites the same keys with the same values.
  RunSwitch(L"-r");
  ExpectRegistered();
}

// Installed where programs go, in a folder with a blank: the stored
// command quotes the program (Windows would otherwise start "C:\Program"),
// and a document with a blank in its path opens through the shell.
TEST_F(Association, DocumentOpensWithTheProgramInAFolderWithABlank) {
  const std::wstring programs = folder_.path() + L"Program Files\\";
  const std::wstring installed = programs + L"Kurvana\\";
  ASSERT_TRUE(CreateDirectoryW(programs.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(installed.c_str(), nullptr));
  for (const wchar_t* file : {L"kurvana.exe", L"eval.dll"}) {
    ASSERT_TRUE(CopyFileW((DriverFolder() + file).c_str(),
                          (installed + file).c_str(), FALSE));
  }
  RunSwitch(L"-r", installed + L"kurvana.exe");
  ExpectDefaultValue(L"KurvanaFile\\shell\\open\\command",
                     L"\"" + installed + L"kurvana.exe\" %1");
  Program& p = OpenThroughShell(PutDocument(L"my plots\\two words.kvn"));
  ASSERT_NE(p.WaitShown(), nullptr) << "the document did not open";
  EXPECT_TEXT(p.WaitTitle(L"Kurvana - [two words.kvn]"),
              L"Kurvana - [two words.kvn]");
  EXPECT_EQ(p.Close(), std::optional<DWORD>(0));
}

// The tail starts at the first character after the blanks.
TEST_F(Association, BlanksBeforeTheSwitchDoNotMatter) {
  RunSwitch(L"   -r");
  ExpectRegistered();
}

TEST_F(Association, UnregisterRemovesEveryKey) {
  RunSwitch(L"-r");
  ExpectRegistered();
  RunSwitch(L"-u");
  for (const wchar_t* key :
       {L".kvn", L"KurvanaFile\\DefaultIcon",
        L"KurvanaFile\\shell\\open\\command", L"KurvanaFile\\shell\\open",
        L"KurvanaFile\\shell", L"KurvanaFile"})
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << Narrow(key);
}

// Nothing registered: -u ends silently (a message box would keep it
// running past the bound).
TEST_F(Association, UnregisterWithNothingRegisteredEndsQuietly) {
  RunSwitch(L"-u");
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kTypeKey));
}

}  // namespace
}  // namespace e2e
