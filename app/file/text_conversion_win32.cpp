// Code-page conversion through the Windows calls.
#include <windows.h>

#include <climits>

#include "text_conversion.h"

namespace kurvana {
namespace {

constexpr UINT kShiftJisCodePage = 932;

UINT windows_code_page(CodePage page) {
  switch (page) {
    case CodePage::kAnsi:
      return CP_ACP;
    case CodePage::kOem:
      return CP_OEMCP;
    case CodePage::kShiftJis:
      return kShiftJisCodePage;
  }
  return CP_ACP;
}

// A UTF-8 code page takes neither the best-fit flag nor the default-character
// report; invalid input is its only failure.
bool is_utf8(CodePage page) {
  switch (page) {
    case CodePage::kAnsi:
      return GetACP() == CP_UTF8;
    case CodePage::kOem:
      return GetOEMCP() == CP_UTF8;
    case CodePage::kShiftJis:
      return false;
  }
  return false;
}

bool fits_int(size_t value) { return value <= static_cast<size_t>(INT_MAX); }

}  // namespace

bool is_lead_byte(CodePage page, unsigned char byte) {
  if (page == CodePage::kShiftJis) return is_shift_jis_lead_byte(byte);
  return IsDBCSLeadByteEx(windows_code_page(page), byte) != 0;
}

namespace file {

size_t code_page_to_utf16(CodePage page, const char* text, size_t bytes,
                          char16_t* out, size_t limit) {
  if (!fits_int(bytes) || !fits_int(limit)) return 0;
  const int units = MultiByteToWideChar(
      windows_code_page(page), MB_ERR_INVALID_CHARS, text,
      static_cast<int>(bytes), reinterpret_cast<wchar_t*>(out),
      static_cast<int>(limit));
  return units > 0 ? static_cast<size_t>(units) : 0;
}

size_t utf16_to_code_page(CodePage page, const char16_t* text, size_t units,
                          char* out, size_t limit) {
  if (!fits_int(units) || !fits_int(limit)) return 0;
  const bool utf8 = is_utf8(page);
  BOOL used_default = FALSE;
  const int bytes = WideCharToMultiByte(
      windows_code_page(page),
      utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS,
      reinterpret_cast<const wchar_t*>(text), static_cast<int>(units), out,
      static_cast<int>(limit), nullptr, utf8 ? nullptr : &used_default);
  return bytes > 0 && !used_default ? static_cast<size_t>(bytes) : 0;
}

}  // namespace file
}  // namespace kurvana
