// Seam through which the core shows its messages: a message box owned by
// the program's window on Windows, a recorder in tests.
#pragma once

#include <string_view>

namespace kurvana {

enum class MessageIcon {
  kError,        // a failure that stops an operation
  kWarning,      // refused input, file errors
  kInformation,  // the about box
};

class Reporter {
 public:
  virtual ~Reporter() = default;
  virtual void show(std::u16string_view text, MessageIcon icon) = 0;
};

}  // namespace kurvana
