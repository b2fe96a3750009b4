// The definition dialog's expression check against the real library: the
// error's code, byte position and Shift-JIS message.
#include "expression_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace kurvana {
namespace {

// Any letter is a variable.  The message buffer has exactly the documented
// size, followed by a canary that must survive; the code and position are
// written only on failure.  The 38-byte message of code 22 fits.
TEST(CheckExpression, ReportsTheLibrarysCodePositionAndMessage) {
  const struct {
    const char* text;
    int32_t code, position;
    const char* message;  // Shift-JIS
  } rows[] = {
      {"sin(x)*x+q*a", -7, -7, ""},
      {"", 5, 1,  // "データがありません。"
       "\x83\x66\x81\x5b\x83\x5e\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82"
       "\xf1\x81\x42"},
      {"2\x82\xa0+)", 6, 4,  // "不正な括弧です。" at the bracket's byte
       "\x95\x73\x90\xb3\x82\xc8\x8a\x87\x8c\xca\x82\xc5\x82\xb7\x81\x42"},
      {"1 2", 22, 2,  // "数値の次は演算子か括弧閉じが必要です。"
       "\x90\x94\x92\x6c\x82\xcc\x8e\x9f\x82\xcd\x89\x89\x8e\x5a\x8e\x71\x82"
       "\xa9\x8a\x87\x8c\xca\x95\xc2\x82\xb6\x82\xaa\x95\x4b\x97\x76\x82\xc5"
       "\x82\xb7\x81\x42"}};
  for (const auto& row : rows) {
    struct {
      char message[kExpressionMessageBytes];
      char canary[8];
    } buffer;
    std::memset(&buffer, 0, sizeof buffer.message);
    std::memset(buffer.canary, 0x5A, sizeof buffer.canary);
    int32_t code = -7, position = -7;
    EXPECT_EQ(check_expression(row.text, &code, &position, buffer.message),
              row.code == -7)
        << row.text;
    EXPECT_EQ(code, row.code) << row.text;
    EXPECT_EQ(position, row.position) << row.text;
    EXPECT_EQ(std::string(buffer.message,
                          strnlen(buffer.message, sizeof buffer.message)),
              row.message);
    EXPECT_EQ(std::string(buffer.canary, 8), std::string(8, '\x5A'));
  }
}

}  // namespace
}  // namespace kurvana
