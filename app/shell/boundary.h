// The error policy of the program, enforced where Windows calls into it:
// the window procedures, the dialog procedure and the entry routine.
//
// No exception crosses such a boundary: unwinding through the system's
// frames is undefined.  The program allocates with the throwing forms (new,
// make_unique, std::string); a std::bad_alloc that reaches a boundary shows
// "out of memory" (text::kOutOfMemory) owned by the window at hand, and any
// other exception ends the message quietly.  Either way the message fails
// with the boundary's own result, and the owners of everything made so far
// have released it on the way out.
#pragma once

#include <windows.h>

#include <new>

#include "texts.h"
#include "win32_support.h"

namespace kurvana {

// body() for a message of |window|; |failed| when it throws.
template <typename Result, typename Body>
Result guarded(HWND window, Result failed, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    show_message(window, text::kOutOfMemory, MB_OK | MB_ICONERROR);
  } catch (...) {
  }
  return failed;
}

}  // namespace kurvana
