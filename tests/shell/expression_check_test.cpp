// The definition dialog's expression check against the real library: the
// error's code, byte position and Shift-JIS message.
#include "expression_check.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "text_conversion.h"

namespace kurvana {
namespace {

// Any letter is a variable.  The message buffer has exactly the documented
// size, followed by a canary that must survive; the code and position are
// written only on failure.  The 38-byte message of code 22 fits.
TEST(CheckExpression, ReportsTheLibrarysCodePositionAndMessage) {
  const std::tuple<std::string, int32_t, int32_t, std::u16string> rows[] = {
      {"sin(x)*x+q*a", -7, -7, u""},
      {"", 5, 1, u"データがありません。"},
      {"2\x82\xa0+)", 6, 4, u"不正な括弧です。"},  // at the byte
      {"1 2", 22, 2, u"数値の次は演算子か括弧閉じが必要です。"}};
  for (const auto& [text, code, position, message] : rows) {
    struct {
      char message[kExpressionMessageBytes] = {};
      char canary[8] = "canary!";
    } out;
    int32_t out_code = -7, out_position = -7;
    EXPECT_EQ(
        check_expression(text.c_str(), &out_code, &out_position, out.message),
        code == -7)
        << text;
    EXPECT_EQ(out_code, code) << text;
    EXPECT_EQ(out_position, position) << text;
    EXPECT_EQ(out.message, to_code_page(message, CodePage::kShiftJis));
    EXPECT_STREQ(out.canary, "canary!");
  }
}

}  // namespace
}  // namespace kurvana
