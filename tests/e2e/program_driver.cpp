#include "program_driver.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace e2e {
namespace {

struct HandleCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// A 32-bit top-down DIB section selected into a memory DC.
class DibCanvas {
 public:
  DibCanvas(int width, int height) : size_(width * height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~DibCanvas() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;
  HDC dc() const { return old_ ? dc_ : nullptr; }
  // As COLORREF values.
  std::vector<COLORREF> Pixels() const {
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits_);
    std::vector<COLORREF> out(size_);
    for (size_t i = 0; i < size_; ++i)
      out[i] = RGB(p[i] >> 16 & 0xFF, p[i] >> 8 & 0xFF, p[i] & 0xFF);
    return out;
  }

 private:
  size_t size_;
  HDC dc_ = CreateCompatibleDC(nullptr);
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

class ScreenDc {
 public:
  ScreenDc() = default;
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_ = GetDC(nullptr);
};

class ClipboardLock {
 public:
  ClipboardLock()
      : open_(WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 2000)) {}
  ~ClipboardLock() {
    if (open_) CloseClipboard();
  }
  ClipboardLock(const ClipboardLock&) = delete;
  ClipboardLock& operator=(const ClipboardLock&) = delete;
  bool ok() const { return open_; }

 private:
  bool open_;
};

bool Sends(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0,
           DWORD_PTR* result = nullptr) {
  DWORD_PTR ignored = 0;
  return window &&
         SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG,
                             kTimeoutMs, result ? result : &ignored) != 0;
}

std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* class_name,
                                  bool visible_only) {
  struct Query {
    DWORD pid;
    const wchar_t* class_name;
    bool visible_only;
    std::vector<HWND> found;
  } query{pid, class_name, visible_only, {}};
  EnumWindows(
      [](HWND window, LPARAM param) WINAPI -> BOOL {
        auto* q = reinterpret_cast<Query*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == q->pid && ClassName(window) == q->class_name &&
            (!q->visible_only || IsWindowVisible(window)))
          q->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&query));
  return query.found;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM param) WINAPI -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

bool IsClass(HWND window, const wchar_t* name) {
  return _wcsicmp(ClassName(window).c_str(), name) == 0;
}

// Which system icon a message box shows, told by its colours: a yellow
// warning, a red error, a blue information. (Under Wine an icon handle of
// another process cannot be inspected.)
Icon ClassifyIcon(HWND box) {
  HWND control = nullptr;
  for (HWND child : ChildWindows(box))
    if (IsClass(child, L"Static") &&
        (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
      control = child;
  if (!control || !IsWindowVisible(control)) return Icon::kNone;
  const auto shot = Snapshot::OfClient(control);
  int yellow = 0, red = 0, blue = 0;
  for (int y = 0; shot && y < shot->height(); ++y)
    for (int x = 0; x < shot->width(); ++x) {
      const COLORREF c = shot->At(x, y);
      const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
      yellow += r > 180 && g > 150 && b < 100;
      red += r > 150 && g < 80 && b < 80;
      blue += b > 150 && r < 100;
    }
  const int most = std::max({yellow, red, blue});
  if (most < 20) return Icon::kUnknown;
  return most == yellow ? Icon::kWarning
         : most == red  ? Icon::kError
                        : Icon::kInformation;
}

// Under Wine without a window manager, every process that showed a window
// takes two seconds more to end, waiting for a manager to withdraw it.
// Unmanaged windows end at once. Read by each Wine process at start.
void AvoidWindowManagerWait() {
  static const LSTATUS done =
      RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver",
                      L"Managed", REG_SZ, L"N", sizeof(L"N"));
  (void)done;
}

// The middle of the single run of `true`, if there is exactly one.
std::optional<int> SingleBandCentre(const std::vector<bool>& hits) {
  int first = -1, last = -1;
  for (int i = 0; i < static_cast<int>(hits.size()); ++i) {
    if (!hits[i]) continue;
    if (last >= 0 && i != last + 1) return std::nullopt;
    if (first < 0) first = i;
    last = i;
  }
  if (first < 0) return std::nullopt;
  return (first + last) / 2;
}

template <typename T>
void Put(std::string& bytes, size_t offset, T value) {
  std::memcpy(&bytes[offset], &value, sizeof(value));
}

void PutText(std::string& bytes, size_t offset, const std::u16string& text) {
  for (size_t i = 0; i < text.size() && i < 255; ++i)
    Put<uint16_t>(bytes, offset + 2 * i, static_cast<uint16_t>(text[i]));
}

}  // namespace

// --- General ---------------------------------------------------------------

bool WaitFor(const std::function<bool()>& done, DWORD timeout_ms) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  while (!done()) {
    if (GetTickCount64() >= end) return done();
    Sleep(20);
  }
  return true;
}

std::wstring DriverFolder() {
  wchar_t path[MAX_PATH];
  const std::wstring folder(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring ProgramPath() { return DriverFolder() + L"kurvana.exe"; }

std::string Narrow(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(),
                                    static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                      out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring WindowText(HWND window) {
  // WM_GETTEXT asks the window, so edits of another process give their text.
  wchar_t text[1024] = {};
  DWORD_PTR length = 0;
  if (!Sends(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), &length))
    return {};
  return std::wstring(text, std::min<DWORD_PTR>(length, 1023));
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  return std::wstring(name, std::max(GetClassNameW(window, name, 256), 0));
}

// --- Documents -------------------------------------------------------------

Function Explicit(const std::u16string& expression, uint32_t colour,
                  bool visible, int32_t density) {
  Function f;
  f.expression = expression;
  f.colour = colour;
  f.flags = visible ? 1 : 0;
  f.density = density;
  return f;
}

std::string EncodeDocument(const View& view,
                           const std::vector<Function>& functions) {
  constexpr size_t kHeader = 112, kRecord = 1120;
  std::string bytes(kHeader + kRecord * functions.size(), '\0');
  std::memcpy(&bytes[0], "KVDF", 4);
  Put<uint32_t>(bytes, 4, 0x00010001);
  Put(bytes, 8, view.x_min);
  Put(bytes, 12, view.x_max);
  Put(bytes, 16, view.y_min);
  Put(bytes, 20, view.y_max);
  Put(bytes, 24, view.zoom);
  Put(bytes, 28, view.axis_width);
  Put(bytes, 30, view.graph_width);
  Put(bytes, 32, view.axis_colour);
  Put(bytes, 36, view.tick_mode);
  Put(bytes, 40, view.tick_colour);
  Put<uint32_t>(bytes, 44, static_cast<uint32_t>(functions.size()));
  size_t at = kHeader;
  for (const Function& f : functions) {
    Put(bytes, at, f.kind);
    Put(bytes, at + 4, f.flags);
    PutText(bytes, at + 8, f.expression);
    PutText(bytes, at + 520, f.expression2);
    Put(bytes, at + 1032, f.domain_min);
    Put(bytes, at + 1040, f.domain_max);
    Put(bytes, at + 1048, f.colour);
    Put(bytes, at + 1052, f.density);
    at += kRecord;
  }
  return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  return static_cast<bool>(out.write(bytes.data(), bytes.size()).flush());
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TempFolder::TempFolder() {
  static unsigned counter = 0;
  const auto folder = std::filesystem::temp_directory_path() /
                      (L"kvn-e2e-" + std::to_wstring(GetCurrentProcessId()) +
                       L"-" + std::to_wstring(++counter));
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  if (std::filesystem::create_directories(folder, error))
    path_ = folder.wstring() + L"\\";
}

TempFolder::~TempFolder() {
  std::error_code error;
  if (!path_.empty()) std::filesystem::remove_all(path_, error);
}

std::wstring TempFolder::Put(const std::wstring& relative,
                             const std::string& bytes) {
  const std::filesystem::path full = path_ + relative;
  std::error_code error;
  std::filesystem::create_directories(full.parent_path(), error);
  return !path_.empty() && WriteBytes(full.wstring(), bytes) ? full.wstring()
                                                             : std::wstring();
}

// --- Message boxes and dialog controls -------------------------------------

const char* IconName(Icon icon) {
  static const char* const kNames[] = {"none",  "information", "warning",
                                       "error", "question",    "unknown"};
  return kNames[static_cast<int>(icon)];
}

bool IsMessageBox(HWND window) {
  if (ClassName(window) != L"#32770") return false;
  bool has_text = false;
  for (HWND child : ChildWindows(window)) {
    if (!IsClass(child, L"Button") && !IsClass(child, L"Static")) return false;
    has_text = has_text || GetDlgCtrlID(child) == 0xFFFF;
  }
  return has_text;
}

MessageBoxView ReadMessageBox(HWND box) {
  MessageBoxView view;
  view.window = box;
  view.caption = WindowText(box);
  view.text = ItemText(box, 0xFFFF);
  for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
    HWND button = GetDlgItem(box, id);
    if (button && IsWindowVisible(button) && IsClass(button, L"Button"))
      view.buttons.insert(id);
  }
  view.icon = ClassifyIcon(box);
  return view;
}

LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wparam,
                 LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!Sends(GetDlgItem(dialog, id), message, wparam, lparam, &result))
    return -1;
  return static_cast<LRESULT>(result);
}

std::wstring ItemText(HWND dialog, int id) {
  return WindowText(GetDlgItem(dialog, id));
}

bool SetItemText(HWND dialog, int id, const std::wstring& text) {
  return SendItem(dialog, id, WM_SETTEXT, 0,
                  reinterpret_cast<LPARAM>(text.c_str())) == TRUE;
}

bool TypeText(HWND dialog, int id, const std::wstring& text) {
  for (wchar_t c : text)
    if (SendItem(dialog, id, WM_CHAR, c, 1) < 0) return false;
  return true;
}

bool IsChecked(HWND dialog, int id) {
  return SendItem(dialog, id, BM_GETCHECK) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

std::pair<int, int> Selection(HWND dialog, int id) {
  const LRESULT both = SendItem(dialog, id, EM_GETSEL);
  return {LOWORD(both), HIWORD(both)};
}

HWND FocusedControl(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info))
    return nullptr;
  return info.hwndFocus;
}

bool Press(HWND dialog, int id) { return SendItem(dialog, id, BM_CLICK) >= 0; }

bool Click(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control && PostMessageW(control, BM_CLICK, 0, 0);
}

bool ClickAndWaitClosed(HWND dialog, int id) {
  return Click(dialog, id) && WaitFor([dialog] { return !IsWindow(dialog); });
}

bool SetFileName(HWND dialog, const std::wstring& name) {
  HWND box = nullptr;
  WaitFor([&] {
    for (int id : {0x47C, 0x480})  // the name box of Wine's versions
      if (HWND b = GetDlgItem(dialog, id); b && IsWindowVisible(b)) box = b;
    return box != nullptr;
  });
  return Sends(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str())) &&
         WaitFor([&] { return WindowText(box) == name; }, 1000);
}

bool ClickStatic(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control &&
         PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4)) &&
         PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

std::vector<std::wstring> ListLines(HWND dialog, int id) {
  std::vector<std::wstring> lines;
  const LRESULT count = SendItem(dialog, id, LB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[1024] = {};
    const LRESULT length = SendItem(dialog, id, LB_GETTEXTLEN, i);
    if (length < 0 || length >= 1024) return {};
    SendItem(dialog, id, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    lines.emplace_back(text, length);
  }
  return lines;
}

int ListSelection(HWND dialog, int id) {
  return static_cast<int>(SendItem(dialog, id, LB_GETCURSEL));
}

bool SelectLine(HWND dialog, int id, int line) {
  return SendItem(dialog, id, LB_SETCURSEL, line) == line;
}

std::optional<std::wstring> ComboSelection(HWND dialog, int id) {
  const LRESULT index = SendItem(dialog, id, CB_GETCURSEL);
  wchar_t text[256] = {};
  const LRESULT length = SendItem(dialog, id, CB_GETLBTEXTLEN, index);
  if (index < 0 || length < 0 || length >= 256) return std::nullopt;
  SendItem(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return std::wstring(text, length);
}

bool SelectComboItem(HWND dialog, int id, const std::wstring& text) {
  const LRESULT index = SendItem(dialog, id, CB_FINDSTRINGEXACT, -1,
                                 reinterpret_cast<LPARAM>(text.c_str()));
  return index >= 0 && SendItem(dialog, id, CB_SETCURSEL, index) == index;
}

COLORREF ControlColour(HWND dialog, int id) {
  const auto shot = Snapshot::OfClient(GetDlgItem(dialog, id));
  return shot ? shot->At(shot->width() / 2, shot->height() / 2) : CLR_INVALID;
}

bool AnswerColourDialog(HWND chooser, COLORREF colour) {
  const int fields[][2] = {{706, GetRValue(colour)},
                           {707, GetGValue(colour)},
                           {708, GetBValue(colour)}};
  for (const auto& [id, value] : fields)
    if (!SetItemText(chooser, id, std::to_wstring(value))) return false;
  return ClickAndWaitClosed(chooser, IDOK);
}

// --- Pixels ------------------------------------------------------------------

std::optional<Snapshot> Snapshot::OfClient(HWND window) {
  RECT client{};
  POINT origin{0, 0};
  if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin))
    return std::nullopt;
  Snapshot shot;
  shot.width_ = client.right;
  shot.height_ = client.bottom;
  if (shot.width_ <= 0 || shot.height_ <= 0) return shot;
  DibCanvas canvas(shot.width_, shot.height_);
  ScreenDc screen;
  if (!canvas.dc() || !screen.get() ||
      !BitBlt(canvas.dc(), 0, 0, shot.width_, shot.height_, screen.get(),
              origin.x, origin.y, SRCCOPY))
    return std::nullopt;
  shot.pixels_ = canvas.Pixels();
  return shot;
}

COLORREF Snapshot::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

std::optional<int> Snapshot::VerticalLine(COLORREF colour, int length) const {
  std::vector<bool> hits(width_);
  for (int x = 0; x < width_; ++x) {
    int count = 0;
    for (int y = 0; y < height_; ++y) count += At(x, y) == colour;
    hits[x] = count >= length;
  }
  return SingleBandCentre(hits);
}

std::optional<int> Snapshot::HorizontalLine(COLORREF colour, int length) const {
  std::vector<bool> hits(height_);
  for (int y = 0; y < height_; ++y) {
    int count = 0;
    for (int x = 0; x < width_; ++x) count += At(x, y) == colour;
    hits[y] = count >= length;
  }
  return SingleBandCentre(hits);
}

// --- The program -------------------------------------------------------------

Program::Program(const std::wstring& tail, const std::wstring& exe) {
  AvoidWindowManagerWait();
  std::wstring command = L"\"" + exe + L"\" " + tail;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, DriverFolder().c_str(), &startup, &info))
    return;
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
}

Program::Program(ShellOpen, const std::wstring& document) {
  AvoidWindowManagerWait();
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = L"open";
  info.lpFile = document.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info) || !info.hProcess) return;
  process_ = info.hProcess;
  pid_ = GetProcessId(info.hProcess);
}

Program::~Program() {
  if (!process_) return;
  if (running()) End();
  CloseHandle(process_);
}

namespace {

// A message box by its No button (so a save prompt discards), else OK or
// Cancel; any other window by WM_CLOSE.
void Dismiss(HWND window) {
  for (int id : {IDNO, IDOK, IDCANCEL}) {
    HWND button = IsMessageBox(window) ? GetDlgItem(window, id) : nullptr;
    if (button) {
      PostMessageW(button, BM_CLICK, 0, 0);
      return;
    }
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
}

}  // namespace

void Program::End() {
  const auto mains = TopLevelWindows(pid_, L"kurvanamain", false);
  bool close_posted = false;
  // Modal windows first (a message box by No, so a save prompt discards),
  // then the main window, then whatever closing asks.
  WaitFor(
      [&] {
        if (!running()) return true;
        const std::vector<HWND> dialogs = Dialogs();
        for (HWND dialog : dialogs) Dismiss(dialog);
        if (dialogs.empty() && !close_posted && !mains.empty())
          close_posted = PostMessageW(mains.front(), WM_CLOSE, 0, 0);
        return false;
      },
      3000);
  if (running()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kTimeoutMs);
  }
}

bool Program::running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

HWND Program::WaitShown(DWORD timeout_ms) {
  WaitFor(
      [this] {
        const auto mains = TopLevelWindows(pid_, L"kurvanamain", true);
        main_ = mains.empty() ? nullptr : mains.front();
        return main_ != nullptr || !running();
      },
      timeout_ms);
  if (main_) WaitForInputIdle(process_, kTimeoutMs);
  return main_ && Settle() ? main_ : nullptr;
}

HWND Program::GraphArea() const { return GetDlgItem(main_, 100); }

HWND Program::Toolbar() const { return GetDlgItem(main_, 10010); }

std::wstring Program::Title() const { return WindowText(main_); }

std::wstring Program::WaitTitle(const std::wstring& expected) const {
  std::wstring title;
  WaitFor([&] { return (title = Title()) == expected; });
  return title;
}

bool Program::Settle() const { return Sends(main_, WM_NULL); }

std::vector<MessageBoxView> Program::MessageBoxes() const {
  std::vector<MessageBoxView> boxes;
  for (HWND w : TopLevelWindows(pid_, L"#32770", false))
    if (IsMessageBox(w)) boxes.push_back(ReadMessageBox(w));
  return boxes;
}

std::optional<MessageBoxView> Program::WaitMessageBox() {
  HWND box = nullptr;
  WaitFor([&] {
    for (HWND w : TopLevelWindows(pid_, L"#32770", true))
      if (IsMessageBox(w)) box = w;
    return box != nullptr;
  });
  if (!box) return std::nullopt;
  // The icon is read once the box has painted it.
  Sends(box, WM_NULL);
  MessageBoxView view;
  WaitFor(
      [&] {
        view = ReadMessageBox(box);
        return view.icon != Icon::kUnknown;
      },
      1000);
  return view;
}

std::vector<HWND> Program::Dialogs() const {
  return TopLevelWindows(pid_, L"#32770", true);
}

HWND Program::WaitDialog(int control, const std::wstring& caption) {
  HWND found = nullptr;
  WaitFor([&] {
    for (HWND dialog : Dialogs())
      if (GetDlgItem(dialog, control) && !IsMessageBox(dialog) &&
          (caption.empty() || WindowText(dialog) == caption))
        found = dialog;
    return found != nullptr;
  });
  // Answering means WM_INITDIALOG is done.
  return found && Sends(found, WM_NULL) ? found : nullptr;
}

bool Program::PostCommand(int id) {
  return main_ && PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool Program::SendCommand(int id) {
  return Sends(main_, WM_COMMAND, MAKEWPARAM(id, 0));
}

bool Program::PressKeys(std::initializer_list<WORD> keys) {
  SetForegroundWindow(main_);
  if (!WaitFor([this] { return GetForegroundWindow() == main_; }, 2000))
    return false;
  std::vector<INPUT> inputs(2 * keys.size());
  for (size_t i = 0; i < inputs.size(); ++i) {
    const bool up = i >= keys.size();
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = keys.begin()[up ? inputs.size() - 1 - i : i];
    inputs[i].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  }
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(),
                   sizeof(INPUT)) == inputs.size();
}

bool Program::DropFiles(const std::vector<std::wstring>& paths) {
  // A DROPFILES block, the wide names each terminated, and an empty name.
  std::vector<BYTE> block(sizeof(DROPFILES));
  auto* header = reinterpret_cast<DROPFILES*>(block.data());
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  for (const std::wstring& path : paths) {
    const auto* bytes = reinterpret_cast<const BYTE*>(path.c_str());
    block.insert(block.end(), bytes, bytes + (path.size() + 1) * 2);
  }
  block.insert(block.end(), 2, 0);
  // An HDROP is a memory handle of the receiving process. A page-aligned
  // block allocated there passes as a fixed global memory handle, which
  // DragFinish in the program releases or ignores.
  UniqueHandle process(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid_));
  void* remote = process
                     ? VirtualAllocEx(process.get(), nullptr, block.size(),
                                      MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                     : nullptr;
  return remote &&
         WriteProcessMemory(process.get(), remote, block.data(), block.size(),
                            nullptr) &&
         PostMessageW(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

bool Program::Scroll(int bar, int code, int times) {
  for (int i = 0; i < times; ++i)
    if (!Sends(GraphArea(), bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL,
               MAKEWPARAM(code, 0)))
      return false;
  return true;
}

bool Program::ToolbarOffers(int id) const {
  DWORD_PTR state = 0;
  return Sends(Toolbar(), TB_GETSTATE, id, 0, &state) &&
         static_cast<LRESULT>(state) != -1 && (state & TBSTATE_ENABLED);
}

std::optional<DWORD> Program::WaitExit(DWORD timeout_ms) {
  if (exit_code_) return exit_code_;
  if (!process_ || WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return exit_code_ = code;
}

std::optional<DWORD> Program::WaitExitWatchingWindows(bool* window_seen) {
  *window_seen = false;
  WaitFor(
      [&] {
        *window_seen = *window_seen ||
                       !TopLevelWindows(pid_, L"kurvanamain", false).empty();
        return !running();
      },
      kStartTimeoutMs);
  return WaitExit(0);
}

std::optional<DWORD> Program::Close() {
  if (!PostMessageW(main_, WM_CLOSE, 0, 0)) return std::nullopt;
  return WaitExit();
}

// --- Clipboard and registry --------------------------------------------------

void ClearClipboard() {
  ClipboardLock lock;
  if (lock.ok()) EmptyClipboard();
}

std::optional<MetafileView> WaitClipboardMetafile() {
  HENHMETAFILE copy = nullptr;
  WaitFor([&] {
    if (!IsClipboardFormatAvailable(CF_ENHMETAFILE)) return false;
    ClipboardLock lock;
    HANDLE shared = lock.ok() ? GetClipboardData(CF_ENHMETAFILE) : nullptr;
    if (shared) copy = CopyEnhMetaFileW(static_cast<HENHMETAFILE>(shared), {});
    return copy != nullptr;
  });
  if (!copy) return std::nullopt;
  MetafileView view;
  ENHMETAHEADER header{};
  GetEnhMetaFileHeader(copy, sizeof(header), &header);
  view.bounds = header.rclBounds;
  view.frame = header.rclFrame;
  view.device_pixels = header.szlDevice;
  view.device_millimeters = header.szlMillimeters;
  EnumEnhMetaFile(
      nullptr, copy,
      [](HDC, HANDLETABLE*, const ENHMETARECORD* record, int,
         LPARAM param) WINAPI -> int {
        auto* v = reinterpret_cast<MetafileView*>(param);
        if (record->iType == EMR_LINETO) ++v->line_to_count;
        if (record->iType == EMR_CREATEPEN)
          v->pen_colours.push_back(
              reinterpret_cast<const EMRCREATEPEN*>(record)->lopn.lopnColor);
        if (record->iType == EMR_EXTCREATEPEN)
          v->pen_colours.push_back(
              reinterpret_cast<const EMREXTCREATEPEN*>(record)->elp.elpColor);
        return 1;
      },
      &view, nullptr);
  DeleteEnhMetaFile(copy);
  return view;
}

std::optional<DWORD> ReadDword(HKEY root, const std::wstring& key,
                               const wchar_t* name) {
  DWORD value = 0, size = sizeof(value);
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value,
                   &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

std::optional<std::wstring> ReadDefaultString(HKEY root,
                                              const std::wstring& key) {
  wchar_t text[1024] = {};
  DWORD size = sizeof(text);
  if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text,
                   &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(text);
}

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
    return false;
  RegCloseKey(opened);
  return true;
}

bool WriteDword(HKEY root, const std::wstring& key, const wchar_t* name,
                DWORD value) {
  return RegSetKeyValueW(root, key.c_str(), name, REG_DWORD, &value,
                         sizeof(value)) == ERROR_SUCCESS;
}

void DeleteKeyTree(HKEY root, const std::wstring& key) {
  RegDeleteTreeW(root, key.c_str());
  RegDeleteKeyW(root, key.c_str());
}

}  // namespace e2e
