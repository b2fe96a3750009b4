// The function definition dialog: edits one function entry and accepts it
// only when every expression compiles and the domain and density are valid.
#pragma once

#include <windows.h>

#include "document.h"

namespace kurvana {

// Opens the dialog on a new function, writing straight into |entry|, which
// the caller prepares (all zero but the colour) and drops after a cancel.
// 1 after OK, 0 after cancel or close.
int define_function(HINSTANCE instance, HWND owner, FunctionEntry& entry);

// Opens the dialog on a copy of |entry| and copies it back after OK.  1 after
// OK, 0 after cancel or close, |entry| untouched.
int edit_function(HINSTANCE instance, HWND owner, FunctionEntry& entry);

}  // namespace kurvana
