// Drives kurvana.exe from a second Win32 process, as a user meets it: starts
// it, finds its windows, reads titles, message boxes, pixels, the clipboard
// and the registry, and answers dialogs with clicks and keys.
//
// Waits follow events: a command or click that must not open a modal window
// is sent, and returns once its handler has finished (a handler showing a
// message box would not return), so "no message box" needs no waiting. Only
// what is expected to open a modal window is posted. Every wait is bounded.
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

// Polls `done` every 20 ms until it holds or `timeout_ms` passes.
bool WaitFor(const std::function<bool()>& done, DWORD timeout_ms = kTimeoutMs);

std::wstring DriverFolder();                   // with a trailing backslash
std::wstring ProgramPath();                    // kurvana.exe beside the driver
std::string Narrow(const std::wstring& text);  // UTF-8, for messages
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);

// --- Documents -------------------------------------------------------------

// The header's view settings; defaults of an empty document.
struct View {
  int32_t x_min = -10, x_max = 10, y_min = -10, y_max = 10;
  uint32_t zoom = 100;
  uint16_t axis_width = 3, graph_width = 2;
  uint32_t axis_colour = 0x000000;
  int32_t tick_mode = 2;  // 0 none, 1 marks, 2 grid
  uint32_t tick_colour = 0x808080;
};

struct Function {
  int32_t kind = 1;    // 1 explicit, 2 parametric, 3 polar, 4 implicit
  uint32_t flags = 1;  // bit 0 visible
  std::u16string expression, expression2;
  double domain_min = -10, domain_max = 10;
  uint32_t colour = 0x0000FF;  // 0x00BBGGRR
  int32_t density = 3;
};

// A visible explicit function y = `expression`.
Function Explicit(const std::u16string& expression, uint32_t colour = 0x0000FF,
                  bool visible = true, int32_t density = 3);

// The bytes of a document file, written independently of the program.
std::string EncodeDocument(const View& view,
                           const std::vector<Function>& functions);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);

// A fresh folder under the temporary folder, removed with its contents.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }  // trailing backslash
  // Writes `relative`, making its folders; the full path, empty on failure.
  std::wstring Put(const std::wstring& relative, const std::string& bytes);

 private:
  std::wstring path_;
};

// --- Message boxes and dialog controls -------------------------------------

enum class Icon { kNone, kInformation, kWarning, kError, kQuestion, kUnknown };
const char* IconName(Icon icon);

struct MessageBoxView {
  HWND window = nullptr;
  std::wstring caption, text;
  std::set<int> buttons;  // IDOK, IDYES ... that exist
  Icon icon = Icon::kNone;
};
// A #32770 whose children are only buttons and statics, one of them the
// text 0xFFFF (dialogs have edits and lists too).
bool IsMessageBox(HWND window);
MessageBoxView ReadMessageBox(HWND box);

// Sent to a control of a dialog; -1 when it does not answer.
LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wparam = 0,
                 LPARAM lparam = 0);
std::wstring ItemText(HWND dialog, int id);
bool SetItemText(HWND dialog, int id, const std::wstring& text);
// Types `text` as characters, so that the control's limit applies.
bool TypeText(HWND dialog, int id, const std::wstring& text);
bool IsChecked(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
std::pair<int, int> Selection(HWND dialog, int id);  // of an edit
HWND FocusedControl(HWND dialog);
// A button pressed and handled on return: nothing modal may open.
bool Press(HWND dialog, int id);
// A button click posted: for buttons that open a modal window.
bool Click(HWND dialog, int id);
bool ClickAndWaitClosed(HWND dialog, int id);
// Types into the file name box of a common file dialog.
bool SetFileName(HWND dialog, const std::wstring& name);
// A mouse click on a static with click notifications (a colour swatch).
bool ClickStatic(HWND dialog, int id);
std::vector<std::wstring> ListLines(HWND dialog, int id);
int ListSelection(HWND dialog, int id);  // -1: none
bool SelectLine(HWND dialog, int id, int line);
std::optional<std::wstring> ComboSelection(HWND dialog, int id);
bool SelectComboItem(HWND dialog, int id, const std::wstring& text);
// The colour in the middle of a control as it is on screen.
COLORREF ControlColour(HWND dialog, int id);
// Sets the colour chooser's red, green and blue fields and confirms.
bool AnswerColourDialog(HWND chooser, COLORREF colour);

// --- Pixels ------------------------------------------------------------------

// A window's client area copied from the screen (under Wine another
// process's window surface is not reachable, the composed screen is).
class Snapshot {
 public:
  static std::optional<Snapshot> OfClient(HWND window);
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF At(int x, int y) const;  // CLR_INVALID outside
  // The middle of the one band of adjacent columns (rows) holding at least
  // `length` pixels of `colour`; none when there is no band or several.
  std::optional<int> VerticalLine(COLORREF colour, int length) const;
  std::optional<int> HorizontalLine(COLORREF colour, int length) const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<COLORREF> pixels_;
};

// --- The program -------------------------------------------------------------

class Program {
 public:
  explicit Program(const std::wstring& tail,
                   const std::wstring& exe = ProgramPath());
  // Opens `document` through the shell's open verb, as a double click does.
  struct ShellOpen {};
  Program(ShellOpen, const std::wstring& document);
  // Dismisses modal windows, closes the main window answering No to a save
  // prompt, and terminates the process if it still runs after a bound.
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool started() const { return process_ != nullptr; }
  bool running() const;
  // The main window once it is visible and start-up has been handled.
  HWND WaitShown(DWORD timeout_ms = kStartTimeoutMs);
  HWND main_window() const { return main_; }
  HWND GraphArea() const;
  HWND Toolbar() const;
  std::wstring Title() const;
  // Waits until the title is `expected`; returns the last title seen.
  std::wstring WaitTitle(const std::wstring& expected) const;

  // A round trip through the program's message loop: a handler that was
  // running has returned, or it shows a modal window (which answers).
  bool Settle() const;
  // Message boxes of the program, shown or still being created.
  std::vector<MessageBoxView> MessageBoxes() const;
  std::optional<MessageBoxView> WaitMessageBox();
  std::vector<HWND> Dialogs() const;  // visible #32770 windows
  // A dialog with control `control` (and this caption, when not empty).
  HWND WaitDialog(int control, const std::wstring& caption = L"");

  bool PostCommand(int id);
  // Handled on return; false when it did not return (a modal window).
  bool SendCommand(int id);
  // Keys pressed together (modifiers first) in the foreground main window.
  bool PressKeys(std::initializer_list<WORD> keys);
  // WM_DROPFILES with a block written into the program's memory.
  bool DropFiles(const std::vector<std::wstring>& paths);
  // Sends WM_HSCROLL (SB_HORZ) or WM_VSCROLL (SB_VERT) `times` times.
  bool Scroll(int bar, int code, int times = 1);
  // The toolbar has an enabled button for command `id`.
  bool ToolbarOffers(int id) const;

  std::optional<DWORD> WaitExit(DWORD timeout_ms = kTimeoutMs);
  // Runs to the end; records whether a main window ever existed.
  std::optional<DWORD> WaitExitWatchingWindows(bool* window_seen);
  std::optional<DWORD> Close();  // WM_CLOSE, then WaitExit

 private:
  void End();

  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  HWND main_ = nullptr;
  std::optional<DWORD> exit_code_;
};

// --- Clipboard and registry --------------------------------------------------

void ClearClipboard();
struct MetafileView {
  RECTL bounds{};  // device units
  RECTL frame{};   // 0.01 mm
  SIZEL device_pixels{}, device_millimeters{};
  int line_to_count = 0;
  std::vector<COLORREF> pen_colours;  // of every pen created, in order
};
std::optional<MetafileView> WaitClipboardMetafile();

constexpr wchar_t kPlacementKey[] = L"Software\\Tarnwell Software\\kurvana";
std::optional<DWORD> ReadDword(HKEY root, const std::wstring& key,
                               const wchar_t* name);
// The default value of `key` when it is a REG_SZ.
std::optional<std::wstring> ReadDefaultString(HKEY root,
                                              const std::wstring& key);
bool KeyExists(HKEY root, const std::wstring& key);
bool WriteDword(HKEY root, const std::wstring& key, const wchar_t* name,
                DWORD value);
void DeleteKeyTree(HKEY root, const std::wstring& key);

}  // namespace e2e
