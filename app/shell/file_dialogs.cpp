// The open and save dialogs with the document file filter.
#include <windows.h>
// windows.h first
#include <commdlg.h>

#include "file_services.h"
#include "win32_support.h"

namespace kurvana {

namespace {

// Pairs of display text and pattern, double-null terminated.
constexpr wchar_t kFilter[] =
    L"グラフファイル(*.kvn)\0*.kvn\0すべてファイル(*.*)\0*.*\0";

bool choose_file(HWND owner, std::string* path, const wchar_t* title,
                 DWORD options, bool save) {
  wchar_t buffer[kPathBytes] = {};
  const std::wstring initial = widen(*path);
  if (initial.size() < kPathBytes) initial.copy(buffer, initial.size());
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;  // the basic record
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer;
  dialog.nMaxFile = kPathBytes;
  dialog.lpstrTitle = title;
  dialog.lpstrDefExt = L"kvn";
  dialog.Flags = options;
  const BOOL chosen =
      save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return false;
  std::string chosen_path;
  // A name the system code page cannot spell cannot be opened by path.
  if (!narrow(buffer, &chosen_path) || chosen_path.size() >= kPathBytes) {
    show_message(owner, L"ファイルを開けません。", MB_OK | MB_ICONWARNING);
    return false;
  }
  *path = chosen_path;
  return true;
}

}  // namespace

bool choose_open_file(HWND owner, std::string* path) {
  return choose_file(owner, path, L"ファイルを開く",
                     OFN_ENABLESIZING | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                     false);
}

bool choose_save_file(HWND owner, std::string* path) {
  return choose_file(owner, path, L"名前を付けて保存",
                     OFN_ENABLESIZING | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                     true);
}

}  // namespace kurvana
