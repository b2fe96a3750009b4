#include "program_driver.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace e2e {
namespace {

// Releases a handle (or several, in reverse order of their owners) when it
// goes out of scope.
template <typename Release>
class Finally {
 public:
  explicit Finally(Release release) : release_(release) {}
  ~Finally() { release_(); }
  Finally(const Finally&) = delete;
  Finally& operator=(const Finally&) = delete;

 private:
  Release release_;
};

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
      LPARAM(&query));
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
      LPARAM(&children));
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
    if (IsClass(child, L"Static") && IsWindowVisible(child) &&
        (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
      control = child;
  if (!control) return Icon::kNone;
  const auto shot = Snapshot::OfClient(control);
  int yellow = 0, red = 0, blue = 0;
  for (COLORREF c : shot ? shot->pixels : std::vector<COLORREF>()) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    yellow += r > 180 && g > 150 && b < 100;
    red += r > 150 && g < 80 && b < 80;
    blue += b > 150 && r < 100;
  }
  const int most = std::max({yellow, red, blue});
  return most < 20        ? Icon::kUnknown
         : most == yellow ? Icon::kWarning
         : most == red    ? Icon::kError
                          : Icon::kInformation;
}

// Under Wine without a window manager, a process that showed a window
// takes two seconds more to end, waiting for a manager to withdraw it.
// Unmanaged windows end at once. Each Wine process reads this at start.
void AvoidWindowManagerWait() {
  static const LSTATUS done =
      RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver",
                      L"Managed", REG_SZ, L"N", sizeof(L"N"));
  (void)done;
}

}  // namespace

bool WaitFor(const std::function<bool()>& done, DWORD timeout_ms) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  while (!done()) {
    if (GetTickCount64() >= end) return done();
    Sleep(20);
  }
  return true;
}

bool Sends(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
           DWORD_PTR* result) {
  DWORD_PTR ignored = 0;
  return window &&
         SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG,
                             kTimeoutMs, result ? result : &ignored);
}

std::wstring DriverFolder() {
  wchar_t path[MAX_PATH];
  const std::wstring file(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return file.substr(0, file.find_last_of(L"\\/") + 1);
}

std::string Narrow(const std::wstring& text) {
  const std::u8string utf8 = std::filesystem::path(text).u8string();
  return std::string(utf8.begin(), utf8.end());
}

std::wstring WindowText(HWND window) {
  // WM_GETTEXT asks the window, so edits of another process give their text.
  wchar_t text[1024] = {};
  DWORD_PTR length = 0;
  if (!Sends(window, WM_GETTEXT, 1024, LPARAM(text), &length)) return {};
  return std::wstring(text, std::min<DWORD_PTR>(length, 1023));
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  return std::wstring(name, std::max(GetClassNameW(window, name, 256), 0));
}

// --- Documents -------------------------------------------------------------

std::string EncodeDocument(const View& view,
                           const std::vector<Function>& functions) {
  std::string bytes;
  auto put = [&bytes](const auto& value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof(value));
  };
  auto put_text = [&bytes](const std::u16string& text) {  // 256 units
    std::u16string field = text.substr(0, 255);
    field.resize(256);
    bytes.append(reinterpret_cast<const char*>(field.data()), 512);
  };
  bytes = "KVDF";
  put(uint32_t{0x00010001});
  for (auto value : {view.x_min, view.x_max, view.y_min, view.y_max})
    put(value);
  put(view.zoom);
  put(view.axis_width);
  put(view.graph_width);
  put(view.axis_colour);
  put(view.tick_mode);
  put(view.tick_colour);
  put(static_cast<uint32_t>(functions.size()));
  bytes.resize(112);
  for (const Function& f : functions) {
    put(f.kind);
    put(f.flags);
    put_text(f.expression);
    put_text(f.expression2);
    put(f.domain_min);
    put(f.domain_max);
    put(f.colour);
    put(f.density);
    bytes.resize(bytes.size() + 1120 - 1056);
  }
  return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  return static_cast<bool>(out.write(bytes.data(), bytes.size()).flush());
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  std::ostringstream bytes;
  if (!in || !(bytes << in.rdbuf())) return std::nullopt;
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
  return !path_.empty() && WriteBytes(full, bytes) ? full.wstring() : L"";
}

// --- Message boxes and dialog controls -------------------------------------

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

bool TypeText(HWND dialog, int id, const std::wstring& text) {
  return std::all_of(text.begin(), text.end(), [&](wchar_t c) {
    return SendItem(dialog, id, WM_CHAR, c, 1) >= 0;
  });
}

HWND FocusedControl(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)
             ? info.hwndFocus
             : nullptr;
}

bool ClickStatic(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4)) &&
         PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

std::vector<std::wstring> ListLines(HWND dialog, int id) {
  std::vector<std::wstring> lines(
      std::max<LRESULT>(SendItem(dialog, id, LB_GETCOUNT), 0));
  for (size_t i = 0; i < lines.size(); ++i) {
    wchar_t text[1024] = {};
    if (SendItem(dialog, id, LB_GETTEXTLEN, i) >= 1024) return {};
    SendItem(dialog, id, LB_GETTEXT, i, LPARAM(text));
    lines[i] = text;
  }
  return lines;
}

std::optional<std::wstring> ComboSelection(HWND dialog, int id) {
  const LRESULT index = SendItem(dialog, id, CB_GETCURSEL);
  wchar_t text[256] = {};
  if (index < 0 || SendItem(dialog, id, CB_GETLBTEXTLEN, index) >= 256)
    return std::nullopt;
  SendItem(dialog, id, CB_GETLBTEXT, index, LPARAM(text));
  return text;
}

bool SelectComboItem(HWND dialog, int id, const std::wstring& text) {
  const LRESULT index =
      SendItem(dialog, id, CB_FINDSTRINGEXACT, -1, LPARAM(text.c_str()));
  return index >= 0 && SendItem(dialog, id, CB_SETCURSEL, index) == index;
}

COLORREF ControlColour(HWND dialog, int id) {
  const auto shot = Snapshot::OfClient(GetDlgItem(dialog, id));
  return shot ? shot->At(shot->width / 2, shot->height / 2) : CLR_INVALID;
}

bool AnswerColourDialog(HWND chooser, COLORREF colour) {
  // The chooser's red, green and blue fields.
  return SetItemText(chooser, 706, std::to_wstring(GetRValue(colour))) &&
         SetItemText(chooser, 707, std::to_wstring(GetGValue(colour))) &&
         SetItemText(chooser, 708, std::to_wstring(GetBValue(colour))) &&
         ClickAndWaitClosed(chooser, IDOK);
}

bool SetFileName(HWND dialog, const std::wstring& name) {
  HWND box = nullptr;
  WaitFor([&] {
    for (int id : {0x47C, 0x480})  // the name box of Wine's versions
      if (HWND b = GetDlgItem(dialog, id); b && IsWindowVisible(b)) box = b;
    return box != nullptr;
  });
  return Sends(box, WM_SETTEXT, 0, LPARAM(name.c_str())) &&
         WaitFor([&] { return WindowText(box) == name; }, 1000);
}

std::optional<Snapshot> Snapshot::OfClient(HWND window) {
  RECT client{};
  POINT origin{0, 0};
  if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin))
    return std::nullopt;
  Snapshot shot;
  shot.width = client.right;
  shot.height = client.bottom;
  if (shot.width <= 0 || shot.height <= 0) return shot;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  HBITMAP bitmap =
      CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  Finally release([&] {
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  });
  if (!bits || !BitBlt(memory, 0, 0, shot.width, shot.height, screen, origin.x,
                       origin.y, SRCCOPY))
    return std::nullopt;
  GdiFlush();
  const auto* p = static_cast<const uint32_t*>(bits);
  for (int i = 0; i < shot.width * shot.height; ++i)
    shot.pixels.push_back(
        RGB(p[i] >> 16 & 0xFF, p[i] >> 8 & 0xFF, p[i] & 0xFF));
  return shot;
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

void Program::End() {
  const auto mains = TopLevelWindows(pid_, L"kurvanamain", false);
  bool close_posted = false;
  // Modal windows first: a message box by No (so a save prompt discards),
  // OK or Cancel, any other by WM_CLOSE. Then the main window.
  WaitFor(
      [&] {
        const std::vector<HWND> dialogs = Dialogs();
        for (HWND dialog : dialogs) {
          HWND button = nullptr;
          for (int id : {IDCANCEL, IDOK, IDNO})
            if (IsMessageBox(dialog) && GetDlgItem(dialog, id))
              button = GetDlgItem(dialog, id);
          if (button)
            PostMessageW(button, BM_CLICK, 0, 0);
          else
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
        if (dialogs.empty() && !close_posted && !mains.empty())
          close_posted = PostMessageW(mains.front(), WM_CLOSE, 0, 0);
        return !running();
      },
      3000);
  if (running()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kTimeoutMs);
  }
}

HWND Program::WaitShown() {
  WaitFor(
      [this] {
        const auto mains = TopLevelWindows(pid_, L"kurvanamain", true);
        main_ = mains.empty() ? nullptr : mains.front();
        return main_ || !running();
      },
      kStartTimeoutMs);
  if (main_) WaitForInputIdle(process_, kTimeoutMs);
  return main_ && Settle() ? main_ : nullptr;
}

std::wstring Program::WaitTitle(const std::wstring& expected) const {
  std::wstring title;
  WaitFor([&] { return (title = Title()) == expected; });
  return title;
}

std::vector<MessageBoxView> Program::MessageBoxes() const {
  std::vector<MessageBoxView> boxes;
  for (HWND w : TopLevelWindows(pid_, L"#32770", false))
    if (IsMessageBox(w)) boxes.push_back(ReadMessageBox(w));
  return boxes;
}

std::optional<MessageBoxView> Program::WaitMessageBox() {
  HWND box = nullptr;
  WaitFor([&] {
    for (HWND w : Dialogs())
      if (IsMessageBox(w)) box = w;
    return box != nullptr;
  });
  // The icon is read once the box has painted it.
  MessageBoxView view;
  if (!box || !Sends(box, WM_NULL)) return std::nullopt;
  WaitFor([&] { return (view = ReadMessageBox(box)).icon != Icon::kUnknown; },
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
  return Sends(found, WM_NULL) ? found : nullptr;
}

bool Program::PressKeys(std::initializer_list<WORD> keys) {
  SetForegroundWindow(main_);
  if (!WaitFor([this] { return GetForegroundWindow() == main_; }, 2000))
    return false;
  std::vector<INPUT> inputs(2 * keys.size());
  for (size_t i = 0; i < inputs.size(); ++i) {
    const bool up = i >= keys.size();  // released in reverse order
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = keys.begin()[up ? inputs.size() - 1 - i : i];
    inputs[i].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  }
  return SendInput(inputs.size(), inputs.data(), sizeof(INPUT)) ==
         inputs.size();
}

bool Program::DropFiles(const std::vector<std::wstring>& paths) {
  // A DROPFILES block, the wide names each terminated, and an empty name.
  DROPFILES header{};
  header.pFiles = sizeof(header);
  header.fWide = TRUE;
  std::string block(reinterpret_cast<const char*>(&header), sizeof(header));
  for (const std::wstring& path : paths)
    block.append(reinterpret_cast<const char*>(path.c_str()),
                 (path.size() + 1) * 2);
  block.append(2, '\0');
  // An HDROP is a memory handle of the receiving process. A page-aligned
  // block allocated there passes as a fixed global memory handle, which
  // DragFinish in the program releases or ignores.
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid_);
  Finally close([process] { CloseHandle(process); });
  void* remote = VirtualAllocEx(process, nullptr, block.size(),
                                MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  return remote &&
         WriteProcessMemory(process, remote, block.data(), block.size(),
                            nullptr) &&
         PostMessageW(main_, WM_DROPFILES, WPARAM(remote), 0);
}

bool Program::Scroll(int bar, int code, int times) {
  for (int i = 0; i < times; ++i)
    if (!Sends(GraphArea(), bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, code))
      return false;
  return true;
}

bool Program::ToolbarOffers(int id) const {
  DWORD_PTR state = 0;
  return Sends(Toolbar(), TB_GETSTATE, id, 0, &state) && LRESULT(state) != -1 &&
         (state & TBSTATE_ENABLED);
}

std::optional<DWORD> Program::WaitExit(DWORD timeout_ms) {
  DWORD code = 0;
  if (!process_ || WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process_, &code))
    return std::nullopt;
  return code;
}

// --- Clipboard and registry --------------------------------------------------

void ClearClipboard() {
  if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 2000)) return;
  EmptyClipboard();
  CloseClipboard();
}

std::optional<MetafileView> WaitClipboardMetafile() {
  HENHMETAFILE copy = nullptr;
  WaitFor([&] {
    if (!IsClipboardFormatAvailable(CF_ENHMETAFILE) || !OpenClipboard(nullptr))
      return false;
    Finally close([] { CloseClipboard(); });
    if (HANDLE shared = GetClipboardData(CF_ENHMETAFILE))
      copy = CopyEnhMetaFileW(static_cast<HENHMETAFILE>(shared), nullptr);
    return copy != nullptr;
  });
  if (!copy) return std::nullopt;
  Finally release([copy] { DeleteEnhMetaFile(copy); });
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
        v->line_to_count += record->iType == EMR_LINETO;
        if (record->iType == EMR_CREATEPEN)
          v->pen_colours.push_back(
              reinterpret_cast<const EMRCREATEPEN*>(record)->lopn.lopnColor);
        if (record->iType == EMR_EXTCREATEPEN)
          v->pen_colours.push_back(
              reinterpret_cast<const EMREXTCREATEPEN*>(record)->elp.elpColor);
        return 1;
      },
      &view, nullptr);
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
  return text;
}

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
    return false;
  RegCloseKey(opened);
  return true;
}

}  // namespace e2e
