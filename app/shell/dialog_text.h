// The texts and choice tables of the three dialogs, kept apart from the
// window system: number formatting and parsing as the dialogs show and read
// them, the byte limit of the narrow expression texts, and the lines of the
// function list.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "document.h"
#include "text_conversion.h"  // CodePage
#include "texts.h"

namespace kurvana {

// Removes the trailing zeros of a number formatted with "%f", and the dot
// when nothing follows it: "-10.000000" becomes "-10", "2.500000" "2.5".
// A text without a dot (looked for character by character, so the trail
// byte of a double-byte character is never taken for one) stays as it is.
void trim_number_text(std::string& text, CodePage page);

// A domain end as the definition dialog shows it: "%f", then trimmed.  Any
// double fits, however large a value a document file brought.
std::string format_domain(double value, CodePage page);

// A domain field read as strtod does: leading blanks skipped, the number
// ends at the first character that does not belong to it, no number is 0.
double parse_domain(const std::string& text);

// A range field read as a 32-bit strtol in base 10 does: blanks and a sign
// allowed, digits up to the first other character, no digits give 0, and
// values beyond the 32-bit range saturate.
int32_t parse_range(const std::string& text);

// The longest head of |text| of at most |limit| bytes that ends on a
// character boundary: a double-byte character is kept whole or dropped.
std::string cut_to_bytes(const std::string& text, size_t limit, CodePage page);

// The character index of byte |offset| of |text|; offsets past the end
// count one character per byte.  Each character of a double-byte code page
// is one UTF-16 unit, so this is the index that an edit control selects by.
size_t character_index(const std::string& text, size_t offset, CodePage page);

// Choice lists: the text shown and the value stored.
struct DensityChoice {
  int32_t value;
  const char16_t* text;
};

inline constexpr std::array<DensityChoice, 6> kDensityChoices = {{
    {1, text::kDensityCoarse},
    {2, text::kDensityFairlyCoarse},
    {3, text::kDensityNormal},
    {4, text::kDensityFairlyFine},
    {5, text::kDensityFine},
    {6, text::kDensityVeryFine},
}};

inline constexpr std::array<uint32_t, 19> kZoomChoices = {
    10,  20,  30,  40,  50,  60,  70,  80,  90,  100,
    120, 150, 200, 250, 300, 400, 500, 750, 1000};

inline constexpr std::array<uint32_t, 10> kWidthChoices = {1, 2, 3, 4, 5,
                                                           6, 7, 8, 9, 10};

// What the definition dialog shows for each kind: the label of the first
// expression, the label between the domain ends (null: left as it is), and
// which fields take input.
struct KindLayout {
  const char16_t* expression_label;
  const char16_t* domain_label;
  bool second_expression_enabled;
  bool domain_enabled;
};

// The layout of FUNCTION_EXPLICIT to FUNCTION_IMPLICIT; null for any other
// kind.
const KindLayout* kind_layout(int32_t kind);

// The list line of an entry: the visibility mark, then the kind's form with
// the expression texts as they are (ANSI code page); text::kLineUnknownKind
// for an unknown kind.
std::u16string format_list_entry(const FunctionEntry& entry);

}  // namespace kurvana
