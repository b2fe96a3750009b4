// The limits and refusals of the conversions between Shift-JIS and UTF-16
// (the characters themselves are checked through the document file).
#include "text_conversion.h"

#include <gtest/gtest.h>

#include <string>

namespace kurvana {
namespace {

using namespace std::string_literals;
constexpr size_t kLimit = 255;

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
  EXPECT_EQ(to_utf16("\xB1", CodePage::kAnsi), u"ｱ");  // one byte, one unit
  EXPECT_EQ(to_code_page(u"ｱ", CodePage::kAnsi), "\xB1");
  for (int byte : {0x81, 0x9F, 0xE0, 0xFC})
    EXPECT_TRUE(is_lead_byte(CodePage::kAnsi, byte));
  for (int byte : {0x5C, 0xA0, 0x80, 0xFD})
    EXPECT_FALSE(is_lead_byte(CodePage::kAnsi, byte));
}

}  // namespace
}  // namespace kurvana
