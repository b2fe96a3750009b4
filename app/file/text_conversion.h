// Every conversion between the program's multibyte texts and UTF-16.  The
// code page is named by its use, as each use has always had its own:
// expressions in the document file go through the OEM code page, paths and
// the dialogs' texts through the ANSI code page, and the library's messages
// are Shift-JIS whatever the system's code page.  Outside Windows all three
// are CP932 (Shift-JIS as Windows has it).  Text that the other side cannot
// represent exactly, or that is not valid in its encoding, is refused,
// never replaced by a look-alike or a default character.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kurvana {

enum class CodePage {
  kAnsi,      // paths and the texts of the dialogs
  kOem,       // the expression texts of the document file
  kShiftJis,  // the eval library's messages (code page 932)
};

// The whole text in the other encoding; none when it is refused.
std::optional<std::u16string> to_utf16(std::string_view text, CodePage page);
std::optional<std::string> to_code_page(std::u16string_view text,
                                        CodePage page);

// The document file's fields, in the OEM code page.  Converts the
// NUL-terminated multibyte text, terminator included, into at most
// unit_limit units of field and writes a second terminator after them:
// field must hold unit_limit + 1 units.  False when the text is not valid in
// the code page or does not fit; field is then unspecified.
bool to_wide_text(char16_t* field, size_t unit_limit, const char* text);

// Converts the NUL-terminated UTF-16 text, terminator included, into at most
// byte_limit bytes of field and writes a second terminator after them: field
// must hold byte_limit + 1 bytes.  False when the code page cannot represent
// the text or it does not fit; field is then unspecified.
bool to_narrow_text(char* field, size_t byte_limit, const char16_t* text);

// True for a lead byte of a double-byte character of the code page.
bool is_lead_byte(CodePage page, unsigned char byte);

// Lead bytes of Shift-JIS (code page 932).
bool is_shift_jis_lead_byte(unsigned char byte);

// The last component of |path|: what follows the last backslash or slash,
// or a leading drive letter and colon.  A trail byte of a double-byte
// character of |page| is never taken for a separator.
std::string file_name_of(const std::string& path, CodePage page);

namespace file {

// The platform's conversions, one implementation per platform.  Each
// converts exactly the given units or bytes into at most limit of the other
// and returns how many it wrote, or 0 when it failed.
size_t code_page_to_utf16(CodePage page, const char* text, size_t bytes,
                          char16_t* out, size_t limit);
size_t utf16_to_code_page(CodePage page, const char16_t* text, size_t units,
                          char* out, size_t limit);

}  // namespace file
}  // namespace kurvana
