// The definition dialog's expression check against the real library: the
// error's code, byte position and Shift-JIS message.
#include "expression_check.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace kurvana {
namespace {

struct Outcome {
  bool ok = false;
  int32_t code = -7;
  int32_t position = -7;
  std::string message;
};

// Runs the check with a message buffer of exactly the documented size,
// followed by a canary that must survive.
Outcome check(const char* text) {
  struct {
    char message[kExpressionMessageBytes];
    char canary[8];
  } buffer;
  std::memset(&buffer, 0x5A, sizeof buffer);
  Outcome outcome;
  outcome.ok =
      check_expression(text, &outcome.code, &outcome.position, buffer.message);
  EXPECT_EQ(std::string(buffer.canary, sizeof buffer.canary),
            std::string(8, '\x5A'));
  if (!outcome.ok) {
    outcome.message.assign(buffer.message,
                           strnlen(buffer.message, sizeof buffer.message));
  }
  return outcome;
}

TEST(CheckExpression, AcceptsAnyVariableAndKind) {
  for (const char* text : {"sin(x)*x", "cos(t)", "x^2+y^2-1", "q+1", "a*z"}) {
    const Outcome outcome = check(text);
    EXPECT_TRUE(outcome.ok) << text;
    EXPECT_EQ(outcome.code, -7) << "the code is written only on failure";
  }
}

TEST(CheckExpression, ReportsTheLibrarysCodePositionAndMessage) {
  const struct {
    const char* text;
    int32_t code;
    int32_t position;
    const char* message;  // Shift-JIS
  } rows[] = {
      // "データがありません。"
      {"", 5, 1,
       "\x83\x66\x81\x5b\x83\x5e\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82"
       "\xf1\x81\x42"},
      // "不正な括弧です。" at the bracket, counted in bytes after "2あ+".
      {"2\x82\xa0+)", 6, 4,
       "\x95\x73\x90\xb3\x82\xc8\x8a\x87\x8c\xca\x82\xc5\x82\xb7\x81\x42"},
      // The 38-byte "数値の次は演算子か括弧閉じが必要です。" fits the buffer.
      {"1 2", 22, 2, nullptr},
  };
  for (const auto& row : rows) {
    const Outcome outcome = check(row.text);
    EXPECT_FALSE(outcome.ok) << row.text;
    EXPECT_EQ(outcome.code, row.code) << row.text;
    EXPECT_EQ(outcome.position, row.position) << row.text;
    if (row.message) {
      EXPECT_EQ(outcome.message, row.message) << row.text;
    }
  }
  EXPECT_EQ(check("1 2").message.size(), 38u);
}

}  // namespace
}  // namespace kurvana
