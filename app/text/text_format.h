// Filling the catalogue's formats.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kurvana::text {

// |format| with each "%s" replaced by the next of |values|, in order; a
// "%s" with no value left is kept.  The values are inserted as they are,
// never read as formats themselves.
std::u16string fill(std::u16string_view format,
                    std::initializer_list<std::u16string_view> values);

// |value| in decimal digits.
std::u16string decimal(int64_t value);

}  // namespace kurvana::text
