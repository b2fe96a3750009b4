// Small owners of Win32 handles and text helpers shared by the shell.
#pragma once

#include <windows.h>
// windows.h first
#include <commctrl.h>
#include <shellapi.h>

#include <memory>

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

// An image list, destroyed on destruction.
class ImageList {
 public:
  explicit ImageList(HIMAGELIST images) : images_(images) {}
  ImageList(const ImageList&) = delete;
  ImageList& operator=(const ImageList&) = delete;
  ~ImageList() {
    if (images_) ImageList_Destroy(images_);
  }
  HIMAGELIST get() const { return images_; }

 private:
  HIMAGELIST images_;
};

// The files of a WM_DROPFILES message, released on destruction.
class DropHandle {
 public:
  explicit DropHandle(HDROP drop) : drop_(drop) {}
  DropHandle(const DropHandle&) = delete;
  DropHandle& operator=(const DropHandle&) = delete;
  ~DropHandle() {
    if (drop_) DragFinish(drop_);
  }
  HDROP get() const { return drop_; }

 private:
  HDROP drop_;
};

// An object owned through a window's GWLP_USERDATA.  give_window_data
// stores it there (deleting one stored before); take_window_data takes it
// back, leaving null, so that the caller's owner deletes it.
template <typename T>
T* window_data(HWND window) {
  return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

template <typename T>
std::unique_ptr<T> take_window_data(HWND window) {
  return std::unique_ptr<T>(
      reinterpret_cast<T*>(SetWindowLongPtrW(window, GWLP_USERDATA, 0)));
}

template <typename T>
void give_window_data(HWND window, std::unique_ptr<T> object) {
  take_window_data<T>(window);
  SetWindowLongPtrW(window, GWLP_USERDATA,
                    reinterpret_cast<LONG_PTR>(object.release()));
}

}  // namespace kurvana
