// The open and save dialogs with the document file filter.
#include <windows.h>
// windows.h first
#include <commdlg.h>

#include "file_services.h"
#include "text_conversion.h"
#include "texts.h"
#include "win32_support.h"

namespace kurvana {

namespace {

bool choose_file(HWND owner, std::string* path, const char16_t* title,
                 DWORD options, bool save) {
  char16_t buffer[kPathBytes] = {};
  const std::u16string initial = to_utf16(*path, CodePage::kAnsi).value_or(u"");
  if (initial.size() < kPathBytes) initial.copy(buffer, initial.size());
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;  // the basic record
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = as_wide(text::kFileFilter);
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = as_wide(buffer);
  dialog.nMaxFile = kPathBytes;
  dialog.lpstrTitle = as_wide(title);
  dialog.lpstrDefExt = L"kvn";
  dialog.Flags = options;
  const BOOL chosen =
      save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return false;
  // A name the system code page cannot spell cannot be opened by path.
  const std::optional<std::string> chosen_path =
      to_code_page(buffer, CodePage::kAnsi);
  if (!chosen_path || chosen_path->size() >= kPathBytes) {
    show_message(owner, text::kCannotOpenFile, MB_OK | MB_ICONWARNING);
    return false;
  }
  *path = *chosen_path;
  return true;
}

}  // namespace

bool choose_open_file(HWND owner, std::string* path) {
  return choose_file(owner, path, text::kOpenTitle,
                     OFN_ENABLESIZING | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                     false);
}

bool choose_save_file(HWND owner, std::string* path) {
  return choose_file(owner, path, text::kSaveAsTitle,
                     OFN_ENABLESIZING | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                     true);
}

}  // namespace kurvana
