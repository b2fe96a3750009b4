// Reading and writing the document file (.kvn): a 112-byte header holding
// the view settings, then one 1120-byte record per function, little-endian,
// with the expression texts stored as UTF-16LE.
#pragma once

#include "document.h"
#include "reporter.h"

namespace kurvana {

// Reads the document at path into view and list.  They are written only when
// the whole file has been read, so a failed load leaves them as they were.
// A file with more than ten functions is loaded as its first ten after a
// warning.  Every failure shows its message (warning icon) through reporter
// and returns false.
bool load_document(Reporter& reporter, const char* path, ViewSettings& view,
                   FunctionList& list);

// Writes view and the first count functions of list to path.  The document is
// written completely beside path and then moved over it, so a failed save
// leaves any previous file at path as it was.  Every failure shows its
// message (warning icon) through reporter and returns false.
bool save_document(Reporter& reporter, const char* path,
                   const ViewSettings& view, const FunctionList& list);

}  // namespace kurvana
