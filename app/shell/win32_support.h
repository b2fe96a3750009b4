// Small owners of Win32 handles and text helpers shared by the shell.
#pragma once

#include <windows.h>

namespace kurvana {

// The program's texts are UTF-16 in char16_t; the W calls take the same
// units as wchar_t.  These are the one place where one becomes the other.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
inline const wchar_t* as_wide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline wchar_t* as_wide(char16_t* text) {
  return reinterpret_cast<wchar_t*>(text);
}

// A message box with the program's caption.
int show_message(HWND owner, const char16_t* text, UINT flags);

// Closes a registry key it owns.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  // Creates or opens |path| under |root|.
  LSTATUS create(HKEY root, const wchar_t* path, REGSAM access) {
    return RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           access, nullptr, &key_, nullptr);
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// An icon loaded from the program's resources, destroyed on destruction.
class IconHandle {
 public:
  explicit IconHandle(HICON icon) : icon_(icon) {}
  IconHandle(const IconHandle&) = delete;
  IconHandle& operator=(const IconHandle&) = delete;
  ~IconHandle() {
    if (icon_) DestroyIcon(icon_);
  }
  HICON get() const { return icon_; }

 private:
  HICON icon_;
};

}  // namespace kurvana
