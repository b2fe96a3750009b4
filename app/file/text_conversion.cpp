#include "text_conversion.h"

#include <cstring>

namespace kurvana {

namespace {

// The most bytes one UTF-16 unit takes in a multibyte code page: 2 in a
// double-byte one, 3 in UTF-8.  Each byte gives at most one unit back.
constexpr size_t kMostBytesPerUnit = 3;

}  // namespace

std::optional<std::u16string> to_utf16(std::string_view text, CodePage page) {
  if (text.empty()) return std::u16string();
  std::u16string wide(text.size(), u'\0');
  const size_t units = file::code_page_to_utf16(page, text.data(), text.size(),
                                                wide.data(), wide.size());
  if (units == 0) return std::nullopt;
  wide.resize(units);
  return wide;
}

std::optional<std::string> to_code_page(std::u16string_view text,
                                        CodePage page) {
  if (text.empty()) return std::string();
  std::string narrow(text.size() * kMostBytesPerUnit, '\0');
  const size_t bytes = file::utf16_to_code_page(page, text.data(), text.size(),
                                                narrow.data(), narrow.size());
  if (bytes == 0) return std::nullopt;
  narrow.resize(bytes);
  return narrow;
}

bool to_wide_text(char16_t* field, size_t unit_limit, const char* text) {
  const size_t bytes = std::strlen(text) + 1;
  const size_t units =
      file::code_page_to_utf16(CodePage::kOem, text, bytes, field, unit_limit);
  if (units == 0) return false;
  field[units] = u'\0';
  return true;
}

bool to_narrow_text(char* field, size_t byte_limit, const char16_t* text) {
  const size_t units = std::char_traits<char16_t>::length(text) + 1;
  const size_t bytes =
      file::utf16_to_code_page(CodePage::kOem, text, units, field, byte_limit);
  if (bytes == 0) return false;
  field[bytes] = '\0';
  return true;
}

bool is_shift_jis_lead_byte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string file_name_of(const std::string& path, CodePage page) {
  size_t start = 0;
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') ||
       (path[0] >= 'a' && path[0] <= 'z'))) {
    start = 2;
  }
  for (size_t i = start; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (is_lead_byte(page, byte) && i + 1 < path.size()) {
      ++i;  // skip the trail byte
    } else if (byte == '\\' || byte == '/') {
      start = i + 1;
    }
  }
  return path.substr(start);
}

}  // namespace kurvana
