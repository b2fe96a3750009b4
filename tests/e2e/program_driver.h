// Drives kurvana.exe from a second Win32 process as a user meets it. What
// must not open a modal window is sent, and has been handled on return;
// what should open one is posted. Every wait is bounded.
#pragma once

#include <windows.h>
// windows.h first: shellapi.h and shlobj.h need it.
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "resource.h"
#include "texts.h"

namespace e2e {

using namespace kurvana::text;
constexpr DWORD kTimeoutMs = 5000;

inline bool WaitFor(const std::function<bool()>& done,
                    DWORD timeout_ms = kTimeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  while (!done()) {
    if (GetTickCount64() >= end) return done();
    Sleep(20);
  }
  return true;
}

// Sent with a bound; false when the window does not answer in time.
inline bool Sends(HWND window, UINT message, WPARAM wparam = 0,
                  LPARAM lparam = 0, DWORD_PTR* result = nullptr) {
  DWORD_PTR ignored = 0;
  return window &&
         SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG,
                             kTimeoutMs, result ? result : &ignored);
}

inline std::wstring DriverFolder() {  // with a trailing backslash
  wchar_t path[MAX_PATH];
  const std::wstring file(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return file.substr(0, file.find_last_of(L"\\/") + 1);
}

inline std::string Narrow(const std::wstring& text) {  // UTF-8, for messages
  const std::u8string utf8 = std::filesystem::path(text).u8string();
  return std::string(utf8.begin(), utf8.end());
}
// Compared as UTF-8, which GoogleTest shows as text.
#define EXPECT_TEXT(actual, expected) \
  EXPECT_EQ(Narrow(actual), Narrow(expected))

// A text of the program's catalogue (UTF-16, as wchar_t is here).
inline std::wstring T(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline std::wstring Titled(const std::wstring& name) {
  return L"Kurvana - [" + name + L"]";
}
inline const std::wstring kUntitled = Titled(L"無題");

// --- Documents, laid out independently of the program ----------------------

struct View {  // as the file's header holds it; an empty document's
  int32_t x_min = -10, x_max = 10, y_min = -10, y_max = 10;
  uint32_t zoom = 100;
  uint16_t axis_width = 3, graph_width = 2;
  uint32_t axis_colour = 0x000000;
  int32_t tick_mode = 2;  // 0 none, 1 marks, 2 grid
  uint32_t tick_colour = 0x808080;
};
struct Function {      // a function's record in the file
  int32_t kind = 1;    // 1 explicit, 2 parametric, 3 polar, 4 implicit
  uint32_t flags = 1;  // bit 0 visible
  char16_t expression[256] = {}, expression2[256] = {};
  double domain_min = -10, domain_max = 10;
  uint32_t colour = 0x0000FF;  // 0x00BBGGRR
  int32_t density = 3;
  char reserved[64] = {};
};
static_assert(sizeof(View) == 36 && sizeof(Function) == 1120);

inline Function Explicit(const std::u16string& expression,
                         uint32_t colour = 0x0000FF, bool visible = true) {
  Function f{.flags = visible, .colour = colour};
  expression.copy(f.expression, 255);
  return f;
}

// A 112-byte header, its last 64 bytes reserved, and the records.
inline std::string EncodeDocument(const View& view,
                                  const std::vector<Function>& functions) {
  const uint32_t version = 0x00010001, count = functions.size();
  std::string bytes = "KVDF";
  bytes.append(reinterpret_cast<const char*>(&version), 4)
      .append(reinterpret_cast<const char*>(&view), sizeof(view))
      .append(reinterpret_cast<const char*>(&count), 4)
      .resize(112);
  for (const Function& f : functions)
    bytes.append(reinterpret_cast<const char*>(&f), sizeof(f));
  return bytes;
}

inline std::string ReadBytes(const std::wstring& path) {  // "" if none
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// WM_GETTEXT asks the window, so edits of another process give their text.
inline std::wstring WindowText(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR length = 0;
  if (!Sends(window, WM_GETTEXT, 1024, LPARAM(text), &length)) return {};
  return std::wstring(text, std::min<DWORD_PTR>(length, 1023));
}

inline bool IsClass(HWND window, const wchar_t* name) {
  wchar_t found[256] = {};
  GetClassNameW(window, found, 256);
  return _wcsicmp(found, name) == 0;
}

// The children of `parent`; the top-level windows for nullptr.
inline std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> found;
  const WNDENUMPROC add = [](HWND window, LPARAM param) WINAPI -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
  };
  parent ? EnumChildWindows(parent, add, LPARAM(&found))
         : EnumWindows(add, LPARAM(&found));
  return found;
}

// A pixel of a window's client area as on screen (under Wine another
// process's window surface is not reachable, the composed screen is).
inline COLORREF ScreenPixel(HWND window, int x, int y) {
  POINT at{x, y};
  if (!ClientToScreen(window, &at)) return CLR_INVALID;
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

// A dialog whose children are only buttons and statics, one of them the
// text 0xFFFF (dialogs have edits and lists too).
inline bool IsMessageBox(HWND dialog) {
  bool has_text = false;
  for (HWND child : ChildWindows(dialog)) {
    if (!IsClass(child, L"Button") && !IsClass(child, L"Static")) return false;
    has_text = has_text || GetDlgCtrlID(child) == 0xFFFF;
  }
  return has_text;
}

enum Icon { kInformation, kWarning, kError, kUnpainted };

// Which system icon a message box shows, told by the colours of every
// other pixel: a yellow warning, a red error, a blue information. (Under
// Wine an icon handle of another process cannot be inspected.)
inline Icon ShownIcon(HWND box) {
  HWND icon = nullptr;
  for (HWND child : ChildWindows(box))
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        IsClass(child, L"Static") && IsWindowVisible(child))
      icon = child;
  int yellow = 0, red = 0, blue = 0;
  for (int at = 0; icon && at < 16 * 16; ++at) {
    const COLORREF c = ScreenPixel(icon, at % 16 * 2, at / 16 * 2);
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    yellow += r > 180 && g > 150 && b < 100;
    red += r > 150 && g < 80 && b < 80;
    blue += b > 150 && r < 100;
  }
  const int most = std::max({yellow, red, blue});
  return most < 10      ? kUnpainted
         : most == red  ? kError
         : most == blue ? kInformation
                        : kWarning;
}

// Sent to control `id`; -1 when it does not answer.
inline LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wparam = 0,
                        LPARAM lparam = 0) {
  DWORD_PTR result = 0;
  if (!Sends(GetDlgItem(dialog, id), message, wparam, lparam, &result))
    return -1;
  return static_cast<LRESULT>(result);
}
inline std::wstring ItemText(HWND dialog, int id) {
  return WindowText(GetDlgItem(dialog, id));
}
inline bool SetItemText(HWND dialog, int id, const std::wstring& text) {
  return SendItem(dialog, id, WM_SETTEXT, 0, LPARAM(text.c_str())) == TRUE;
}
// A button pressed and handled on return: nothing modal may open.
inline bool Press(HWND dialog, int id) {
  return SendItem(dialog, id, BM_CLICK) >= 0;
}
// A click posted, for buttons that open a modal window.
inline bool Click(HWND dialog, int id) {
  return PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
inline bool ClickAndWaitClosed(HWND dialog, int id) {
  return Click(dialog, id) && WaitFor([dialog] { return !IsWindow(dialog); });
}
// Selects the first line of a drop-down list that begins with `text`, or
// none when it is empty.
inline bool SelectComboItem(HWND dialog, int id, const std::wstring& text) {
  return text.empty() ? SendItem(dialog, id, CB_SETCURSEL, -1) == CB_ERR
                      : SendItem(dialog, id, CB_SELECTSTRING, -1,
                                 LPARAM(text.c_str())) >= 0;
}

// --- The program -----------------------------------------------------------

class Program {
 public:
  // Runs `exe` (kurvana.exe beside the driver) with the tail `tail`.
  explicit Program(const std::wstring& tail, std::wstring exe = L"") {
    // Unmanaged windows spare a Wine process without a window manager two
    // seconds of waiting at its end. Each Wine process reads this at start.
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver",
                    L"Managed", REG_SZ, L"N", sizeof(L"N"));
    if (exe.empty()) exe = DriverFolder() + L"kurvana.exe";
    std::wstring command = L"\"" + exe + L"\" " + tail;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                       nullptr, DriverFolder().c_str(), &startup, &info)) {
      CloseHandle(info.hThread);
      process_ = info.hProcess;
    }
  }
  // Opens `document` through the shell's open verb, as a double click does.
  struct ShellOpen {};
  Program(ShellOpen, const std::wstring& document) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = L"open";
    info.lpFile = document.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info)) process_ = info.hProcess;
  }
  // Ends a program still running by its handle, leaving nothing waiting.
  ~Program() {
    if (running() && TerminateProcess(process_, 1))
      WaitForSingleObject(process_, kTimeoutMs);
    if (process_) CloseHandle(process_);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
  }
  // The main window once it is visible and start-up has been handled.
  HWND WaitShown() {
    WaitFor(
        [this] {
          return (main_ = Find(L"kurvanamain", IsWindow)) || !running();
        },
        2 * kTimeoutMs);
    if (main_) WaitForInputIdle(process_, kTimeoutMs);
    return main_ && Settle() ? main_ : nullptr;
  }
  HWND main_window() const { return main_; }
  std::wstring Title() const { return WindowText(main_); }
  // A round trip through the program's message loop: a running handler has
  // returned, or it shows a modal window, which answers.
  bool Settle() const { return Sends(main_, WM_NULL); }
  // Message boxes of the program, shown or still being created.
  std::vector<HWND> MessageBoxes() const {
    return Windows(L"#32770", false, IsMessageBox);
  }
  HWND WaitMessageBox() { return WaitDialogWhere(IsMessageBox); }
  // A dialog with control `control`.
  HWND WaitDialog(int control) {
    return WaitDialogWhere([control](HWND dialog) {
      return GetDlgItem(dialog, control) && !IsMessageBox(dialog);
    });
  }

  bool PostCommand(int id) {
    return PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  }
  // Handled on return; false when it did not return (a modal window).
  bool SendCommand(int id) { return Sends(main_, WM_COMMAND, id); }
  // WM_DROPFILES with the names after a DROPFILES header, in a page-aligned
  // block of the program's, which passes as a fixed global memory handle.
  bool DropFiles(const std::vector<std::wstring>& paths) {
    DROPFILES header{sizeof(DROPFILES), {}, FALSE, TRUE};
    std::string block(reinterpret_cast<const char*>(&header), sizeof(header));
    for (const std::wstring& path : paths)
      block.append(reinterpret_cast<const char*>(path.c_str()),
                   (path.size() + 1) * 2);
    block.append(2, '\0');
    void* remote = VirtualAllocEx(process_, nullptr, block.size(),
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    return remote &&
           WriteProcessMemory(process_, remote, block.data(), block.size(),
                              nullptr) &&
           PostMessageW(main_, WM_DROPFILES, WPARAM(remote), 0);
  }
  std::optional<DWORD> WaitExit(DWORD timeout_ms = kTimeoutMs) {
    DWORD code = 0;
    if (!process_ ||
        WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process_, &code))
      return std::nullopt;
    return code;
  }
  std::optional<DWORD> Close() {  // WM_CLOSE, then WaitExit
    if (!PostMessageW(main_, WM_CLOSE, 0, 0)) return std::nullopt;
    return WaitExit();
  }

 private:
  // The program's top-level windows of class `name` that `also` accepts.
  std::vector<HWND> Windows(const wchar_t* name, bool visible_only,
                            const std::function<bool(HWND)>& also) const {
    std::vector<HWND> found = ChildWindows(nullptr);
    std::erase_if(found, [&](HWND w) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      return owner != GetProcessId(process_) || !IsClass(w, name) ||
             (visible_only && !IsWindowVisible(w)) || !also(w);
    });
    return found;
  }
  // A shown dialog that `match` accepts, once it answers (WM_INITDIALOG is
  // done).
  HWND WaitDialogWhere(const std::function<bool(HWND)>& match) {
    HWND found = nullptr;
    WaitFor([&] { return (found = Find(L"#32770", match)) != nullptr; });
    return Sends(found, WM_NULL) ? found : nullptr;
  }
  HWND Find(const wchar_t* name, const std::function<bool(HWND)>& also) const {
    const std::vector<HWND> found = Windows(name, true, also);
    return found.empty() ? nullptr : found.front();
  }

  HANDLE process_ = nullptr;
  HWND main_ = nullptr;
};

constexpr wchar_t kPlacementKey[] = L"Software\\Tarnwell Software\\kurvana";
constexpr const wchar_t* kPlacementNames[] = {L"WinLeft", L"WinTop",
                                              L"WinWidth", L"WinHeight"};

inline std::optional<DWORD> ReadPlacement(int i) {  // of kPlacementNames
  DWORD value = 0, size = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, kPlacementKey, kPlacementNames[i],
                   RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

// --- The fixture -------------------------------------------------------------

// A message box as the user reads it, and the button that answers it.
struct Box {
  std::wstring text;
  Icon icon = kWarning;
  int answer = IDOK;
  std::set<int> buttons = {IDOK};
};

// A fresh folder for documents, no stored window placement, and one
// program instance that is always ended.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TearDown();
    ASSERT_TRUE(std::filesystem::create_directories(folder_));
  }
  void TearDown() override {
    program_.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, kPlacementKey);
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
  }

  Program& Start(const std::wstring& tail, const std::wstring& exe = L"") {
    program_.reset();
    program_ = std::make_unique<Program>(tail, exe);
    return *program_;
  }
  // Starts, answers the start-up's message boxes, and waits for the window.
  Program& StartShown(const std::wstring& tail,
                      const std::vector<Box>& boxes = {}) {
    Program& p = Start(tail);
    for (const Box& box : boxes) Answer(box);
    EXPECT_NE(p.WaitShown(), nullptr) << "no main window appeared";
    return p;
  }
  Program& program() { return *program_; }

  std::wstring InFolder(const std::wstring& name) const {
    return (folder_ / name).wstring();
  }
  // Writes `name` in the test's folder, making its folders.
  std::wstring Put(const std::wstring& name, const std::string& bytes) {
    std::filesystem::create_directories((folder_ / name).parent_path());
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
    return InFolder(name);
  }
  std::wstring PutDocument(const std::wstring& name,
                           const std::vector<Function>& functions = {},
                           const View& view = {}) {
    return Put(name, EncodeDocument(view, functions));
  }

  // Opens a dialog of the program, told by a control only it has, by a
  // command or by a button of another dialog.
  HWND OpenDialog(int command, int control, HWND from = nullptr) {
    EXPECT_TRUE(from ? Click(from, command) : program_->PostCommand(command));
    HWND dialog = program_->WaitDialog(control);
    EXPECT_NE(dialog, nullptr) << "no dialog after command " << command;
    return dialog;
  }

  // Expects the message box, read once it has painted its icon, and
  // answers it.
  void Answer(const Box& expected) {
    HWND box = program_->WaitMessageBox();
    ASSERT_NE(box, nullptr) << "no message " << Narrow(expected.text);
    EXPECT_TEXT(WindowText(box), T(kApplicationName));
    EXPECT_TEXT(ItemText(box, 0xFFFF), expected.text);
    Icon icon = kUnpainted;
    WaitFor([&] { return (icon = ShownIcon(box)) != kUnpainted; }, 1000);
    EXPECT_EQ(icon, expected.icon);
    std::set<int> buttons;
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO})
      if (IsWindowVisible(GetDlgItem(box, id))) buttons.insert(id);
    EXPECT_EQ(buttons, expected.buttons);
    EXPECT_TRUE(ClickAndWaitClosed(box, expected.answer));
  }
  // What was running has finished without a message box. No waiting: a
  // handler that shows one does not return until it is answered.
  void ExpectNoMessageBox() {
    EXPECT_TRUE(program_->Settle()) << "the program does not answer";
    for (HWND box : program_->MessageBoxes())
      ADD_FAILURE() << "unexpected message " << Narrow(ItemText(box, 0xFFFF));
  }
  void ExpectTitle(const std::wstring& title) {
    WaitFor([&] { return program_->Title() == title; });
    EXPECT_TEXT(program_->Title(), title);
  }

 private:
  const std::filesystem::path folder_ =
      std::filesystem::temp_directory_path() /
      ("kvn-e2e-" + std::to_string(GetCurrentProcessId()));
  std::unique_ptr<Program> program_;
};

}  // namespace e2e
