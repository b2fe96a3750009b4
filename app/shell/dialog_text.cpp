#include "dialog_text.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "text_format.h"

namespace kurvana {

namespace {

// Bytes of the character that starts at |at|: 2 for a lead byte followed
// by a trail byte, else 1.
size_t character_bytes(const std::string& text, size_t at, CodePage page) {
  const auto byte = static_cast<unsigned char>(text[at]);
  return is_lead_byte(page, byte) && at + 1 < text.size() ? 2 : 1;
}

bool has_dot(const std::string& text, CodePage page) {
  for (size_t at = 0; at < text.size(); at += character_bytes(text, at, page)) {
    if (text[at] == '.') return true;
  }
  return false;
}

// The text of an entry's field, which holds at most its size in bytes, as
// the list shows it; empty when the code page refuses it.
std::u16string shown_text(const char (&field)[EXPRESSION_BYTES]) {
  return to_utf16({field, strnlen(field, sizeof field)}, CodePage::kAnsi)
      .value_or(u"");
}

constexpr KindLayout kKindLayouts[] = {
    {text::kLabelFofX, text::kBetweenX, false, true},  // FUNCTION_EXPLICIT
    {text::kLabelFofT, text::kBetweenT, true, true},   // FUNCTION_PARAMETRIC
    {text::kLabelFofT, text::kBetweenT, false, true},  // FUNCTION_POLAR
    {text::kLabelFofXY, nullptr, false, false},        // FUNCTION_IMPLICIT
};

}  // namespace

void trim_number_text(std::string& text, CodePage page) {
  if (!has_dot(text, page)) return;
  // Neither '0' nor '.' is a trail byte of a double-byte code page, so the
  // walk back cannot stop inside a character.
  while (!text.empty()) {
    const char last = text.back();
    if (last != '0' && last != '.') return;
    text.pop_back();
    if (last == '.') return;
  }
}

std::string format_domain(double value, CodePage page) {
  // DBL_MAX takes 309 digits before the point; 512 bytes hold any double.
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%f", value);
  std::string text = buffer;
  trim_number_text(text, page);
  return text;
}

double parse_domain(const std::string& text) {
  return std::strtod(text.c_str(), nullptr);
}

int32_t parse_range(const std::string& text) {
  const long value = std::strtol(text.c_str(), nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

std::string cut_to_bytes(const std::string& text, size_t limit, CodePage page) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t next = end + character_bytes(text, end, page);
    if (next > limit) break;
    end = next;
  }
  return text.substr(0, end);
}

size_t character_index(const std::string& text, size_t offset, CodePage page) {
  size_t index = 0;
  size_t at = 0;
  while (at < offset && at < text.size()) {
    at += character_bytes(text, at, page);
    ++index;
  }
  return index + (offset > at ? offset - at : 0);
}

const KindLayout* kind_layout(int32_t kind) {
  if (kind < FUNCTION_EXPLICIT || kind > FUNCTION_IMPLICIT) return nullptr;
  return &kKindLayouts[kind - FUNCTION_EXPLICIT];
}

std::u16string format_list_entry(const FunctionEntry& entry) {
  const char16_t* mark =
      (entry.flags & FLAG_VISIBLE) ? text::kVisibleMark : text::kHiddenMark;
  const std::u16string first = shown_text(entry.expression);
  switch (entry.kind) {
    case FUNCTION_EXPLICIT:
      return text::fill(text::kLineExplicit, {mark, first});
    case FUNCTION_PARAMETRIC:
      return text::fill(text::kLineParametric,
                        {mark, first, shown_text(entry.expression2)});
    case FUNCTION_POLAR:
      return text::fill(text::kLinePolar, {mark, first});
    case FUNCTION_IMPLICIT:
      return text::fill(text::kLineImplicit, {mark, first});
    default:
      return text::kLineUnknownKind;
  }
}

}  // namespace kurvana
