// The main window's restored rectangle, kept per user in the registry.
#include "file_services.h"
#include "texts.h"
#include "win32_support.h"

namespace kurvana {

namespace {

constexpr wchar_t kPlacementKey[] = L"Software\\Tarnwell Software\\kurvana";
constexpr const wchar_t* kValueNames[] = {L"WinLeft", L"WinTop", L"WinWidth",
                                          L"WinHeight"};

bool read_value(HKEY key, const wchar_t* name, int32_t* value) {
  DWORD size = sizeof *value;
  return RegQueryValueExW(key, name, nullptr, nullptr,
                          reinterpret_cast<BYTE*>(value),
                          &size) == ERROR_SUCCESS &&
         size == sizeof *value;
}

}  // namespace

bool restore_window_placement(HWND window) {
  RegistryKey key;
  if (key.create(HKEY_CURRENT_USER, kPlacementKey, KEY_READ) != ERROR_SUCCESS) {
    return false;
  }
  int32_t values[4] = {};
  for (int i = 0; i < 4; ++i) {
    if (!read_value(key.get(), kValueNames[i], &values[i])) return false;
  }
  // The values are the normal rectangle as GetWindowPlacement gives it, in
  // work-area coordinates, so they go back the same way (a taskbar at the
  // top or left would otherwise move the window by its size on every
  // start).  The stored extents are one more than the rectangle's size.
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  GetWindowPlacement(window, &placement);
  placement.flags = 0;
  placement.showCmd = IsWindowVisible(window) ? SW_SHOWNORMAL : SW_HIDE;
  placement.rcNormalPosition = {values[0], values[1], values[0] + values[2] - 1,
                                values[1] + values[3] - 1};
  SetWindowPlacement(window, &placement);
  return true;
}

bool save_window_placement(HWND window) {
  RegistryKey key;
  if (key.create(HKEY_CURRENT_USER, kPlacementKey, KEY_WRITE) !=
      ERROR_SUCCESS) {
    show_message(window, text::kCannotOpenRegistry, MB_OK | MB_ICONERROR);
    return false;
  }
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  GetWindowPlacement(window, &placement);
  const RECT& normal = placement.rcNormalPosition;
  const DWORD values[4] = {static_cast<DWORD>(normal.left),
                           static_cast<DWORD>(normal.top),
                           static_cast<DWORD>(normal.right - normal.left + 1),
                           static_cast<DWORD>(normal.bottom - normal.top + 1)};
  for (int i = 0; i < 4; ++i) {
    if (RegSetValueExW(key.get(), kValueNames[i], 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&values[i]),
                       sizeof values[i]) != ERROR_SUCCESS) {
      show_message(window, text::kCannotWriteRegistry, MB_OK | MB_ICONERROR);
      return false;
    }
  }
  return true;
}

}  // namespace kurvana
