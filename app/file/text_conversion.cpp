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

bool is_shift_jis_lead_byte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string file_name_of(const std::string& path, LeadBytePredicate is_lead) {
  size_t start = 0;
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') ||
       (path[0] >= 'a' && path[0] <= 'z'))) {
    start = 2;
  }
  for (size_t i = start; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (is_lead(byte) && i + 1 < path.size()) {
      ++i;  // skip the trail byte
    } else if (byte == '\\' || byte == '/') {
      start = i + 1;
    }
  }
  return path.substr(start);
}

}  // namespace kurvana
