// The failures of the document file operations and the message each shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kurvana::file {

enum class FileError {
  kNone,
  kOutOfMemory,
  kCannotOpen,
  kCannotRead,
  kNotADocument,
  kNewerVersion,
  kUnicodeToAnsi,  // load: a stored text has no code-page form that fits
  kCannotWrite,
  kAnsiToUnicode,  // save: a text has no UTF-16 form that fits
};

// The message shown for error; empty for kNone.
std::u16string_view error_message(FileError error);

// The warning of a file with more than limit functions, naming limit.
std::u16string too_many_functions_message(uint32_t limit);

}  // namespace kurvana::file
