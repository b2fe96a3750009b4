// The conversions between the documents' Shift-JIS texts and the file's
// UTF-16, with full-width Japanese text, their limits and refusals.
#include "text_conversion.h"

#include <gtest/gtest.h>

#include <string>

namespace kurvana {
namespace {

using namespace std::string_literals;
constexpr size_t kLimit = 255;

// Outside Windows every code page converts as CP932.
TEST(TextConversion, ShiftJisAndUtf16BothWays) {
  const struct {
    const char* shift_jis;
    std::u16string utf16;
  } rows[] = {{"", u""},
              {"sin(x)*x+cos(2*x)", u"sin(x)*x+cos(2*x)"},
              {"\x8A\xD6\x90\x94", u"関数"},
              {"\x82\x50\x82\x51", u"１２"},  // full-width digits
              {"\xB1\xB2\xB3", u"ｱｲｳ"},       // half-width katakana
              {"\x81\x60\x81\x7C", u"～－"},  // the Windows forms
              {"\x87\x40\xFB\xFC", u"①髙"},   // NEC and IBM extensions
              {"x\x81\x40y", u"x　y"}};       // ideographic space
  for (const auto& row : rows) {
    std::u16string wide(kLimit + 1, u'?');
    ASSERT_TRUE(to_wide_text(wide.data(), kLimit, row.shift_jis));
    EXPECT_EQ(wide.substr(0, row.utf16.size() + 2), row.utf16 + u"\0\0"s);
    std::string narrow(kLimit + 1, '?');
    ASSERT_TRUE(to_narrow_text(narrow.data(), kLimit, row.utf16.c_str()));
    const std::string expected = row.shift_jis + "\0\0"s;
    EXPECT_EQ(narrow.substr(0, expected.size()), expected);
    EXPECT_EQ(to_utf16(row.shift_jis, CodePage::kAnsi), row.utf16);
    EXPECT_EQ(to_code_page(row.utf16, CodePage::kShiftJis), row.shift_jis);
  }
}

// The limit counts the terminator.
TEST(TextConversion, LimitsAndRefusals) {
  char16_t wide[5];
  EXPECT_TRUE(to_wide_text(wide, 4, "abc"));
  EXPECT_FALSE(to_wide_text(wide, 4, "abcd"));
  EXPECT_TRUE(to_wide_text(wide, 4, "\x82\xA0\x82\xA2\x82\xA4"));  // 3 units
  char narrow[6];
  EXPECT_TRUE(to_narrow_text(narrow, 5, u"あい"));  // 4 bytes
  EXPECT_FALSE(to_narrow_text(narrow, 5, u"あいう"));
  EXPECT_FALSE(to_narrow_text(narrow, 5, u"abcde"));
  char16_t field[kLimit + 1];
  for (const char* text : {"\x82", "x+\x81", "\x82\x7F"}) {  // cut or invalid
    EXPECT_FALSE(to_wide_text(field, kLimit, text)) << text;
    EXPECT_FALSE(to_utf16(text, CodePage::kAnsi)) << text;
  }
  // Shift-JIS has no form of these; a look-alike would change the text.
  char bytes[kLimit + 1];
  for (const std::u16string& text :
       {u"caf\u00E9"s, u"\u00A5100"s, u"1\u22122"s, u"\U0001F600"s,
        std::u16string(1, char16_t(0xD800))}) {
    EXPECT_FALSE(to_narrow_text(bytes, kLimit, text.c_str()));
    EXPECT_FALSE(to_code_page(text, CodePage::kAnsi));
  }
  for (int byte : {0x81, 0x9F, 0xE0, 0xFC})
    EXPECT_TRUE(is_lead_byte(CodePage::kAnsi, byte));
  for (int byte : {0x5C, 0xA0, 0x80, 0xFD})
    EXPECT_FALSE(is_lead_byte(CodePage::kAnsi, byte));
}

}  // namespace
}  // namespace kurvana
