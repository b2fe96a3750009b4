// Code-page conversion through the Windows calls, in the OEM code page.
#include <windows.h>

#include <climits>

#include "text_conversion.h"

namespace kurvana::file {
namespace {

bool fits_int(size_t value) { return value <= static_cast<size_t>(INT_MAX); }

// A UTF-8 code page takes neither the best-fit flag nor the default-character
// report; invalid input is its only failure.
bool oem_code_page_is_utf8() { return GetOEMCP() == CP_UTF8; }

}  // namespace

size_t code_page_to_utf16(const char* text, size_t bytes, char16_t* out,
                          size_t limit) {
  if (!fits_int(bytes) || !fits_int(limit)) return 0;
  const int units = MultiByteToWideChar(
      CP_OEMCP, MB_ERR_INVALID_CHARS, text, static_cast<int>(bytes),
      reinterpret_cast<wchar_t*>(out), static_cast<int>(limit));
  return units > 0 ? static_cast<size_t>(units) : 0;
}

size_t utf16_to_code_page(const char16_t* text, size_t units, char* out,
                          size_t limit) {
  if (!fits_int(units) || !fits_int(limit)) return 0;
  const bool utf8 = oem_code_page_is_utf8();
  BOOL used_default = FALSE;
  const int bytes = WideCharToMultiByte(
      CP_OEMCP, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS,
      reinterpret_cast<const wchar_t*>(text), static_cast<int>(units), out,
      static_cast<int>(limit), nullptr, utf8 ? nullptr : &used_default);
  return bytes > 0 && !used_default ? static_cast<size_t>(bytes) : 0;
}

bool is_path_lead_byte(unsigned char byte) { return IsDBCSLeadByte(byte) != 0; }

}  // namespace kurvana::file
