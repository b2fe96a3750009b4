#include "text_conversion.h"

#include <cstring>
#include <string>

namespace kurvana {

bool to_wide_text(char16_t* field, size_t unit_limit, const char* text) {
  const size_t bytes = std::strlen(text) + 1;
  const size_t units = file::code_page_to_utf16(text, bytes, field, unit_limit);
  if (units == 0) return false;
  field[units] = u'\0';
  return true;
}

bool to_narrow_text(char* field, size_t byte_limit, const char16_t* text) {
  const size_t units = std::char_traits<char16_t>::length(text) + 1;
  const size_t bytes = file::utf16_to_code_page(text, units, field, byte_limit);
  if (bytes == 0) return false;
  field[bytes] = '\0';
  return true;
}

}  // namespace kurvana
