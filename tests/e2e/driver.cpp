#include "driver.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <type_traits>

namespace e2e {
namespace {

// --- Owners of handles ---

struct HandleCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

class RegKey {
 public:
  RegKey() = default;
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  bool Open(HKEY root, const std::wstring& path, REGSAM access) {
    return RegOpenKeyExW(root, path.c_str(), 0, access, &key_) == ERROR_SUCCESS;
  }
  bool Create(HKEY root, const std::wstring& path) {
    return RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE,
                           nullptr, &key_, nullptr) == ERROR_SUCCESS;
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A 32-bit top-down DIB section selected into a memory DC.
class DibCanvas {
 public:
  DibCanvas(int width, int height) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
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
  bool ok() const { return old_ != nullptr && bits_ != nullptr; }
  HDC dc() const { return dc_; }
  std::vector<uint32_t> Pixels() const {
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits_);
    return std::vector<uint32_t>(p, p + width_ * height_);
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

// Memory allocated inside another process, released on destruction.
class RemoteMemory {
 public:
  RemoteMemory(DWORD pid, SIZE_T size) : size_(size) {
    process_.reset(OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (process_)
      address_ = VirtualAllocEx(process_.get(), nullptr, size,
                                MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteMemory() {
    if (address_ && !leak_)
      VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  void* address() const { return address_; }
  bool Read(SIZE_T offset, void* out, SIZE_T size) const {
    return address_ && offset + size <= size_ &&
           ReadProcessMemory(process_.get(),
                             static_cast<const BYTE*>(address_) + offset, out,
                             size, nullptr);
  }
  bool Write(const void* data, SIZE_T size) const {
    return address_ && size <= size_ &&
           WriteProcessMemory(process_.get(), address_, data, size, nullptr);
  }
  // Leaves the block to the target process, which may still use it.
  void Leak() { leak_ = true; }

 private:
  UniqueHandle process_;
  SIZE_T size_;
  void* address_ = nullptr;
  bool leak_ = false;
};

struct ModuleFreer {
  void operator()(HMODULE m) const { FreeLibrary(m); }
};
using UniqueModule =
    std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;

UniqueModule LoadAsData(const std::wstring& path) {
  return UniqueModule(
      LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

// Opens the clipboard, retrying while another process holds it.
class ClipboardLock {
 public:
  ClipboardLock() {
    open_ = WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 2000);
  }
  ~ClipboardLock() {
    if (open_) CloseClipboard();
  }
  ClipboardLock(const ClipboardLock&) = delete;
  ClipboardLock& operator=(const ClipboardLock&) = delete;
  bool ok() const { return open_; }

 private:
  bool open_ = false;
};

// --- Message box icons ---

bool IsButtonOrStatic(HWND child) {
  const std::wstring cls = ClassName(child);
  return _wcsicmp(cls.c_str(), L"Button") == 0 ||
         _wcsicmp(cls.c_str(), L"Static") == 0;
}

HWND IconControl(HWND box) {
  for (HWND child : ChildWindows(box)) {
    if (_wcsicmp(ClassName(child).c_str(), L"Static") != 0) continue;
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) return child;
  }
  return nullptr;
}

// Sum of channel differences between two pictures of equal size.
uint64_t Difference(const std::vector<uint32_t>& a,
                    const std::vector<uint32_t>& b) {
  if (a.size() != b.size()) return UINT64_MAX;
  uint64_t sum = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      const int x = (a[i] >> shift) & 0xFF;
      const int y = (b[i] >> shift) & 0xFF;
      sum += static_cast<uint64_t>(x > y ? x - y : y - x);
    }
  }
  return sum;
}

// `icon` drawn at its standard size on a plain background, as 0x00RRGGBB.
std::vector<uint32_t> RenderIcon(LPCWSTR icon, int width, int height,
                                 COLORREF background) {
  DibCanvas canvas(width, height);
  if (!canvas.ok()) return {};
  HBRUSH brush = CreateSolidBrush(background);
  const RECT all{0, 0, width, height};
  FillRect(canvas.dc(), &all, brush);
  DeleteObject(brush);
  DrawIconEx(canvas.dc(), 0, 0, LoadIconW(nullptr, icon), 0, 0, 0, nullptr,
             DI_NORMAL);
  return canvas.Pixels();
}

// Which system icon the control shows: each candidate is drawn here on the
// control's background and the closest picture wins. (Under Wine an icon
// handle of another process cannot be inspected.)
Icon ClassifyIcon(HWND control) {
  if (!control || !IsWindowVisible(control)) return Icon::kNone;
  const auto shot = Snapshot::OfClient(control);
  if (!shot || shot->width() == 0 || shot->height() == 0) return Icon::kUnknown;
  const int w = shot->width(), h = shot->height();
  std::vector<uint32_t> seen;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const COLORREF c = shot->At(x, y);
      seen.push_back(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
    }
  struct Candidate {
    Icon icon;
    LPCWSTR id;
  };
  const Candidate candidates[] = {{Icon::kInformation, IDI_INFORMATION},
                                  {Icon::kWarning, IDI_WARNING},
                                  {Icon::kError, IDI_ERROR},
                                  {Icon::kQuestion, IDI_QUESTION}};
  Icon best = Icon::kUnknown;
  uint64_t best_difference = UINT64_MAX;
  for (const Candidate& candidate : candidates) {
    const uint64_t difference =
        Difference(RenderIcon(candidate.id, w, h, shot->At(0, 0)), seen);
    if (difference < best_difference) {
      best_difference = difference;
      best = candidate.icon;
    }
  }
  // Further than a quarter of the largest difference on average: not a
  // system icon.
  if (best_difference > static_cast<uint64_t>(w) * h * 3 * 255 / 4)
    return Icon::kUnknown;
  return best;
}

// --- Windows of a process ---

struct EnumQuery {
  DWORD pid;
  const std::wstring* class_name;
  std::vector<HWND>* found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  const auto* query = reinterpret_cast<const EnumQuery*>(param);
  if (WindowProcess(window) != query->pid) return TRUE;
  if (!query->class_name->empty() && ClassName(window) != *query->class_name)
    return TRUE;
  query->found->push_back(window);
  return TRUE;
}

std::vector<HWND> AllTopLevelWindows(DWORD pid, const std::wstring& cls) {
  std::vector<HWND> found;
  EnumQuery query{pid, &cls, &found};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&query));
  return found;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

HWND FileNameBox(HWND dialog) {
  for (int id : {0x47C, 0x480}) {
    HWND box = GetDlgItem(dialog, id);
    if (box && IsWindowVisible(box)) return box;
  }
  return nullptr;
}

// Under Wine without a window manager, every process that showed a window
// takes two more seconds to end: the X11 driver waits for a manager to
// withdraw the window. Unmanaged windows end at once. The setting is read
// by each Wine process at start, so it is made before the program starts;
// on Windows the key means nothing.
void AvoidWindowManagerWait() {
  static bool done = false;
  if (done) return;
  done = true;
  RegKey key;
  if (!key.Create(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver")) return;
  static const wchar_t kNo[] = L"N";
  RegSetValueExW(key.get(), L"Managed", 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(kNo), sizeof(kNo));
}

}  // namespace

// --- General ---

bool WaitFor(const std::function<bool()>& done, DWORD timeout_ms) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= end) return done();
    Sleep(50);
  }
}

std::wstring DriverFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring ProgramPath() { return DriverFolder() + L"kurvana.exe"; }

std::wstring WindowText(HWND window) {
  // GetWindowTextW does not ask a window of another process (it returns
  // the stored caption); WM_GETTEXT does, so edit boxes give their text.
  wchar_t text[1024] = {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024,
                           reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                           kTimeoutMs, &length))
    return std::wstring();
  return std::wstring(text, std::min<DWORD_PTR>(length, 1023));
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  const int n = GetClassNameW(window, name, 256);
  return std::wstring(name, n > 0 ? n : 0);
}

DWORD WindowProcess(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::vector<HWND> TopLevelWindows(DWORD pid, const std::wstring& class_name) {
  std::vector<HWND> visible;
  for (HWND w : AllTopLevelWindows(pid, class_name))
    if (IsWindowVisible(w)) visible.push_back(w);
  return visible;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

const char* IconName(Icon icon) {
  switch (icon) {
    case Icon::kNone:
      return "none";
    case Icon::kInformation:
      return "information";
    case Icon::kWarning:
      return "warning";
    case Icon::kError:
      return "error";
    case Icon::kQuestion:
      return "question";
    case Icon::kUnknown:
      break;
  }
  return "unknown";
}

// --- Message boxes and dialogs ---

bool IsMessageBox(HWND window) {
  if (ClassName(window) != L"#32770") return false;
  bool has_text = false;
  for (HWND child : ChildWindows(window)) {
    if (!IsButtonOrStatic(child)) return false;
    if (GetDlgCtrlID(child) == 0xFFFF) has_text = true;
  }
  return has_text;
}

MessageBoxView ReadMessageBox(HWND box) {
  MessageBoxView view;
  view.window = box;
  view.caption = WindowText(box);
  if (HWND text = GetDlgItem(box, 0xFFFF)) view.text = WindowText(text);
  for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
    HWND button = GetDlgItem(box, id);
    if (button && IsWindowVisible(button) &&
        _wcsicmp(ClassName(button).c_str(), L"Button") == 0)
      view.buttons.insert(id);
  }
  view.icon = ClassifyIcon(IconControl(box));
  return view;
}

bool ClickAndWaitClosed(HWND dialog, int id, DWORD timeout_ms) {
  HWND button = GetDlgItem(dialog, id);
  if (!button) return false;
  // Posted, so that the click's consequences (a save, a further message
  // box) cannot block the driver.
  if (!PostMessageW(button, BM_CLICK, 0, 0)) return false;
  return WaitFor([dialog] { return !IsWindow(dialog); }, timeout_ms);
}

bool SetFileName(HWND dialog, const std::wstring& name) {
  HWND box = nullptr;
  WaitFor([&] { return (box = FileNameBox(dialog)) != nullptr; });
  if (!box) return false;
  DWORD_PTR result = 0;
  SendMessageTimeoutW(box, WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(name.c_str()), SMTO_ABORTIFHUNG,
                      kTimeoutMs, &result);
  return WaitFor([&] { return WindowText(box) == name; }, 1000);
}

// --- Pixels ---

std::optional<Snapshot> Snapshot::OfClient(HWND window) {
  RECT client{};
  if (!GetClientRect(window, &client)) return std::nullopt;
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  Snapshot shot;
  shot.width_ = client.right;
  shot.height_ = client.bottom;
  if (shot.width_ <= 0 || shot.height_ <= 0) return shot;
  DibCanvas canvas(shot.width_, shot.height_);
  if (!canvas.ok()) return std::nullopt;
  // The screen, not the foreign window's DC: under Wine another process's
  // window surface is not reachable, the composed screen is.
  WindowDc screen(nullptr);
  if (!screen.get() || !BitBlt(canvas.dc(), 0, 0, shot.width_, shot.height_,
                               screen.get(), origin.x, origin.y, SRCCOPY))
    return std::nullopt;
  shot.pixels_ = canvas.Pixels();
  return shot;
}

COLORREF Snapshot::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  const uint32_t p = pixels_[static_cast<size_t>(y) * width_ + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

namespace {

// The middle of the single run of `true` in `hits`, if there is one.
std::optional<int> SingleBandCentre(const std::vector<bool>& hits) {
  int first = -1, last = -1;
  for (int i = 0; i < static_cast<int>(hits.size()); ++i) {
    if (!hits[i]) continue;
    if (last >= 0 && i != last + 1) return std::nullopt;  // a second band
    if (first < 0) first = i;
    last = i;
  }
  if (first < 0) return std::nullopt;
  return (first + last) / 2;
}

}  // namespace

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

// --- Program ---

Program::Program(const std::wstring& tail, const std::wstring& exe) {
  AvoidWindowManagerWait();
  std::wstring command = L"\"" + exe + L"\" " + tail;
  std::vector<wchar_t> buffer(command.begin(), command.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  const std::wstring folder = DriverFolder();
  if (!CreateProcessW(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, folder.c_str(), &startup, &info))
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

// Closes a modal window of the program on the way out: a message box by
// its No button (so a save prompt discards), else OK or Cancel; anything
// else with WM_CLOSE.
void Dismiss(HWND window) {
  if (IsMessageBox(window)) {
    for (int id : {IDNO, IDOK, IDCANCEL}) {
      if (HWND button = GetDlgItem(window, id)) {
        PostMessageW(button, BM_CLICK, 0, 0);
        return;
      }
    }
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
}

}  // namespace

void Program::End() {
  const std::vector<HWND> mains = AllTopLevelWindows(pid_, L"kurvanamain");
  HWND main_window = mains.empty() ? nullptr : mains.front();
  bool close_posted = false;
  // Modal windows first, then the main window, then whatever closing asks.
  WaitFor(
      [&] {
        if (!running()) return true;
        const std::vector<HWND> dialogs = Dialogs();
        for (HWND dialog : dialogs) Dismiss(dialog);
        if (dialogs.empty() && !close_posted && main_window) {
          PostMessageW(main_window, WM_CLOSE, 0, 0);
          close_posted = true;
        }
        return false;
      },
      3000);
  if (running()) Terminate();
}

void Program::Terminate() {
  TerminateProcess(process_, 1);
  WaitForSingleObject(process_, kTimeoutMs);
}

bool Program::running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

HWND Program::WaitMainWindow(DWORD timeout_ms) {
  if (main_ && IsWindow(main_)) return main_;
  WaitFor(
      [this] {
        const auto windows = AllTopLevelWindows(pid_, L"kurvanamain");
        main_ = windows.empty() ? nullptr : windows.front();
        return main_ != nullptr || !running();
      },
      timeout_ms);
  return main_;
}

HWND Program::WaitShown(DWORD timeout_ms) {
  const ULONGLONG start = GetTickCount64();
  if (!WaitMainWindow(timeout_ms)) return nullptr;
  const DWORD spent = static_cast<DWORD>(GetTickCount64() - start);
  const DWORD rest = spent < timeout_ms ? timeout_ms - spent : 0;
  if (!WaitFor([this] { return IsWindowVisible(main_) != FALSE; }, rest))
    return nullptr;
  WaitForInputIdle(process_, kTimeoutMs);
  // A round trip through the program's message loop: what start-up sent
  // itself has been handled when it returns.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs,
                      &result);
  return main_;
}

HWND Program::GraphArea() const {
  return main_ ? GetDlgItem(main_, 100) : nullptr;
}

HWND Program::Toolbar() const {
  return main_ ? GetDlgItem(main_, 10010) : nullptr;
}

std::wstring Program::Title() const {
  return main_ ? WindowText(main_) : std::wstring();
}

std::wstring Program::WaitTitle(const std::wstring& expected,
                                DWORD timeout_ms) const {
  std::wstring title;
  WaitFor([&] { return (title = Title()) == expected; }, timeout_ms);
  return title;
}

std::vector<MessageBoxView> Program::MessageBoxes() const {
  std::vector<MessageBoxView> boxes;
  for (HWND w : TopLevelWindows(pid_, L"#32770"))
    if (IsMessageBox(w)) boxes.push_back(ReadMessageBox(w));
  return boxes;
}

std::optional<MessageBoxView> Program::WaitMessageBox(DWORD timeout_ms) {
  HWND box = nullptr;
  WaitFor(
      [&] {
        for (HWND w : TopLevelWindows(pid_, L"#32770"))
          if (IsMessageBox(w)) box = w;
        return box != nullptr;
      },
      timeout_ms);
  if (!box) return std::nullopt;
  // Let the box finish painting its icon before it is looked at.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(box, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs,
                      &result);
  UpdateWindow(box);
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
  return TopLevelWindows(pid_, L"#32770");
}

HWND Program::WaitDialog(const std::wstring& caption, DWORD timeout_ms) {
  HWND dialog = nullptr;
  WaitFor(
      [&] {
        for (HWND w : TopLevelWindows(pid_, L"#32770"))
          if (!IsMessageBox(w) && WindowText(w) == caption) dialog = w;
        return dialog != nullptr;
      },
      timeout_ms);
  if (dialog) WaitForInputIdle(process_, kTimeoutMs);
  return dialog;
}

bool Program::PostCommand(int id) {
  return main_ && PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool Program::SendCommand(int id) {
  DWORD_PTR result = 0;
  return main_ && SendMessageTimeoutW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0,
                                      SMTO_ABORTIFHUNG, kTimeoutMs, &result);
}

bool Program::PressKeys(std::initializer_list<WORD> keys) {
  if (!main_) return false;
  SetForegroundWindow(main_);
  if (!WaitFor([this] { return GetForegroundWindow() == main_; }, 2000))
    return false;
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *it;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(),
                   sizeof(INPUT)) == inputs.size();
}

bool Program::DropFiles(const std::vector<std::wstring>& paths) {
  if (!main_) return false;
  // A DROPFILES block followed by the wide names, each terminated, and an
  // empty name at the end.
  std::vector<BYTE> block(sizeof(DROPFILES));
  auto* header = reinterpret_cast<DROPFILES*>(block.data());
  header->pFiles = sizeof(DROPFILES);
  header->pt = POINT{10, 10};
  header->fNC = FALSE;
  header->fWide = TRUE;
  for (const std::wstring& path : paths) {
    const auto* bytes = reinterpret_cast<const BYTE*>(path.c_str());
    block.insert(block.end(), bytes, bytes + (path.size() + 1) * 2);
  }
  block.insert(block.end(), 2, 0);
  // An HDROP is a memory handle of the receiving process: the block is
  // written into the program's memory. A page-aligned address passes there
  // as a fixed global memory handle.
  RemoteMemory memory(pid_, block.size());
  if (!memory.Write(block.data(), block.size())) return false;
  if (!PostMessageW(main_, WM_DROPFILES,
                    reinterpret_cast<WPARAM>(memory.address()), 0))
    return false;
  memory.Leak();  // DragFinish in the program releases or ignores it
  return true;
}

namespace {

constexpr SIZE_T kButtonTextUnits = 256;

// Button `index` of a toolbar of another process, through `memory` in that
// process: a TBBUTTON followed by room for the label.
std::optional<ToolbarButton> ReadToolbarButton(HWND toolbar,
                                               const RemoteMemory& memory,
                                               size_t index) {
  DWORD_PTR ok = 0;
  TBBUTTON button{};
  if (!SendMessageTimeoutW(toolbar, TB_GETBUTTON, index,
                           reinterpret_cast<LPARAM>(memory.address()),
                           SMTO_ABORTIFHUNG, kTimeoutMs, &ok) ||
      !ok || !memory.Read(0, &button, sizeof(button)))
    return std::nullopt;
  ToolbarButton view;
  view.command = button.idCommand;
  view.separator = (button.fsStyle & BTNS_SEP) != 0;
  view.enabled = (button.fsState & TBSTATE_ENABLED) != 0;
  if (view.separator) return view;
  auto* text = static_cast<BYTE*>(memory.address()) + sizeof(TBBUTTON);
  DWORD_PTR length = 0;
  SendMessageTimeoutW(toolbar, TB_GETBUTTONTEXTW, button.idCommand,
                      reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      kTimeoutMs, &length);
  std::vector<wchar_t> units(kButtonTextUnits);
  if (length > 0 && length < kButtonTextUnits &&
      memory.Read(sizeof(TBBUTTON), units.data(), length * sizeof(wchar_t)))
    view.text.assign(units.data(), length);
  return view;
}

}  // namespace

std::vector<ToolbarButton> Program::ToolbarButtons() const {
  HWND toolbar = Toolbar();
  DWORD_PTR count = 0;
  if (!toolbar || !SendMessageTimeoutW(toolbar, TB_BUTTONCOUNT, 0, 0,
                                       SMTO_ABORTIFHUNG, kTimeoutMs, &count))
    return {};
  // The toolbar writes into the program's memory; read it back from there.
  RemoteMemory memory(pid_,
                      sizeof(TBBUTTON) + kButtonTextUnits * sizeof(wchar_t));
  std::vector<ToolbarButton> buttons;
  for (DWORD_PTR i = 0; i < count; ++i) {
    const auto button = ReadToolbarButton(toolbar, memory, i);
    if (!button) return {};
    buttons.push_back(*button);
  }
  return buttons;
}

bool Program::Scroll(int bar, int code, int times) {
  HWND area = GraphArea();
  if (!area) return false;
  for (int i = 0; i < times; ++i) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(area, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL,
                             MAKEWPARAM(code, 0), 0, SMTO_ABORTIFHUNG,
                             kTimeoutMs, &result))
      return false;
  }
  return true;
}

std::optional<DWORD> Program::WaitExit(DWORD timeout_ms) {
  if (exit_code_) return exit_code_;
  if (!process_ || WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  exit_code_ = code;
  return exit_code_;
}

std::optional<DWORD> Program::WaitExitWatchingWindows(DWORD timeout_ms,
                                                      bool* window_seen) {
  *window_seen = false;
  WaitFor(
      [&] {
        if (!AllTopLevelWindows(pid_, L"kurvanamain").empty())
          *window_seen = true;
        return !running();
      },
      timeout_ms);
  return WaitExit(0);
}

std::optional<DWORD> Program::Close(DWORD timeout_ms) {
  if (!main_ || !PostMessageW(main_, WM_CLOSE, 0, 0)) return std::nullopt;
  return WaitExit(timeout_ms);
}

// --- Clipboard ---

void ClearClipboard() {
  ClipboardLock lock;
  if (lock.ok()) EmptyClipboard();
}

namespace {

int CALLBACK CountRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int,
                         LPARAM param) {
  auto* view = reinterpret_cast<MetafileView*>(param);
  switch (record->iType) {
    case EMR_LINETO:
      ++view->line_to_count;
      break;
    case EMR_CREATEPEN:
      view->pen_colours.push_back(
          reinterpret_cast<const EMRCREATEPEN*>(record)->lopn.lopnColor);
      break;
    case EMR_EXTCREATEPEN:
      view->pen_colours.push_back(
          reinterpret_cast<const EMREXTCREATEPEN*>(record)->elp.elpColor);
      break;
    default:
      break;
  }
  return 1;
}

}  // namespace

std::optional<MetafileView> WaitClipboardMetafile(DWORD timeout_ms) {
  HENHMETAFILE copy = nullptr;
  WaitFor(
      [&] {
        if (!IsClipboardFormatAvailable(CF_ENHMETAFILE)) return false;
        ClipboardLock lock;
        if (!lock.ok()) return false;
        auto shared =
            static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
        if (shared) copy = CopyEnhMetaFileW(shared, nullptr);
        return copy != nullptr;
      },
      timeout_ms);
  if (!copy) return std::nullopt;
  MetafileView view;
  ENHMETAHEADER header{};
  GetEnhMetaFileHeader(copy, sizeof(header), &header);
  view.bounds = header.rclBounds;
  view.frame = header.rclFrame;
  view.device_pixels = header.szlDevice;
  view.device_millimeters = header.szlMillimeters;
  EnumEnhMetaFile(nullptr, copy, CountRecord, &view, nullptr);
  DeleteEnhMetaFile(copy);
  return view;
}

// --- Registry ---

std::optional<DWORD> ReadDword(HKEY root, const std::wstring& key,
                               const wchar_t* name) {
  RegKey k;
  if (!k.Open(root, key, KEY_READ)) return std::nullopt;
  DWORD value = 0, size = sizeof(value), type = 0;
  if (RegQueryValueExW(k.get(), name, nullptr, &type,
                       reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof(value))
    return std::nullopt;
  return value;
}

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key,
                                       const wchar_t* name, DWORD* type) {
  RegKey k;
  if (!k.Open(root, key, KEY_READ)) return std::nullopt;
  wchar_t text[1024] = {};
  DWORD size = sizeof(text) - sizeof(wchar_t), kind = 0;
  if (RegQueryValueExW(k.get(), name, nullptr, &kind,
                       reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS)
    return std::nullopt;
  if (type) *type = kind;
  return std::wstring(text);
}

bool KeyExists(HKEY root, const std::wstring& key) {
  RegKey k;
  return k.Open(root, key, KEY_READ);
}

bool WriteDword(HKEY root, const std::wstring& key, const wchar_t* name,
                DWORD value) {
  RegKey k;
  return k.Create(root, key) &&
         RegSetValueExW(k.get(), name, 0, REG_DWORD,
                        reinterpret_cast<const BYTE*>(&value),
                        sizeof(value)) == ERROR_SUCCESS;
}

void DeleteKeyTree(HKEY root, const std::wstring& key) {
  RegDeleteTreeW(root, key.c_str());
  RegDeleteKeyW(root, key.c_str());
}

// --- Resources ---

namespace {

std::vector<MenuEntry> ReadMenu(HMENU menu) {
  std::vector<MenuEntry> entries;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = 255;
    if (!GetMenuItemInfoW(menu, i, TRUE, &info)) continue;
    MenuEntry entry;
    entry.separator = (info.fType & MFT_SEPARATOR) != 0;
    entry.text = text;
    entry.id = info.hSubMenu ? 0 : info.wID;
    if (info.hSubMenu) entry.items = ReadMenu(info.hSubMenu);
    entries.push_back(entry);
  }
  return entries;
}

}  // namespace

std::optional<std::vector<MenuEntry>> ReadMenuResource(
    const std::wstring& module, int id) {
  UniqueModule data = LoadAsData(module);
  if (!data) return std::nullopt;
  HMENU menu = LoadMenuW(data.get(), MAKEINTRESOURCEW(id));
  if (!menu) return std::nullopt;
  std::vector<MenuEntry> entries = ReadMenu(menu);
  DestroyMenu(menu);
  return entries;
}

std::optional<std::vector<ACCEL>> ReadAcceleratorResource(
    const std::wstring& module, int id) {
  UniqueModule data = LoadAsData(module);
  if (!data) return std::nullopt;
  HACCEL table = LoadAcceleratorsW(data.get(), MAKEINTRESOURCEW(id));
  if (!table) return std::nullopt;
  std::vector<ACCEL> entries(CopyAcceleratorTableW(table, nullptr, 0));
  CopyAcceleratorTableW(table, entries.data(),
                        static_cast<int>(entries.size()));
  DestroyAcceleratorTable(table);
  return entries;
}

bool HasResource(const std::wstring& module, LPCWSTR type, int id) {
  UniqueModule data = LoadAsData(module);
  return data && FindResourceW(data.get(), MAKEINTRESOURCEW(id), type);
}

}  // namespace e2e
