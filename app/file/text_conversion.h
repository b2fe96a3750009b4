// Conversion of the expression texts between the multibyte code page of the
// documents in memory (Shift-JIS: the OEM code page on Windows, CP932
// elsewhere) and the UTF-16 of the file.  Text that the other side cannot
// represent exactly is an error, never replaced by a look-alike.
#pragma once

#include <cstddef>
#include <string>

namespace kurvana {

// Converts the NUL-terminated multibyte text, terminator included, into at
// most unit_limit units of field and writes a second terminator after them:
// field must hold unit_limit + 1 units.  False when the text is not valid in
// the code page or does not fit; field is then unspecified.
bool to_wide_text(char16_t* field, size_t unit_limit, const char* text);

// Converts the NUL-terminated UTF-16 text, terminator included, into at most
// byte_limit bytes of field and writes a second terminator after them: field
// must hold byte_limit + 1 bytes.  False when the code page cannot represent
// the text or it does not fit; field is then unspecified.
bool to_narrow_text(char* field, size_t byte_limit, const char16_t* text);

// True for a lead byte of a double-byte character of the code page.
using LeadBytePredicate = bool (*)(unsigned char byte);

// Lead bytes of Shift-JIS (code page 932).
bool is_shift_jis_lead_byte(unsigned char byte);

// The last component of |path|: what follows the last backslash or slash,
// or a leading drive letter and colon.  A trail byte of a double-byte
// character is never taken for a separator.
std::string file_name_of(const std::string& path, LeadBytePredicate is_lead);

namespace file {

// Lead bytes of the code page that file names are written in (the ANSI code
// page on Windows, Shift-JIS elsewhere).
bool is_path_lead_byte(unsigned char byte);

// The platform's conversions, one implementation per platform.  Each
// converts exactly the given units or bytes into at most limit of the other
// and returns how many it wrote, or 0 when it failed.
size_t code_page_to_utf16(const char* text, size_t bytes, char16_t* out,
                          size_t limit);
size_t utf16_to_code_page(const char16_t* text, size_t units, char* out,
                          size_t limit);

}  // namespace file
}  // namespace kurvana
