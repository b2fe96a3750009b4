// The dialogs' texts: numbers as they are shown and read, the byte limit of
// the expression texts, error positions in characters, list lines.
#include "dialog_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>

#include "text_conversion.h"

namespace kurvana {
namespace {

// "あ" in Shift-JIS.
constexpr char kA[] = "\x82\xa0";

TEST(TrimNumberText, RemovesTrailingZerosAndABareDot) {
  const struct {
    const char* text;
    const char* trimmed;
  } rows[] = {
      {"-10.000000", "-10"},
      {"2.500000", "2.5"},
      {"0.000000", "0"},
      {"0.100000", "0.1"},
      {"100", "100"},
      {"1000.", "1000"},
      {"", ""},
      {"1.0x0", "1.0x"},
      // 0x82 0x2E reads as one double-byte character: there is no dot.
      {"10\x82.0", "10\x82.0"},
  };
  for (const auto& row : rows) {
    std::string text = row.text;
    trim_number_text(text, CodePage::kShiftJis);
    EXPECT_EQ(text, row.trimmed) << row.text;
  }
}

TEST(FormatDomain, ShowsShortestFixedText) {
  EXPECT_EQ(format_domain(-10, CodePage::kShiftJis), "-10");
  EXPECT_EQ(format_domain(6.25, CodePage::kShiftJis), "6.25");
  EXPECT_EQ(format_domain(9999, CodePage::kShiftJis), "9999");
  EXPECT_EQ(format_domain(0.0000001, CodePage::kShiftJis), "0");
  EXPECT_EQ(format_domain(1.0 / 3, CodePage::kShiftJis), "0.333333");
}

// A document file may bring any double; the text holds all its digits.
TEST(FormatDomain, HugeValuesFromAFileAreFormattedWhole) {
  const std::string biggest = format_domain(DBL_MAX, CodePage::kShiftJis);
  EXPECT_EQ(biggest.size(), 309u);
  EXPECT_EQ(biggest.substr(0, 6), "179769");
  const std::string lowest = format_domain(-DBL_MAX, CodePage::kShiftJis);
  EXPECT_EQ(lowest, "-" + biggest);
  EXPECT_EQ(format_domain(1e300, CodePage::kShiftJis).size(), 301u);
}

TEST(ParseDomain, ReadsAsStrtodDoes) {
  const struct {
    const char* text;
    double value;
  } rows[] = {
      {"5e3", 5000},    {"1e4", 10000}, {"abc", 0},       {"", 0},
      {"  -2.5", -2.5}, {"3x", 3},      {"-9999", -9999}, {".5", 0.5},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(parse_domain(row.text), row.value) << row.text;
  }
}

TEST(ParseRange, ReadsAsA32BitStrtolDoes) {
  const struct {
    const char* text;
    int32_t value;
  } rows[] = {
      {"5x", 5},
      {"abc", 0},
      {"", 0},
      {" -999", -999},
      {"+12", 12},
      {"9999", 9999},
      {"1.9", 1},
      {"99999999999", INT32_MAX},
      {"-99999999999", INT32_MIN},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(parse_range(row.text), row.value) << row.text;
  }
}

TEST(CutToBytes, KeepsWholeCharactersWithinTheLimit) {
  EXPECT_EQ(cut_to_bytes(std::string(255, 'a'), 254, CodePage::kShiftJis),
            std::string(254, 'a'));
  EXPECT_EQ(cut_to_bytes("sin(x)", 254, CodePage::kShiftJis), "sin(x)");
  // 255 bytes ending in a double-byte character: the character goes whole.
  const std::string blank_then_a = "x" + std::string(252, ' ') + kA;
  EXPECT_EQ(cut_to_bytes(blank_then_a, 254, CodePage::kShiftJis),
            "x" + std::string(252, ' '));
  // 254 bytes ending in one fit exactly.
  const std::string fits = std::string(252, 'a') + kA;
  EXPECT_EQ(cut_to_bytes(fits, 254, CodePage::kShiftJis), fits);
  // A lead byte at the very end has no trail: it is one byte.
  EXPECT_EQ(cut_to_bytes("ab\x82", 3, CodePage::kShiftJis), "ab\x82");
}

TEST(CharacterIndex, CountsDoubleByteCharactersOnce) {
  const std::string text = std::string("2") + kA + "+)";  // bytes 2 82 A0 + )
  EXPECT_EQ(character_index(text, 0, CodePage::kShiftJis), 0u);
  EXPECT_EQ(character_index(text, 1, CodePage::kShiftJis), 1u);
  EXPECT_EQ(character_index(text, 3, CodePage::kShiftJis), 2u);
  EXPECT_EQ(character_index(text, 4, CodePage::kShiftJis), 3u);
  // Past the end (an empty text reports position 1).
  EXPECT_EQ(character_index("", 1, CodePage::kShiftJis), 1u);
  EXPECT_EQ(character_index(text, 6, CodePage::kShiftJis), 5u);
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

TEST(FormatListEntry, MarkAndFormOfEachKind) {
  const struct {
    FunctionEntry entry;
    const char16_t* line;
  } rows[] = {
      {entry_of(1, 1, "sin(x)"), u"■ y = sin(x)"},
      {entry_of(1, 0, "x^2"), u"□ y = x^2"},
      {entry_of(2, 1, "cos(t)", "sin(t)"), u"■ x = cos(t), y = sin(t)"},
      {entry_of(3, 0, "2*t"), u"□ r = 2*t"},
      {entry_of(4, 1, "x^2+y^2-1"), u"■ x^2+y^2-1 = 0"},
      {entry_of(1, 0x3, "x"), u"■ y = x"},  // only bit 0 counts
      {entry_of(1, 1, kA), u"■ y = あ"},
      {entry_of(0, 1, "x"), u"(不正な型の関数です)"},
      {entry_of(7, 0, "x"), u"(不正な型の関数です)"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(format_list_entry(row.entry), row.line) << row.entry.kind;
  }
}

TEST(FormatListEntry, UnterminatedFieldIsReadWithinItsSize) {
  FunctionEntry entry = new_function_entry();
  std::memset(entry.expression, 'x', sizeof entry.expression);
  std::memset(entry.expression2, 'y', sizeof entry.expression2);
  const std::u16string line = format_list_entry(entry);
  EXPECT_EQ(line, u"■ y = " + std::u16string(EXPRESSION_BYTES, u'x'));
}

}  // namespace
}  // namespace kurvana
