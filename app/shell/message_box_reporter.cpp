#include "message_box_reporter.h"

#include <string>

#include "texts.h"
#include "win32_support.h"

namespace kurvana {

namespace {

UINT icon_style(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kError:
      return MB_ICONERROR;
    case MessageIcon::kWarning:
      return MB_ICONWARNING;
    case MessageIcon::kInformation:
      return MB_ICONINFORMATION;
  }
  return MB_ICONERROR;
}

}  // namespace

void MessageBoxReporter::show(std::u16string_view text, MessageIcon icon) {
  // Both are UTF-16 on Windows; the copy adds the terminator the view lacks.
  const std::wstring wide(text.begin(), text.end());
  MessageBoxW(owner_, wide.c_str(), as_wide(text::kApplicationName),
              MB_OK | icon_style(icon));
}

}  // namespace kurvana
