// Registration of the document type with the shell, so that opening a
// document file starts the program with it.
#include <cstdio>

#include "file_services.h"
#include "resource.h"
#include "texts.h"
#include "win32_support.h"

namespace kurvana {

namespace {

constexpr wchar_t kExtensionKey[] = L".kvn";
constexpr wchar_t kTypeKey[] = L"KurvanaFile";
constexpr wchar_t kIconKey[] = L"KurvanaFile\\DefaultIcon";
constexpr wchar_t kCommandKey[] = L"KurvanaFile\\shell\\open\\command";

// Sets the default value of |path|; false after showing why not.
bool write_default_value(const wchar_t* path, const std::wstring& value) {
  RegistryKey key;
  if (key.create(HKEY_CLASSES_ROOT, path, KEY_WRITE) != ERROR_SUCCESS) {
    show_message(nullptr, text::kCannotOpenRegistry, MB_OK | MB_ICONERROR);
    return false;
  }
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  if (RegSetValueExW(key.get(), nullptr, 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()),
                     bytes) != ERROR_SUCCESS) {
    show_message(nullptr, text::kCannotWriteRegistry, MB_OK | MB_ICONERROR);
    return false;
  }
  return true;
}

}  // namespace

bool register_file_type(HWND owner) {
  (void)owner;
  if (!write_default_value(kExtensionKey, kTypeKey)) return false;
  if (!write_default_value(kTypeKey, as_wide(text::kDocumentTypeName)))
    return false;
  wchar_t program[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    show_message(nullptr, text::kCannotGetModuleName, MB_OK | MB_ICONERROR);
    return false;
  }
  wchar_t icon[MAX_PATH + 16];
  swprintf(icon, sizeof icon / sizeof icon[0], L"%ls,-%d", program,
           IDI_DOCUMENT);
  if (!write_default_value(kIconKey, icon)) return false;
  // Quoted, so that a program folder with a blank (Program Files) is not
  // cut at the blank when the shell starts the command.
  return write_default_value(kCommandKey,
                             L"\"" + std::wstring(program) + L"\" %1");
}

bool unregister_file_type() {
  // Deepest keys first, so that each key is empty when it goes.
  const wchar_t* const keys[] = {
      kExtensionKey,         kIconKey, kCommandKey, L"KurvanaFile\\shell\\open",
      L"KurvanaFile\\shell", kTypeKey};
  bool all_deleted = true;
  for (const wchar_t* key : keys) {
    if (RegDeleteKeyW(HKEY_CLASSES_ROOT, key) != ERROR_SUCCESS) {
      all_deleted = false;
    }
  }
  return all_deleted;
}

}  // namespace kurvana
