// The function list dialog: adds, duplicates, reorders, edits and removes
// the document's functions on a working copy that OK writes back.
#pragma once

#include <windows.h>

#include "document.h"

namespace kurvana {

// 1 after OK (|functions| replaced by the working copy), 0 after cancel or
// close, or when the working copy cannot be had (|functions| untouched).
int edit_function_list(HINSTANCE instance, HWND owner, FunctionList& functions);

}  // namespace kurvana
