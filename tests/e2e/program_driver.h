// Drives kurvana.exe from a second Win32 process, as a user meets it: starts
// it, finds its windows, reads titles, message boxes, pixels, the clipboard
// and the registry, and answers dialogs with clicks and keys.
//
// Waits follow events. A command or click that must not open a modal window
// is sent and returns once handled (a handler showing a message box would
// not return), so "no message box" needs no waiting; only what should open
// a modal window is posted. Every wait is bounded.
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

constexpr DWORD kTimeoutMs = 5000, kStartTimeoutMs = 10000;

bool WaitFor(const std::function<bool()>& done, DWORD timeout_ms = kTimeoutMs);
// Sent with a bound; false when the window does not answer in time.
bool Sends(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0,
           DWORD_PTR* result = nullptr);
std::wstring DriverFolder();  // with a trailing backslash
inline std::wstring ProgramPath() { return DriverFolder() + L"kurvana.exe"; }
std::string Narrow(const std::wstring& text);  // UTF-8, for messages
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);

// --- Documents, written independently of the program ----------------------

struct View {  // the header's view settings; those of an empty document
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
inline Function Explicit(const std::u16string& expression,
                         uint32_t colour = 0x0000FF, bool visible = true,
                         int32_t density = 3) {
  return {1, visible ? 1u : 0u, expression, u"", -10, 10, colour, density};
}
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

enum class Icon { kNone, kInformation, kWarning, kError, kUnknown };
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

// Sent to control `id`; -1 when it does not answer.
LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wparam = 0,
                 LPARAM lparam = 0);
inline std::wstring ItemText(HWND dialog, int id) {
  return WindowText(GetDlgItem(dialog, id));
}
inline bool SetItemText(HWND dialog, int id, const std::wstring& text) {
  return SendItem(dialog, id, WM_SETTEXT, 0, LPARAM(text.c_str())) == TRUE;
}
inline bool IsChecked(HWND dialog, int id) {
  return SendItem(dialog, id, BM_GETCHECK) == BST_CHECKED;
}
inline bool IsEnabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}
inline std::pair<int, int> Selection(HWND dialog, int id) {  // of an edit
  const LRESULT both = SendItem(dialog, id, EM_GETSEL);
  return {LOWORD(both), HIWORD(both)};
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
inline int ListSelection(HWND dialog, int id) {
  return static_cast<int>(SendItem(dialog, id, LB_GETCURSEL));
}
inline bool SelectLine(HWND dialog, int id, int line) {
  return SendItem(dialog, id, LB_SETCURSEL, line) == line;
}
// Typed as characters, so that the control's limit applies.
bool TypeText(HWND dialog, int id, const std::wstring& text);
HWND FocusedControl(HWND dialog);
// A mouse click on a static with click notifications (a colour swatch).
bool ClickStatic(HWND dialog, int id);
std::vector<std::wstring> ListLines(HWND dialog, int id);
std::optional<std::wstring> ComboSelection(HWND dialog, int id);
bool SelectComboItem(HWND dialog, int id, const std::wstring& text);
// The colour in the middle of a control, as on screen.
COLORREF ControlColour(HWND dialog, int id);
// Sets the colour chooser's red, green and blue fields and confirms.
bool AnswerColourDialog(HWND chooser, COLORREF colour);
// Types into the file name box of a common file dialog.
bool SetFileName(HWND dialog, const std::wstring& name);

// A window's client area copied from the screen (under Wine another
// process's window surface is not reachable, the composed screen is).
struct Snapshot {
  static std::optional<Snapshot> OfClient(HWND window);
  COLORREF At(int x, int y) const {  // CLR_INVALID outside
    return x < 0 || y < 0 || x >= width || y >= height
               ? CLR_INVALID
               : pixels[static_cast<size_t>(y) * width + x];
  }
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
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
  bool running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
  }
  // The main window once it is visible and start-up has been handled.
  HWND WaitShown();
  HWND main_window() const { return main_; }
  HWND GraphArea() const { return GetDlgItem(main_, 100); }
  HWND Toolbar() const { return GetDlgItem(main_, 10010); }
  std::wstring Title() const { return WindowText(main_); }
  std::wstring WaitTitle(const std::wstring& expected) const;
  // A round trip through the program's message loop: a running handler has
  // returned, or it shows a modal window, which answers.
  bool Settle() const { return Sends(main_, WM_NULL); }
  // Message boxes of the program, shown or still being created.
  std::vector<MessageBoxView> MessageBoxes() const;
  std::optional<MessageBoxView> WaitMessageBox();
  std::vector<HWND> Dialogs() const;  // visible #32770 windows
  // A dialog with control `control` (and this caption, when not empty).
  HWND WaitDialog(int control, const std::wstring& caption = L"");

  bool PostCommand(int id) {
    return PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  }
  // Handled on return; false when it did not return (a modal window).
  bool SendCommand(int id) { return Sends(main_, WM_COMMAND, id); }
  // Keys pressed together (modifiers first) in the foreground main window.
  bool PressKeys(std::initializer_list<WORD> keys);
  // WM_DROPFILES with a block written into the program's memory.
  bool DropFiles(const std::vector<std::wstring>& paths);
  // WM_HSCROLL (SB_HORZ) or WM_VSCROLL (SB_VERT), `times` times.
  bool Scroll(int bar, int code, int times = 1);
  // The toolbar has an enabled button for command `id`.
  bool ToolbarOffers(int id) const;
  std::optional<DWORD> WaitExit(DWORD timeout_ms = kTimeoutMs);
  std::optional<DWORD> Close() {  // WM_CLOSE, then WaitExit
    if (!PostMessageW(main_, WM_CLOSE, 0, 0)) return std::nullopt;
    return WaitExit();
  }

 private:
  void End();

  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  HWND main_ = nullptr;
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
inline bool WriteDword(HKEY root, const std::wstring& key, const wchar_t* name,
                       DWORD value) {
  return RegSetKeyValueW(root, key.c_str(), name, REG_DWORD, &value,
                         sizeof(value)) == ERROR_SUCCESS;
}
// The default value of `key` when it is a REG_SZ.
std::optional<std::wstring> ReadDefaultString(HKEY root,
                                              const std::wstring& key);
bool KeyExists(HKEY root, const std::wstring& key);
inline void DeleteKeyTree(HKEY root, const std::wstring& key) {
  RegDeleteTreeW(root, key.c_str());
  RegDeleteKeyW(root, key.c_str());
}

}  // namespace e2e
