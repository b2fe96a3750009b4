#include "window_title.h"

#include <gtest/gtest.h>

namespace kurvana {
namespace {

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

TEST(WindowTitle, FileNameIsTheLastPathComponent) {
  for (const TitleCase& row : kTitleCases) {
    EXPECT_EQ(file_name_of(row.path, is_shift_jis_lead_byte), row.name)
        << row.path;
  }
}

TEST(WindowTitle, LeadByteAtTheEndDoesNotSwallowPastTheText) {
  EXPECT_EQ(file_name_of("a\\\x95", is_shift_jis_lead_byte), "\x95");
}

TEST(WindowTitle, ShiftJisLeadBytes) {
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
