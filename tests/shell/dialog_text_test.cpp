// The dialogs' texts: numbers as they are shown and read, the byte limit of
// the expression texts, error positions in characters, list lines.
#include "dialog_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <tuple>

namespace kurvana {
namespace {

constexpr CodePage kSjis = CodePage::kShiftJis;
const std::string kA = "\x82\xa0";  // "あ"

// 0x82 0x2E reads as one double-byte character: there is no dot to trim.
TEST(DialogText, NumbersAsShown) {
  const std::pair<std::string, std::string> rows[] = {{"-10.000000", "-10"},
                                                      {"2.500000", "2.5"},
                                                      {"0.000000", "0"},
                                                      {"1000.", "1000"},
                                                      {"", ""},
                                                      {"1.0x0", "1.0x"},
                                                      {"10\x82.0", "10\x82.0"}};
  for (auto [text, trimmed] : rows) {
    trim_number_text(text, kSjis);
    EXPECT_EQ(text, trimmed);
  }
  // A domain is "%f" trimmed; a document file may bring any double.
  EXPECT_EQ(format_domain(1.0 / 3, kSjis), "0.333333");
  const std::string biggest = format_domain(DBL_MAX, kSjis);
  EXPECT_EQ(biggest.size(), 309u);
  EXPECT_EQ(biggest.substr(0, 6), "179769");
  EXPECT_EQ(format_domain(-DBL_MAX, kSjis), "-" + biggest);
}

// As strtod and a 32-bit strtol read them.
TEST(DialogText, NumbersAsRead) {
  const std::tuple<std::string, double, int32_t> rows[] = {
      {"5e3", 5000, 5},
      {"abc", 0, 0},
      {"  -2.5", -2.5, -2},
      {"99999999999", 99999999999, INT32_MAX},
      {"-99999999999", -99999999999, INT32_MIN}};
  for (const auto& [text, domain, range] : rows) {
    EXPECT_EQ(parse_domain(text), domain) << text;
    EXPECT_EQ(parse_range(text), range) << text;
  }
}

// A double-byte character goes whole or not at all; a lead byte at the very
// end has no trail and is one byte.
TEST(DialogText, CutToBytesKeepsWholeCharacters) {
  const std::string blanks(253, ' ');
  const std::tuple<std::string, size_t, std::string> rows[] = {
      {std::string(255, 'a'), 254, std::string(254, 'a')},
      {blanks + kA, 254, blanks},
      {blanks.substr(1) + kA, 254, blanks.substr(1) + kA},
      {"ab\x82", 3, "ab\x82"}};
  for (const auto& [text, limit, cut] : rows) {
    EXPECT_EQ(cut_to_bytes(text, limit, kSjis), cut);
  }
}

// Byte 2 is inside "あ"; past the end each byte counts as a character.
TEST(DialogText, CharacterIndexCountsDoubleByteCharactersOnce) {
  const std::string text = "2" + kA + "+)";
  const std::pair<size_t, size_t> rows[] = {
      {0, 0}, {1, 1}, {3, 2}, {5, 4}, {6, 5}};
  for (const auto& [byte, index] : rows) {
    EXPECT_EQ(character_index(text, byte, kSjis), index) << byte;
  }
  EXPECT_EQ(character_index("", 1, kSjis), 1u);
}

// Only bit 0 of the flags counts; a field is read within its size.  Kinds
// 1 to 4 have a layout in the definition dialog, others none.
TEST(DialogText, ListLineShowsTheMarkAndFormOfEachKind) {
  const std::string full(EXPRESSION_BYTES, 'x');
  const std::u16string shown(EXPRESSION_BYTES, u'x');
  const std::tuple<int32_t, uint32_t, std::string, std::string, std::u16string>
      rows[] = {{1, 0, "x^2", "", u"□ y = x^2"},
                {2, 1, "cos(t)", "sin(t)", u"■ x = cos(t), y = sin(t)"},
                {3, 0, "2*t", "", u"□ r = 2*t"},
                {4, 1, "x^2+y^2-1", "", u"■ x^2+y^2-1 = 0"},
                {1, 0x3, kA, "", u"■ y = あ"},
                {2, 1, full, full, u"■ x = " + shown + u", y = " + shown},
                {0, 1, "x", "", u"(不正な型の関数です)"},
                {5, 0, "x", "", u"(不正な型の関数です)"}};
  for (const auto& [kind, flags, first, second, line] : rows) {
    FunctionEntry entry = new_function_entry();
    entry.kind = kind;
    entry.flags = flags;
    first.copy(entry.expression, EXPRESSION_BYTES);
    second.copy(entry.expression2, EXPRESSION_BYTES);
    EXPECT_EQ(format_list_entry(entry), line) << kind;
    EXPECT_EQ(kind_layout(kind) != nullptr, kind >= 1 && kind <= 4);
  }
}

}  // namespace
}  // namespace kurvana
