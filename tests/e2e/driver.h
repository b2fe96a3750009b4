// Drives kurvana.exe from a second Win32 process, as a user meets it: starts
// it, finds its windows, reads titles, message boxes, toolbar, scroll bars,
// clipboard, pixels and registry, and answers dialogs with clicks and keys.
// Every wait is bounded and polls every 50 ms.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace e2e {

constexpr DWORD kStartTimeoutMs = 10000;
constexpr DWORD kTimeoutMs = 5000;
// How long a check that something does NOT appear keeps looking.
constexpr DWORD kQuietMs = 700;

// Polls `done` every 50 ms until it returns true or `timeout_ms` passes;
// returns its last answer.
bool WaitFor(const std::function<bool()>& done, DWORD timeout_ms = kTimeoutMs);

// The folder of the running driver, with a trailing backslash; the program
// under test sits beside it.
std::wstring DriverFolder();
std::wstring ProgramPath();

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
DWORD WindowProcess(HWND window);
// Visible top-level windows of a process, of `class_name` when not empty.
std::vector<HWND> TopLevelWindows(DWORD pid, const std::wstring& class_name);
std::vector<HWND> ChildWindows(HWND parent);

// Message boxes: a #32770 window whose text is the static 0xFFFF and whose
// other children are only buttons and statics (dialogs have edits, lists).
enum class Icon { kNone, kInformation, kWarning, kError, kQuestion, kUnknown };
const char* IconName(Icon icon);

struct MessageBoxView {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
  std::set<int> buttons;  // IDOK, IDCANCEL, IDYES, IDNO ... that exist
  Icon icon = Icon::kNone;
};
bool IsMessageBox(HWND window);
MessageBoxView ReadMessageBox(HWND box);

// Clicks the child button `id` of a dialog (posted BM_CLICK) and waits until
// the dialog is gone.
bool ClickAndWaitClosed(HWND dialog, int id, DWORD timeout_ms = kTimeoutMs);
// Types `name` into the file name box of a common file dialog.
bool SetFileName(HWND dialog, const std::wstring& name);

struct ToolbarButton {
  int command = 0;
  bool separator = false;
  bool enabled = false;
  std::wstring text;
};

// Pixels of a window's client area, copied from the screen.
class Snapshot {
 public:
  static std::optional<Snapshot> OfClient(HWND window);
  int width() const { return width_; }
  int height() const { return height_; }
  // 0x00BBGGRR, like COLORREF; CLR_INVALID outside the picture.
  COLORREF At(int x, int y) const;
  // The middle column (row) of the one band of adjacent columns (rows) that
  // each hold at least `length` pixels of `colour`; none when there is no
  // such band or more than one. Finds the axes, whose pen is wider than one.
  std::optional<int> VerticalLine(COLORREF colour, int length) const;
  std::optional<int> HorizontalLine(COLORREF colour, int length) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;  // top-down rows of 0x00RRGGBB
};

// One running instance of the program. The destructor closes it and, when
// it does not end within the bound, terminates it by its process handle.
class Program {
 public:
  // Starts `exe` with `tail` as its command-line tail.
  explicit Program(const std::wstring& tail,
                   const std::wstring& exe = ProgramPath());
  // Opens `document` through the shell's open verb, as a double click does.
  struct ShellOpen {};
  Program(ShellOpen, const std::wstring& document);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD pid() const { return pid_; }

  // The main window of this process (class kurvanamain), shown or not yet.
  HWND WaitMainWindow(DWORD timeout_ms = kStartTimeoutMs);
  // The main window once it is visible and the program waits for input.
  HWND WaitShown(DWORD timeout_ms = kStartTimeoutMs);
  HWND main_window() const { return main_; }
  HWND GraphArea() const;
  HWND Toolbar() const;
  std::wstring Title() const;
  // Waits until the title is `expected` and returns the last title seen.
  std::wstring WaitTitle(const std::wstring& expected,
                         DWORD timeout_ms = kTimeoutMs) const;

  std::vector<MessageBoxView> MessageBoxes() const;
  std::optional<MessageBoxView> WaitMessageBox(DWORD timeout_ms = kTimeoutMs);
  // A visible #32770 of the program with this caption (not a message box).
  HWND WaitDialog(const std::wstring& caption, DWORD timeout_ms = kTimeoutMs);
  // Any visible top-level #32770 of the program.
  std::vector<HWND> Dialogs() const;

  // Commands as WM_COMMAND: posted (for those that open modal windows) or
  // sent and finished on return.
  bool PostCommand(int id);
  bool SendCommand(int id);
  // Presses the keys together (virtual-key codes, modifiers first) in the
  // foreground main window.
  bool PressKeys(std::initializer_list<WORD> keys);
  // Drops files on the main window (WM_DROPFILES with a block allocated in
  // the program's own memory).
  bool DropFiles(const std::vector<std::wstring>& paths);

  std::vector<ToolbarButton> ToolbarButtons() const;

  // Sends WM_HSCROLL (SB_HORZ) or WM_VSCROLL (SB_VERT) to the graph area,
  // `times` times. Under Wine the scroll position of another process's
  // window cannot be read (GetScrollPos, GetScrollInfo and GetScrollBarInfo
  // fail); the tests read it from the picture instead.
  bool Scroll(int bar, int code, int times = 1);

  // Waits for the end of the process; its exit code, or none on timeout.
  std::optional<DWORD> WaitExit(DWORD timeout_ms = kTimeoutMs);
  // As WaitExit, but records whether a main window showed up meanwhile.
  std::optional<DWORD> WaitExitWatchingWindows(DWORD timeout_ms,
                                               bool* window_seen);
  // WM_CLOSE to the main window, then WaitExit.
  std::optional<DWORD> Close(DWORD timeout_ms = kTimeoutMs);
  bool running() const;

 private:
  // Ends the program on the way out: dismisses modal windows, closes the
  // main window answering No to a save prompt, and terminates the process
  // if it is still there after a few seconds.
  void End();
  void Terminate();

  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  HWND main_ = nullptr;
  std::optional<DWORD> exit_code_;
};

// Clipboard.
void ClearClipboard();
struct MetafileView {
  RECTL bounds{};  // device units
  RECTL frame{};   // 0.01 mm
  SIZEL device_pixels{};
  SIZEL device_millimeters{};
  int line_to_count = 0;
  std::vector<COLORREF> pen_colours;  // of every pen created, in order
};
// The CF_ENHMETAFILE on the clipboard, waiting for it within the bound.
std::optional<MetafileView> WaitClipboardMetafile(
    DWORD timeout_ms = kTimeoutMs);

// Registry.
constexpr wchar_t kPlacementKey[] = L"Software\\Tarnwell Software\\kurvana";
std::optional<DWORD> ReadDword(HKEY root, const std::wstring& key,
                               const wchar_t* name);
// The value `name` (nullptr: the default value) as text, with its type.
std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key,
                                       const wchar_t* name,
                                       DWORD* type = nullptr);
bool KeyExists(HKEY root, const std::wstring& key);
bool WriteDword(HKEY root, const std::wstring& key, const wchar_t* name,
                DWORD value);
void DeleteKeyTree(HKEY root, const std::wstring& key);

// Resources of a program file, read as data.
struct MenuEntry {
  std::wstring text;
  UINT id = 0;
  bool separator = false;
  std::vector<MenuEntry> items;
};
std::optional<std::vector<MenuEntry>> ReadMenuResource(
    const std::wstring& module, int id);
std::optional<std::vector<ACCEL>> ReadAcceleratorResource(
    const std::wstring& module, int id);
bool HasResource(const std::wstring& module, LPCWSTR type, int id);

}  // namespace e2e
