#include "file_messages.h"

#include <array>

#include "text_format.h"
#include "texts.h"

namespace kurvana::file {
namespace {

// Indexed by FileError.
constexpr std::array<std::u16string_view, 9> kMessages = {
    u"",
    text::kOutOfMemory,
    text::kCannotOpenFile,
    text::kCannotReadFile,
    text::kNotADocument,
    text::kNewerVersion,
    text::kUnicodeToAnsiFailed,
    text::kCannotWriteFile,
    text::kAnsiToUnicodeFailed,
};
static_assert(kMessages.size() ==
              static_cast<size_t>(FileError::kAnsiToUnicode) + 1);

}  // namespace

std::u16string_view error_message(FileError error) {
  return kMessages[static_cast<size_t>(error)];
}

std::u16string too_many_functions_message(uint32_t limit) {
  return text::fill(text::kTooManyFunctions, {text::decimal(limit)});
}

}  // namespace kurvana::file
