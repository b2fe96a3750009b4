// The conversions between the documents' Shift-JIS texts and the file's
// UTF-16, with full-width Japanese text, and their limits and refusals.
#include "text_conversion.h"

#include <gtest/gtest.h>

#include <string>

namespace kurvana {
namespace {

constexpr size_t kLimit = 255;
// Outside Windows every use converts in CP932.
constexpr CodePage kPages[] = {CodePage::kAnsi, CodePage::kOem,
                               CodePage::kShiftJis};

struct Pair {
  const char* shift_jis;
  std::u16string utf16;
};

const Pair kPairs[] = {
    {"sin(x)*x+cos(2*x)", u"sin(x)*x+cos(2*x)"},
    {"\x82\xA0\x82\xA2\x82\xA4", u"あいう"},
    {"\x8A\xD6\x90\x94", u"関数"},
    {"\x82\x50\x82\x51\x82\x52", u"１２３"},  // full-width digits
    {"\xB1\xB2\xB3", u"ｱｲｳ"},                 // half-width katakana
    {"\x81\x60\x81\x7C", u"～－"},            // the Windows forms
    {"\x87\x40\xFB\xFC", u"①髙"},             // NEC and IBM extensions
    {"x\x81\x40y", u"x　y"},                  // ideographic space
};

TEST(TextConversionTest, ShiftJisBecomesUtf16) {
  for (const Pair& pair : kPairs) {
    SCOPED_TRACE(pair.shift_jis);
    std::u16string field(kLimit + 1, u'?');
    ASSERT_TRUE(to_wide_text(field.data(), kLimit, pair.shift_jis));
    EXPECT_EQ(pair.utf16 + u'\0' + u'\0',
              field.substr(0, pair.utf16.size() + 2));
    for (CodePage page : kPages)
      EXPECT_EQ(to_utf16(pair.shift_jis, page), pair.utf16);
  }
}

TEST(TextConversionTest, Utf16BecomesShiftJis) {
  for (const Pair& pair : kPairs) {
    SCOPED_TRACE(pair.shift_jis);
    std::string field(kLimit + 1, '?');
    ASSERT_TRUE(to_narrow_text(field.data(), kLimit, pair.utf16.c_str()));
    const std::string expected = std::string(pair.shift_jis) + '\0' + '\0';
    EXPECT_EQ(expected, field.substr(0, expected.size()));
    for (CodePage page : kPages)
      EXPECT_EQ(to_code_page(pair.utf16, page), pair.shift_jis);
  }
}

TEST(TextConversionTest, EmptyTextIsEmptyInBothDirections) {
  EXPECT_EQ(to_utf16("", CodePage::kAnsi), u"");
  EXPECT_EQ(to_code_page(u"", CodePage::kAnsi), "");
}

TEST(TextConversionTest, LimitCountsTheTerminator) {
  char16_t wide[5];
  EXPECT_TRUE(to_wide_text(wide, 4, "abc"));
  EXPECT_FALSE(to_wide_text(wide, 4, "abcd"));
  EXPECT_TRUE(to_wide_text(wide, 4, "\x82\xA0\x82\xA2\x82\xA4"));  // 3 units
  char narrow[6];
  EXPECT_TRUE(to_narrow_text(narrow, 5, u"あい"));  // 4 bytes
  EXPECT_FALSE(to_narrow_text(narrow, 5, u"あいう"));
  EXPECT_FALSE(to_narrow_text(narrow, 5, u"abcde"));
}

TEST(TextConversionTest, InvalidShiftJisIsRefused) {
  char16_t field[kLimit + 1];
  for (const char* text : {"\x82", "x+\x81", "\x82\x7F"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(to_wide_text(field, kLimit, text));
    EXPECT_FALSE(to_utf16(text, CodePage::kAnsi));
  }
}

// Shift-JIS has no form of these; a look-alike would change the expression.
TEST(TextConversionTest, TextOutsideShiftJisIsRefused) {
  const std::u16string texts[] = {
      u"caf\u00E9",   // é
      u"\u00A5100",   // yen sign, not the backslash of 5C
      u"1\u22122",    // minus sign, not the full-width hyphen-minus
      u"\U0001F600",  // outside the basic plane
      std::u16string(1, char16_t(0xD800)),  // lone surrogate
  };
  char field[kLimit + 1];
  for (const std::u16string& text : texts) {
    SCOPED_TRACE(testing::PrintToString(text));
    EXPECT_FALSE(to_narrow_text(field, kLimit, text.c_str()));
    EXPECT_FALSE(to_code_page(text, CodePage::kAnsi));
  }
}

// File names in window titles and beside saved documents.
struct TitleCase {
  const char* path;
  const char* name;
};

// "表" is 0x95 0x5C and "ソ" 0x83 0x5C in Shift-JIS: their trail byte is
// a backslash that must not split the path.
const TitleCase kTitleCases[] = {
    {"", ""},
    {"sin.kvn", "sin.kvn"},
    {"C:\\graphs\\sin.kvn", "sin.kvn"},
    {"C:sin.kvn", "sin.kvn"},
    {"/home/user/plots/circle", "circle"},
    {"C:\\My Graphs\\two words.kvn", "two words.kvn"},
    {"C:\\data\\\x95\x5C.kvn", "\x95\x5C.kvn"},
    {"C:\\\x83\x5C\x83\x74\x83\x67\\a.b.kvn", "a.b.kvn"},
    {"C:\\graphs\\", ""},
    {"\"C:\\quoted path.kvn\"", "quoted path.kvn\""},
};

TEST(FileName, FileNameIsTheLastPathComponent) {
  for (const TitleCase& row : kTitleCases) {
    EXPECT_EQ(file_name_of(row.path, CodePage::kShiftJis), row.name)
        << row.path;
  }
}

TEST(FileName, LeadByteAtTheEndDoesNotSwallowPastTheText) {
  EXPECT_EQ(file_name_of("a\\\x95", CodePage::kShiftJis), "\x95");
}

TEST(FileName, ShiftJisLeadBytes) {
  EXPECT_TRUE(is_shift_jis_lead_byte(0x81));
  EXPECT_TRUE(is_shift_jis_lead_byte(0x9F));
  EXPECT_TRUE(is_shift_jis_lead_byte(0xE0));
  EXPECT_TRUE(is_shift_jis_lead_byte(0xFC));
  EXPECT_FALSE(is_shift_jis_lead_byte(0x5C));
  EXPECT_FALSE(is_shift_jis_lead_byte(0xA0));  // half-width katakana
  EXPECT_FALSE(is_shift_jis_lead_byte(0x80));
}

}  // namespace
}  // namespace kurvana
