// Starting and ending the program: the title for the command-line tail, the
// messages of a document that cannot be loaded, a start-up that fails, the
// window placement, and the switches that register the document type.
#include "program_driver.h"

namespace e2e {
namespace {

using StartUp = ProgramTest;

// The whole tail is the path: blanks need no quotes, quotes are part of it,
// and only exactly -r and -u are switches. The title shows the last path
// component, and Shift-JIS characters ending in 0x5C do not separate. A
// document that cannot be loaded leaves the program untitled (ä has no
// Shift-JIS form, not even a best fit); broken functions report themselves
// in list order.
TEST_F(StartUp, TitleShowsTheDocumentOrWhyItCouldNotBeLoaded) {
  const Box cannot_open{T(kCannotOpenFile)};
  Function bad_domain = Explicit(u"x");
  bad_domain.domain_min = bad_domain.domain_max = 5;
  std::string not_a_document = EncodeDocument({}, {});
  not_a_document[1] = '?';
  const struct {
    std::wstring tail;
    std::vector<Box> boxes;
    std::wstring title;
  } rows[] = {
      {L"", {}, kUntitled},
      {PutDocument(L"a b\\two  words.kvn"), {}, Titled(L"two  words.kvn")},
      {PutDocument(L"表\\ソ表.kvn"), {}, Titled(L"ソ表.kvn")},
      {InFolder(L"missing.kvn"), {cannot_open}, kUntitled},
      {L"\"" + PutDocument(L"good.kvn") + L"\"", {cannot_open}, kUntitled},
      {L"-r x", {cannot_open}, kUntitled},
      {Put(L"bad.kvn", not_a_document), {{T(kNotADocument)}}, kUntitled},
      {PutDocument(L"u.kvn", {Explicit(u"ä")}),
       {{T(kUnicodeToAnsiFailed)}},
       kUntitled},
      {PutDocument(L"eleven.kvn", std::vector<Function>(11, Explicit(u"x"))),
       {{L"関数定義が10を超えました。一部を破棄します。"}},
       Titled(L"eleven.kvn")},
      {PutDocument(L"broken.kvn",
                   {Explicit(u"1+"), Explicit(u"x"), bad_domain}),
       {{T(kCompileFailed), kError}, {T(kInvalidDomain), kError}},
       Titled(L"broken.kvn")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Narrow(row.tail));
    StartShown(row.tail, row.boxes);
    ExpectNoMessageBox();
    EXPECT_TEXT(program().Title(), row.title);
  }
}

// The restored rectangle is stored on exit, maximised or not, with width
// and height one more than its extent, and comes back at the next start;
// an incomplete record is not applied.
TEST_F(StartUp, PlacementIsStoredAndComesBack) {
  HWND first = StartShown(L"").main_window();
  RECT default_rect{}, restored{}, incomplete{};
  GetWindowRect(first, &default_rect);
  ASSERT_TRUE(SetWindowPos(first, nullptr, 60, 50, 640, 480, SWP_NOZORDER));
  ShowWindow(first, SW_MAXIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsZoomed(first) != FALSE; }));
  ASSERT_EQ(program().Close(), std::optional<DWORD>(0));
  const DWORD stored[] = {60, 50, 641, 481};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ReadPlacement(i), stored[i]);
  HWND again = StartShown(L"").main_window();
  const RECT want{60, 50, 700, 530};
  EXPECT_TRUE(GetWindowRect(again, &restored) && EqualRect(&restored, &want));
  EXPECT_FALSE(IsZoomed(again));
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kPlacementKey, L"WinTop");
  GetWindowRect(StartShown(L"").main_window(), &incomplete);
  EXPECT_TRUE(EqualRect(&incomplete, &default_rect));
}

// A window that could not be made says why, then the program says it
// cannot go on; both stay until answered, and the placement of the last
// run is kept.
TEST_F(StartUp, FailedCreationSaysSoAndKeepsThePlacement) {
  const DWORD stored[] = {40, 30, 501, 401};
  for (int i = 0; i < 4; ++i)
    RegSetKeyValueW(HKEY_CURRENT_USER, kPlacementKey, kPlacementNames[i],
                    REG_DWORD, &stored[i], 4);
  SetEnvironmentVariableW(L"KURVANA_FAIL_GRAPH_AREA", L"1");
  Program& p = Start(L"", DriverFolder() + L"kurvana_faulty.exe");
  SetEnvironmentVariableW(L"KURVANA_FAIL_GRAPH_AREA", nullptr);
  Answer({T(kCannotCreateGraphArea), kError});
  HWND box = p.WaitMessageBox();
  ASSERT_NE(box, nullptr) << "the second message did not stay up";
  EXPECT_TEXT(ItemText(box, 0xFFFF), T(kCannotCreateWindow));
  // A quit message waiting in the queue would end the box's loop by the
  // second round trip through it.
  EXPECT_TRUE(Sends(box, WM_NULL) && Sends(box, WM_NULL) && IsWindow(box));
  EXPECT_TRUE(ClickAndWaitClosed(box, IDOK));
  EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ReadPlacement(i), stored[i]);
}

std::wstring DefaultValue(const std::wstring& key) {  // "" when none
  wchar_t text[1024] = {};
  DWORD size = sizeof(text);
  RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
               text, &size);
  return text;
}

// Installed in a folder with a blank, the program registers a quoted open
// command (Windows would otherwise start "C:\Program"), opens a document
// with a blank in its path through the shell, and removes the type again,
// quietly when it is not there. A switch shows nothing (a window or a
// message box would keep it running) and stores no placement.
TEST_F(StartUp, AssociationOpensDocumentsWithTheProgram) {
  const std::wstring installed = InFolder(L"Program Files\\Kurvana\\");
  std::filesystem::create_directories(installed);
  for (const wchar_t* file : {L"kurvana.exe", L"eval.dll"})
    ASSERT_TRUE(CopyFileW((DriverFolder() + file).c_str(),
                          (installed + file).c_str(), FALSE));
  const std::wstring exe = installed + L"kurvana.exe";
  const std::wstring command = L"KurvanaFile\\shell\\open\\command";
  for (const wchar_t* tail : {L"   -r", L"-u", L"-u", L"-r"}) {
    const bool registered = tail[1] != L'u';
    EXPECT_EQ(Start(tail, exe).WaitExit(), 0u) << Narrow(tail);
    EXPECT_EQ(DefaultValue(L".kvn").empty(), !registered);
    EXPECT_TEXT(DefaultValue(command),
                registered ? L"\"" + exe + L"\" %1" : L"");
    EXPECT_EQ(ReadPlacement(0), std::nullopt);
  }
  {
    Program opened(Program::ShellOpen{},
                   PutDocument(L"my plots\\two words.kvn"));
    ASSERT_NE(opened.WaitShown(), nullptr) << "the document did not open";
    WaitFor([&] { return opened.Title() == Titled(L"two words.kvn"); });
    EXPECT_TEXT(opened.Title(), Titled(L"two words.kvn"));
  }
  Start(L"-u", exe).WaitExit();
}

}  // namespace
}  // namespace e2e
