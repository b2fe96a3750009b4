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
size_t character_bytes(const std::string& text, size_t at,
                       LeadBytePredicate is_lead) {
  const auto byte = static_cast<unsigned char>(text[at]);
  return is_lead(byte) && at + 1 < text.size() ? 2 : 1;
}

bool has_dot(const std::string& text, LeadBytePredicate is_lead) {
  for (size_t at = 0; at < text.size();
       at += character_bytes(text, at, is_lead)) {
    if (text[at] == '.') return true;
  }
  return false;
}

// The texts of an entry's fields, which hold at most their size in bytes.
std::string field_text(const char (&field)[EXPRESSION_BYTES]) {
  return std::string(field, strnlen(field, sizeof field));
}

constexpr KindLayout kKindLayouts[] = {
    {text::kLabelFofX, text::kBetweenX, false, true},  // FUNCTION_EXPLICIT
    {text::kLabelFofT, text::kBetweenT, true, true},   // FUNCTION_PARAMETRIC
    {text::kLabelFofT, text::kBetweenT, false, true},  // FUNCTION_POLAR
    {text::kLabelFofXY, nullptr, false, false},        // FUNCTION_IMPLICIT
};

}  // namespace

void trim_number_text(std::string& text, LeadBytePredicate is_lead) {
  if (!has_dot(text, is_lead)) return;
  // Neither '0' nor '.' is a trail byte of a double-byte code page, so the
  // walk back cannot stop inside a character.
  while (!text.empty()) {
    const char last = text.back();
    if (last != '0' && last != '.') return;
    text.pop_back();
    if (last == '.') return;
  }
}

std::string format_domain(double value, LeadBytePredicate is_lead) {
  // DBL_MAX takes 309 digits before the point; 512 bytes hold any double.
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%f", value);
  std::string text = buffer;
  trim_number_text(text, is_lead);
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

std::string cut_to_bytes(const std::string& text, size_t limit,
                         LeadBytePredicate is_lead) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t next = end + character_bytes(text, end, is_lead);
    if (next > limit) break;
    end = next;
  }
  return text.substr(0, end);
}

size_t character_index(const std::string& text, size_t offset,
                       LeadBytePredicate is_lead) {
  size_t index = 0;
  size_t at = 0;
  while (at < offset && at < text.size()) {
    at += character_bytes(text, at, is_lead);
    ++index;
  }
  return index + (offset > at ? offset - at : 0);
}

const KindLayout* kind_layout(int32_t kind) {
  if (kind < FUNCTION_EXPLICIT || kind > FUNCTION_IMPLICIT) return nullptr;
  return &kKindLayouts[kind - FUNCTION_EXPLICIT];
}

std::u16string format_list_entry(const FunctionEntry& entry, WidenText widen) {
  const char16_t* mark =
      (entry.flags & FLAG_VISIBLE) ? text::kVisibleMark : text::kHiddenMark;
  const std::u16string first = widen(field_text(entry.expression));
  switch (entry.kind) {
    case FUNCTION_EXPLICIT:
      return text::fill(text::kLineExplicit, {mark, first});
    case FUNCTION_PARAMETRIC:
      return text::fill(text::kLineParametric,
                        {mark, first, widen(field_text(entry.expression2))});
    case FUNCTION_POLAR:
      return text::fill(text::kLinePolar, {mark, first});
    case FUNCTION_IMPLICIT:
      return text::fill(text::kLineImplicit, {mark, first});
    default:
      return text::kLineUnknownKind;
  }
}

}  // namespace kurvana
