#include "win32_support.h"

#include "texts.h"

namespace kurvana {

std::u16string widen(const std::string& text) {
  if (text.empty()) return {};
  const int units = MultiByteToWideChar(
      CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string wide(units, u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                      as_wide(wide.data()), units);
  return wide;
}

bool narrow(const std::u16string& text, std::string* out) {
  out->clear();
  if (text.empty()) return true;
  BOOL lossy = FALSE;
  const int bytes = WideCharToMultiByte(
      CP_ACP, WC_NO_BEST_FIT_CHARS, as_wide(text.c_str()),
      static_cast<int>(text.size()), nullptr, 0, nullptr, &lossy);
  if (bytes <= 0 || lossy) return false;
  out->assign(bytes, '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, as_wide(text.c_str()),
                      static_cast<int>(text.size()), out->data(), bytes,
                      nullptr, nullptr);
  return true;
}

int show_message(HWND owner, const char16_t* text, UINT flags) {
  return MessageBoxW(owner, as_wide(text), as_wide(text::kApplicationName),
                     flags);
}

}  // namespace kurvana
