// Copy of the picture to the clipboard as an enhanced metafile.
#pragma once

#include <windows.h>

#include "document.h"

namespace kurvana {

void copy_as_metafile(HDC reference, const ViewSettings& view,
                      const PointTable& points, const FunctionList& functions);

}  // namespace kurvana
