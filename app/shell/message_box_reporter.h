// The Windows side of the message seam: a message box owned by a window,
// with the program's name as caption.
#pragma once

#include <windows.h>

#include "reporter.h"

namespace kurvana {

class MessageBoxReporter : public Reporter {
 public:
  explicit MessageBoxReporter(HWND owner) : owner_(owner) {}

  void show(std::u16string_view text, MessageIcon icon) override;

 private:
  HWND owner_;
};

}  // namespace kurvana
