// Integer mode: what the integer check refuses, and 64-bit evaluation with a
// 32-bit result.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>

#include "eval_tables.h"

namespace {

using evaltest::Outcome;
using evaltest::Width;

constexpr int32_t kDivide = EVAL_ALLOW_DIVIDE;
constexpr int32_t kPower = EVAL_ALLOW_POWER;
constexpr int32_t kBoth = kDivide | kPower;
constexpr Outcome kOverflow{20, 0};

struct Row {
  const char* text;
  int32_t options;
  Outcome outcome;  // {0, 0}: success with |value|
  int32_t value = 0;
};

// Rows run through a function object and, without variables, through the
// one-shot call, in both widths.  The area holds x = 5 and y = 7 between
// neighbours that would spoil a slot read with the wrong width.
void ExpectRows(std::span<const Row> rows) {
  int32_t area[EVAL_VARIABLE_COUNT] = {};
  area['w' - 'a'] = -1;
  area['x' - 'a'] = 5;
  area['y' - 'a'] = 7;
  area['z' - 'a'] = INT32_MAX;
  for (const Row& row : rows) {
    const int32_t value =
        row.outcome == Outcome{} ? row.value : evaltest::kUntouchedInteger;
    for (Width width : evaltest::kWidths) {
      SCOPED_TRACE(evaltest::Trace(row.text, width) +
                   " options=" + std::to_string(row.options));
      auto result = evaltest::RunInteger(width, row.text, area, row.options);
      EXPECT_EQ(result.outcome, row.outcome);
      EXPECT_EQ(result.value, value);
      if (evaltest::HasVariable(row.text)) continue;
      result = evaltest::OneShotInteger(width, row.text, row.options);
      EXPECT_EQ(result.outcome, row.outcome) << "one-shot";
      EXPECT_EQ(result.value, value) << "one-shot";
    }
  }
}

// Option bits other than 0 and 1 are ignored.  The first refused token is
// reported, and only after the syntax check has passed.
TEST(IntegerCheck, RefusedTokensAndOptions) {
  // clang-format off
  const Row rows[] = {
      {"x/2", 0, {24, 1}}, {"2^3", 0, {24, 1}}, {"x/2", kBoth, {}, 2},
      {"2^3", kBoth, {}, 8}, {"7/2", kPower, {24, 1}},
      {"2^3", kDivide, {24, 1}}, {"7/2", 4, {24, 1}}, {"7/2*2^2", -1, {}, 12},
      {"2.5", kBoth, {24, 0}}, {"PI", kBoth, {24, 0}}, {"E", kBoth, {24, 0}},
      {"1+EU", kBoth, {24, 2}}, {"sin(2)", kBoth, {24, 0}},
      {"2*abs(2)", kBoth, {24, 2}}, {"2147483647", kBoth, {24, 0}},
      {"1+4294967297", kBoth, {24, 2}}, {"2147483646", kBoth, {}, 2147483646},
      {"2^2.5", 0, {24, 1}}, {"2^2.5", kPower, {24, 2}},
      {"2.5+", kBoth, {11, 3}}, {"sin x", kBoth, {9, 4}}};
  // clang-format on
  ExpectRows(rows);
}

// Division truncates toward zero; a power goes through double.
TEST(IntegerEvaluation, DivisionAndPower) {
  // clang-format off
  const Row rows[] = {
      {"7/2", kDivide, {}, 3}, {"(0-7)/2", kDivide, {}, -3},
      {"7/(0-2)", kDivide, {}, -3}, {"7/(0-1)", kDivide, {}, -7},
      {"7/0", kDivide, {15, 0}},
      {"x/(y-7)", kDivide, {15, 0}}, {"2^10", kPower, {}, 1024},
      {"2^(0-1)", kPower, {}, 0}, {"2^3^2", kPower, {}, 64},
      {"(0-3)^3", kPower, {}, -27}, {"0^(0-1)", kPower, kOverflow},
      {"2^31", kPower, kOverflow}, {"(0-2)^31", kPower, {}, INT32_MIN}};
  // clang-format on
  ExpectRows(rows);
}

// Sums, differences and products wrap modulo 2^64; only the two 64-bit
// limit values count as overflow inside the walk, and the final value must
// fit in 32 bits.
TEST(IntegerEvaluation, LimitsAndWrapping) {
  // clang-format off
  const Row rows[] = {
      {"2147483646+1", 0, {}, INT32_MAX}, {"2147483646+2", 0, kOverflow},
      {"0-2147483646-2", 0, {}, INT32_MIN}, {"0-2147483646-3", 0, kOverflow},
      {"65536*65536", 0, kOverflow}, {"65536*65536*65536*65536", 0, {}, 0},
      {"65536*65536-65536*65536+5", 0, {}, 5},
      {"2^62*4", kPower, {}, 0},  // wraps to 0
      {"2^62*2*0", kPower, kOverflow},  // meets -2^63 before the * 0
      {"2^63-2^63", kPower, {}, 0},  // a power is pushed unchecked
      {"(2^63-1)-(2^63-1)", kPower, kOverflow},  // meets 2^63 - 1
      {"2^63/(0-1)", kBoth, kOverflow},  // -2^63 / -1 must not trap
      {"-x", 0, {}, -5}, {"x+y", 0, {}, 12}, {"w*z", 0, {}, -INT32_MAX},
      {"z+1", 0, kOverflow}, {"z+1-1", 0, {}, INT32_MAX}};
  // clang-format on
  ExpectRows(rows);
}

}  // namespace
