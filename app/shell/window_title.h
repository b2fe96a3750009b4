// The document part of the window title.
#pragma once

#include <string>

namespace kurvana {

// True for a lead byte of a double-byte character of the code page.
using LeadBytePredicate = bool (*)(unsigned char byte);

// Lead bytes of Shift-JIS (code page 932).
bool is_shift_jis_lead_byte(unsigned char byte);

// The last component of |path|: what follows the last backslash or slash,
// or a leading drive letter and colon.  A trail byte of a double-byte
// character is never taken for a separator.
std::string file_name_of(const std::string& path, LeadBytePredicate is_lead);

}  // namespace kurvana
