// The dialogs' texts: numbers as they are shown and read, the byte limit of
// the expression texts, error positions in characters, list lines.
#include "dialog_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>

#include "text_conversion.h"

namespace kurvana {
namespace {

constexpr CodePage kSjis = CodePage::kShiftJis;
constexpr char kA[] = "\x82\xa0";  // "あ"

// 0x82 0x2E reads as one double-byte character: there is no dot to trim.
TEST(DialogText, NumbersAsShown) {
  const struct {
    const char* text;
    const char* trimmed;
  } rows[] = {{"-10.000000", "-10"},
              {"2.500000", "2.5"},
              {"0.000000", "0"},
              {"1000.", "1000"},
              {"", ""},
              {"1.0x0", "1.0x"},
              {"10\x82.0", "10\x82.0"}};
  for (const auto& row : rows) {
    std::string text = row.text;
    trim_number_text(text, kSjis);
    EXPECT_EQ(text, row.trimmed) << row.text;
  }
  EXPECT_EQ(format_domain(6.25, kSjis), "6.25");
  EXPECT_EQ(format_domain(0.0000001, kSjis), "0");
  EXPECT_EQ(format_domain(1.0 / 3, kSjis), "0.333333");
  // A document file may bring any double; the text holds all its digits.
  const std::string biggest = format_domain(DBL_MAX, kSjis);
  EXPECT_EQ(biggest.size(), 309u);
  EXPECT_EQ(biggest.substr(0, 6), "179769");
  EXPECT_EQ(format_domain(-DBL_MAX, kSjis), "-" + biggest);
}

// As strtod and a 32-bit strtol read them.
TEST(DialogText, NumbersAsRead) {
  const struct {
    const char* text;
    double domain;
    int32_t range;
  } rows[] = {{"5e3", 5000, 5},
              {"abc", 0, 0},
              {"  -2.5", -2.5, -2},
              {"+12", 12, 12},
              {".5", 0.5, 0},
              {"99999999999", 99999999999, INT32_MAX},
              {"-99999999999", -99999999999, INT32_MIN}};
  for (const auto& row : rows) {
    EXPECT_EQ(parse_domain(row.text), row.domain) << row.text;
    EXPECT_EQ(parse_range(row.text), row.range) << row.text;
  }
}

// A double-byte character goes whole or not at all; a lead byte at the very
// end has no trail and is one byte.
TEST(DialogText, CutToBytesKeepsWholeCharacters) {
  const std::string blanks = "x" + std::string(252, ' ');
  const struct {
    std::string text;
    size_t limit;
    std::string cut;
  } rows[] = {{std::string(255, 'a'), 254, std::string(254, 'a')},
              {"sin(x)", 254, "sin(x)"},
              {blanks + kA, 254, blanks},
              {blanks.substr(1) + kA, 254, blanks.substr(1) + kA},
              {"ab\x82", 3, "ab\x82"}};
  for (const auto& row : rows) {
    EXPECT_EQ(cut_to_bytes(row.text, row.limit, kSjis), row.cut);
  }
}

// Past the end too (an empty text reports position 1).
TEST(DialogText, CharacterIndexCountsDoubleByteCharactersOnce) {
  const std::string text = std::string("2") + kA + "+)";
  const size_t expected[] = {0, 1, 2, 2, 3, 4, 5};
  for (size_t byte = 0; byte < 7; ++byte) {
    if (byte == 2) continue;  // inside "あ"
    EXPECT_EQ(character_index(text, byte, kSjis), expected[byte]) << byte;
  }
  EXPECT_EQ(character_index("", 1, kSjis), 1u);
}

FunctionEntry entry_of(int32_t kind, uint32_t flags, const char* first,
                       const char* second = "") {
  FunctionEntry entry = new_function_entry();
  entry.kind = kind;
  entry.flags = flags;
  std::strcpy(entry.expression, first);
  std::strcpy(entry.expression2, second);
  return entry;
}

// Only bit 0 of the flags counts; a field is read within its size.
TEST(DialogText, ListLineShowsTheMarkAndFormOfEachKind) {
  FunctionEntry unterminated = new_function_entry();
  std::memset(unterminated.expression, 'x', EXPRESSION_BYTES);
  std::memset(unterminated.expression2, 'y', EXPRESSION_BYTES);
  const struct {
    FunctionEntry entry;
    std::u16string line;
  } rows[] = {
      {entry_of(1, 0, "x^2"), u"□ y = x^2"},
      {entry_of(2, 1, "cos(t)", "sin(t)"), u"■ x = cos(t), y = sin(t)"},
      {entry_of(3, 0, "2*t"), u"□ r = 2*t"},
      {entry_of(4, 1, "x^2+y^2-1"), u"■ x^2+y^2-1 = 0"},
      {entry_of(1, 0x3, kA), u"■ y = あ"},
      {entry_of(0, 1, "x"), u"(不正な型の関数です)"},
      {entry_of(5, 0, "x"), u"(不正な型の関数です)"},
      {unterminated, u"■ y = " + std::u16string(EXPRESSION_BYTES, u'x')}};
  for (const auto& row : rows) {
    EXPECT_EQ(format_list_entry(row.entry), row.line) << row.entry.kind;
  }
}

}  // namespace
}  // namespace kurvana
