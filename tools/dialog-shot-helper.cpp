// Helper of tools/dialog-screenshots.sh, run under Wine beside a running
// kurvana.exe: opens one of its dialogs and prints the dialog's screen
// rectangle as an ImageMagick geometry (WxH+X+Y), or closes every dialog.
//
//   dialog-shot-helper list OUT       the function list (menu command)
//   dialog-shot-helper definition OUT the definition of the list's second
//                                     line (the first when there is one)
//   dialog-shot-helper settings OUT   the graph settings (menu command)
//   dialog-shot-helper close OUT      closes the program's dialogs
//
// It runs on the program's desktop, started by "explorer /desktop=...",
// which keeps no standard output: the result goes to the file OUT, which
// holds the geometry (or "ok") on success and "failed" otherwise.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kFunctionList = 40002;
constexpr int kGraphSettings = 40003;
constexpr int kListBox = 1006;
constexpr int kEditButton = 1009;

bool wait_for(HWND* out, HWND (*find)()) {
  for (int i = 0; i < 200; ++i) {
    if ((*out = find()) != nullptr) return true;
    Sleep(50);
  }
  return false;
}

HWND main_window() { return FindWindowW(L"kurvanamain", nullptr); }

struct Search {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (pid == search->pid && IsWindowVisible(window) &&
      std::wcscmp(name, L"#32770") == 0) {
    search->found.push_back(window);
  }
  return TRUE;
}

// The program's visible dialogs, the topmost first.
std::vector<HWND> dialogs() {
  Search search{0, {}};
  HWND main = main_window();
  if (!main) return {};
  GetWindowThreadProcessId(main, &search.pid);
  EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The dialog that holds control |id| of class |class_name|.
HWND dialog_with(int id, const wchar_t* class_name) {
  for (HWND dialog : dialogs()) {
    HWND control = GetDlgItem(dialog, id);
    wchar_t name[32] = {};
    if (control) GetClassNameW(control, name, 32);
    if (control && _wcsicmp(name, class_name) == 0) return dialog;
  }
  return nullptr;
}

HWND list_dialog() { return dialog_with(kListBox, L"ListBox"); }
HWND definition_dialog() { return dialog_with(1002, L"Edit"); }
HWND settings_dialog() { return dialog_with(1018, L"Edit"); }

FILE* out = nullptr;

int print_rectangle(HWND dialog) {
  // Let the dialog paint before the picture is taken.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  Sleep(500);
  RECT box;
  GetWindowRect(dialog, &box);
  std::fprintf(out, "%ldx%ld+%ld+%ld\n", box.right - box.left,
               box.bottom - box.top, box.left, box.top);
  return 0;
}

int open_by_command(int command, HWND (*find)()) {
  HWND main = nullptr;
  if (!wait_for(&main, main_window)) return 1;
  PostMessageW(main, WM_COMMAND, command, 0);
  HWND dialog = nullptr;
  if (!wait_for(&dialog, find)) return 1;
  return print_rectangle(dialog);
}

int open_definition() {
  HWND list = nullptr;
  if (!wait_for(&list, list_dialog)) {
    if (open_by_command(kFunctionList, list_dialog) != 0) return 1;
    wait_for(&list, list_dialog);
  }
  const LRESULT lines = SendDlgItemMessageW(list, kListBox, LB_GETCOUNT, 0, 0);
  SendDlgItemMessageW(list, kListBox, LB_SETCURSEL, lines > 1 ? 1 : 0, 0);
  PostMessageW(GetDlgItem(list, kEditButton), BM_CLICK, 0, 0);
  HWND dialog = nullptr;
  if (!wait_for(&dialog, definition_dialog)) return 1;
  return print_rectangle(dialog);
}

int close_dialogs() {
  for (int round = 0; round < 20; ++round) {
    const std::vector<HWND> open = dialogs();
    if (open.empty()) return 0;
    PostMessageW(open.front(), WM_CLOSE, 0, 0);
    Sleep(200);
  }
  return 1;
}

}  // namespace

int run(std::wstring_view what) {
  if (what == L"list") return open_by_command(kFunctionList, list_dialog);
  if (what == L"definition") return open_definition();
  if (what == L"settings") {
    return open_by_command(kGraphSettings, settings_dialog);
  }
  if (what == L"close") {
    const int status = close_dialogs();
    if (status == 0) std::fprintf(out, "ok\n");
    return status;
  }
  return 2;
}

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  // Written whole at the end, so that a reader never sees half of it.
  const std::wstring path = argv[2];
  const std::wstring partial = path + L".part";
  out = _wfopen(partial.c_str(), L"w");
  if (!out) return 2;
  const int status = run(argv[1]);
  if (status != 0) std::fprintf(out, "failed\n");
  std::fclose(out);
  MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  return status;
}
