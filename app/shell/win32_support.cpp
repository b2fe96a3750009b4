#include "win32_support.h"

#include "texts.h"

namespace kurvana {

int show_message(HWND owner, const char16_t* text, UINT flags) {
  return MessageBoxW(owner, as_wide(text), as_wide(text::kApplicationName),
                     flags);
}

}  // namespace kurvana
