// The graph settings dialog: the view range, zoom, pen widths, tick mode
// and colours, edited on a working copy that OK writes back.
#pragma once

#include <windows.h>

#include "document.h"

namespace kurvana {

// 1 after OK (|view| replaced), 0 after cancel or close (|view| untouched).
int edit_view_settings(HINSTANCE instance, HWND owner, ViewSettings& view);

}  // namespace kurvana
