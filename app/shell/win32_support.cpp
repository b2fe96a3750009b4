#include "win32_support.h"

namespace kurvana {

const wchar_t kApplicationName[] = L"Kurvana";

std::wstring widen(const std::string& text) {
  if (text.empty()) return {};
  const int units = MultiByteToWideChar(
      CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(units, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                      wide.data(), units);
  return wide;
}

bool narrow(const std::wstring& text, std::string* out) {
  out->clear();
  if (text.empty()) return true;
  BOOL lossy = FALSE;
  const int bytes = WideCharToMultiByte(
      CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
      nullptr, 0, nullptr, &lossy);
  if (bytes <= 0 || lossy) return false;
  out->assign(bytes, '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(),
                      static_cast<int>(text.size()), out->data(), bytes,
                      nullptr, nullptr);
  return true;
}

int show_message(HWND owner, const wchar_t* text, UINT flags) {
  return MessageBoxW(owner, text, kApplicationName, flags);
}

}  // namespace kurvana
