// The expression language as tables: which texts compile and where the
// first fault lies, values and errors in double precision, and integer mode.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "eval_tables.h"

namespace {

using evaltest::kInf;
using evaltest::kNaN;
using evaltest::kUntouched;
using evaltest::Outcome;
using evaltest::Width;

constexpr double kPi = std::numbers::pi;
const std::string k400Nines(400, '9');

struct SyntaxRow {
  std::string text;
  Outcome outcome;  // {0, 0}: the text compiles
};

// Integer compilation lexes and checks the same way before its own check,
// which none of the faulty rows reaches.
void ExpectSyntax(const std::vector<SyntaxRow>& rows) {
  double reals[EVAL_VARIABLE_COUNT] = {};
  int32_t integers[EVAL_VARIABLE_COUNT] = {};
  for (const SyntaxRow& row : rows) {
    for (Width width : evaltest::kWidths) {
      SCOPED_TRACE(evaltest::Trace(row.text, width));
      evaltest::Function real = evaltest::Create(width, row.text);
      evaltest::Function integer = evaltest::Create(width, row.text);
      const bool compiled = CompileDFunction(real.get(), reals);
      EXPECT_EQ(compiled ? Outcome{} : evaltest::LastError(width, real.get()),
                row.outcome);
      if (row.outcome == Outcome{}) continue;
      EXPECT_EQ(CompileIFunction(integer.get(), integers, 3), 0);
      EXPECT_EQ(evaltest::LastError(width, integer.get()), row.outcome);
    }
  }
}

// Faults found while cutting the text into runs, and the numbers it reads;
// a second decimal point is reported at its own position.
TEST(Syntax, LexerFaultsAndAcceptedNumbers) {
  // clang-format off
  ExpectSyntax({
      {"1.2.3", {2, 3}}, {"x+1.2.3", {2, 5}}, {"Sin(x)", {21, 0}},
      {"pi", {21, 0}}, {"X", {21, 0}}, {"3Z", {21, 1}}, {"xy", {21, 0}},
      {"x+sinx", {21, 2}}, {"x#", {21, 0}}, {"x\t+1", {21, 0}},
      {"#3", {21, 0}}, {k400Nines, {20, 0}}, {"1+" + k400Nines, {20, 2}},
      {"1" + std::string(400, '0') + ".5", {20, 0}}, {"0." + k400Nines, {}},
      {"3#", {}}, {"1\t+1", {}}, {"99999999999", {}}, {".5", {}}, {".", {}},
      {"PI*E*EU", {}}});
  // clang-format on
}

// The rules for the first token (some report the fixed position 1), the
// tokens between, the last token and the bracket count.
TEST(Syntax, TokenOrderRules) {
  // clang-format off
  ExpectSyntax({
      {"", {5, 1}}, {"   ", {5, 1}}, {"*2", {7, 1}}, {"   ^2", {7, 1}},
      {")", {6, 1}}, {"  )+1", {6, 1}}, {"2x", {22, 1}}, {"x2", {22, 1}},
      {"1e5", {22, 1}}, {"x y", {22, 2}}, {"1 # 2", {22, 4}}, {"1(2)", {22, 1}},
      {"PI2", {22, 2}}, {"sin", {9, 0}}, {"  sin", {9, 2}}, {"sin x", {9, 4}},
      {"sin+1", {9, 3}}, {"()", {10, 1}}, {"  ()", {10, 3}}, {"( *2)", {7, 2}},
      {"(^2)", {7, 1}}, {"sin(^x)", {7, 4}},
      {"-x^2", {}}, {"+3", {}}, {"sin(x)", {}},
      {"2*-3", {7, 1}}, {"1+*2", {7, 1}}, {"1--2", {7, 1}}, {"2*(/3)", {7, 3}},
      {"(1)2+1", {4, 3}}, {"1+2(3)", {4, 3}}, {"(x)y+1", {4, 3}},
      {"(1)sin(2)", {4, 3}}, {"1+sin 2", {9, 6}}, {"1+sin*2", {9, 5}},
      {"(1)(2)", {6, 3}}, {"1)+2", {6, 1}}, {"(1))+(2)", {6, 3}},
      {"1+()", {10, 2}}, {"1+(())", {10, 3}}, {"2^(-1)", {}}, {"1-(+2)", {}},
      {"2*(-x)", {}}, {"sin(cos(x))", {}}, {"((x))", {}},
      {"1+", {11, 1}}, {"-", {11, 0}}, {"(", {11, 0}}, {"sin(", {11, 3}},
      {"1+sin", {11, 2}}, {"(1+)", {6, 3}}, {"(1)2", {4, 3}}, {"(x)y", {4, 3}},
      {"(1+2", {12, 3}}, {"1+2)", {12, 3}}, {"((1)", {12, 3}}, {"(x", {12, 1}},
      {"(1))", {12, 3}}});
  // clang-format on
}

// The one-shot calls refuse variables, at the last token, after every other
// syntax rule but the bracket count.
TEST(Syntax, OneShotCallsRefuseVariables) {
  const SyntaxRow rows[] = {{"x+1", {13, 2}},    {"x", {13, 0}},
                            {"sin(x)", {13, 5}}, {"(x", {13, 1}},
                            {"2x", {22, 1}},     {"x#", {21, 0}}};
  for (const SyntaxRow& row : rows) {
    for (Width width : evaltest::kWidths) {
      SCOPED_TRACE(evaltest::Trace(row.text, width));
      EXPECT_EQ(evaltest::OneShotReal(width, row.text).outcome, row.outcome);
      EXPECT_EQ(evaltest::OneShotInteger(width, row.text, 3).outcome,
                row.outcome);
    }
  }
}

// Units of 0x80 and above have no class and join the run before them.  The
// narrow lexer sees Shift-JIS bytes one by one, so a trail byte in the ASCII
// range counts as that character; the wide lexer sees whole characters and
// counts positions in UTF-16 units.
TEST(Syntax, JapaneseTextInBothWidths) {
  const struct {
    const char* narrow;  // Shift-JIS bytes; null for wide-only rows
    const char16_t* wide;
    evaltest::RealResult narrow_result, wide_result;
  } rows[] = {// clang-format off
      {"1+\x83" "e", u"1+テ", {{}, 3.5}, {{11, 1}}},  // テ: 83 65, e
      {"2\x83^3", u"2タ3", {{}, 8}, {{}, 2}},         // タ: 83 5E, ^
      {"x \x92l 2", u"x 値 2", {{22, 3}}, {{22, 4}}},  // 値: 92 6C, l
      {"x + 1 \x81\xA9 \x92l", u"x + 1 ← 値", {{4, 10}}, {{}, 3}},
      {"1 \x90\x94 + 2)", u"1 数 + 2)", {{12, 8}}, {{12, 7}}},
      {nullptr, u"1 𠮷 + 2)", {}, {{12, 8}}},  // two UTF-16 units
      {"\x83" "e", u"テ", {{21, 0}}, {{21, 0}}}};
  // clang-format on
  double area[EVAL_VARIABLE_COUNT] = {};
  area['e' - 'a'] = 2.5;
  area['l' - 'a'] = 100;
  area[evaltest::kX] = 2;
  for (const auto& row : rows) {
    for (Width width : evaltest::kWidths) {
      if (width == Width::kNarrow && !row.narrow) continue;
      SCOPED_TRACE(evaltest::Trace(evaltest::ShiftJis(row.wide), width));
      evaltest::Function function(
          width == Width::kNarrow
              ? CreateFunctionA(row.narrow)
              : CreateFunctionW(evaltest::Wide(row.wide).c_str()));
      const evaltest::RealResult& expected =
          width == Width::kNarrow ? row.narrow_result : row.wide_result;
      evaltest::RealResult actual;
      if (!CompileDFunction(function.get(), area) ||
          !CalculateDFunction(function.get(), &actual.value)) {
        actual.outcome = evaltest::LastError(width, function.get());
      }
      EXPECT_EQ(actual.outcome, expected.outcome);
      EXPECT_EQ(actual.value, expected.value);
    }
  }
}

struct RealRow {
  std::string text;
  double x;
  Outcome outcome;  // {0, 0}: success with |expected|
  double expected = 0;
};

// Every row goes through a function object, again with a stack deeper than
// the fast evaluator's (the general path) and, without variables, through
// the one-shot call, in both widths.
void ExpectReal(const std::vector<RealRow>& rows) {
  double area[EVAL_VARIABLE_COUNT] = {};
  for (const RealRow& row : rows) {
    area[evaltest::kX] = row.x;
    for (Width width : evaltest::kWidths) {
      SCOPED_TRACE(evaltest::Trace(row.text, width));
      std::vector<evaltest::RealResult> results = {
          evaltest::RunReal(width, row.text, area),
          evaltest::RunReal(width, evaltest::Deepen(row.text), area)};
      if (!evaltest::HasVariable(row.text)) {
        results.push_back(evaltest::OneShotReal(width, row.text));
      }
      for (const evaltest::RealResult& result : results) {
        EXPECT_EQ(result.outcome, row.outcome);
        if (row.outcome == Outcome{}) {
          EXPECT_DOUBLE_EQ(result.value, row.expected);
        }
      }
    }
  }
}

constexpr Outcome kDivideByZero{15, 0}, kLogDomain{16, 0}, kOverflow{20, 0},
    kDomain{23, 0};

// Numbers are decimal even with leading zeros; one too small for a double
// is zero.
TEST(RealEvaluation, Values) {
  // clang-format off
  ExpectReal({
      {"7", 0, {}, 7}, {"x", 2.5, {}, 2.5}, {"0/1", 0, {}, 0},
      {"1-2+3", 0, {}, 2}, {"2*3/4", 0, {}, 1.5}, {"8/4/2", 0, {}, 1},
      {"2^3^2", 0, {}, 64}, {"-x^2", 3, {}, -9}, {"2^(-1)", 0, {}, 0.5},
      {"(0-10)^3", 0, {}, -1000}, {"0^0", 0, {}, 1}, {"x^0", kNaN, {}, 1},
      {".5", 0, {}, 0.5}, {".", 0, {}, 0}, {"010", 0, {}, 10},
      {"3#4", 0, {}, 3}, {"1,5", 0, {}, 1},
      {"0." + std::string(400, '0') + "1", 0, {}, 0},
      {"2147483647+1", 0, {}, 2147483648.0},
      {"4294967297", 0, {}, 4294967297.0}, {"PI", 0, {}, kPi},
      {"E*EU", 0, {}, std::numbers::e * std::numbers::e}, {"log(1)", 0, {}, 0},
      {"asin(1)", 0, {}, kPi / 2}, {"acos(0-1)", 0, {}, kPi},
      {"sech(x)", 0, {}, 1}, {"cub(8)", 0, {}, 2}, {"cub(0-27)", 0, {}, -3},
      {"sin(x)^2+cos(x)^2", 0.3, {}, 1}});
  // clang-format on
}

// A zero divisor of either sign fails; a negative base with a fractional
// exponent gives NaN and fails as an overflow.  NaN counts as zero for every
// divisor and lies outside every domain; an infinity is refused only where a
// result is checked.
TEST(RealEvaluation, Errors) {
  // clang-format off
  ExpectReal({
      {"1/0", 0, kDivideByZero}, {"1/(0*(0-1))", 0, kDivideByZero},
      {"x/(x-x)", 3, kDivideByZero}, {"cosec(0)", 0, kDivideByZero},
      {"cot(0)", 0, kDivideByZero}, {"cosech(0)", 0, kDivideByZero},
      {"coth(0)", 0, kDivideByZero}, {"log(0)", 0, kLogDomain},
      {"log(0-1)", 0, kLogDomain}, {"sqrt(0-1)", 0, kDomain},
      {"sqrt(0-0.0000001)", 0, kDomain}, {"asin(2)", 0, kDomain},
      {"asin(1.0000001)", 0, kDomain}, {"acos(0-2)", 0, kDomain},
      {"(0-8)^(1/3)", 0, kOverflow}, {"0^(0-1)", 0, kOverflow},
      {"x-x", kInf, kOverflow}, {"0-x", kInf, kOverflow},
      {"1/x", kNaN, kDivideByZero}, {"sec(x)", kNaN, kDivideByZero},
      {"cosec(x)", kNaN, kDivideByZero}, {"cot(x)", kNaN, kDivideByZero},
      {"cosech(x)", kNaN, kDivideByZero}, {"coth(x)", kNaN, kDivideByZero},
      {"log(x)", kNaN, kLogDomain}, {"asin(x)", kNaN, kDomain},
      {"acos(x)", kNaN, kDomain}, {"sqrt(x)", kNaN, kDomain},
      {"tan(x)", kNaN, kOverflow}, {"sin(x)", kNaN, kOverflow},
      {"sech(x)", kNaN, kOverflow}, {"cub(x)", kNaN, kOverflow},
      {"abs(x)", kNaN, kOverflow}, {"x", kNaN, kOverflow}, {"1/x", kInf, {}, 0},
      {"sech(x)", kInf, {}, 0}, {"atan(x)", kInf, {}, kPi / 2},
      {"tanh(x)", kInf, {}, 1}, {"1/sinh(x)", kInf, {}, 0}});
  // clang-format on
}

// Operators and most functions compute in an extended exponent range: a
// result beyond double but finite there passes its own check and is pushed
// as an infinity, which a later operation may bring back into range.  pow,
// asin, acos, sinh, cosh and tanh are plain double functions.
TEST(RealEvaluation, ExtendedRangeOfIntermediateResults) {
  ExpectReal({{"1/ex(1000)", 0, {}, 0},
              {"1/(10^300*10^300)", 0, {}, 0},
              {"1/cosh(1000)", 0, {}, 0},
              {"sech(1000)", 0, {}, 0},
              {"ex(0-1000)", 0, {}, 0}});
}

// The final check stores the value before refusing it; a check inside the
// walk leaves the result location as it was.  A function object never hands
// out a refused value.  ex(12000) lies beyond even the extended range.
TEST(RealEvaluation, WhereAnOutOfRangeValueIsCaught) {
  const struct {
    const char* text;
    int32_t code;
    double stored;  // by the one-shot call
  } rows[] = {      // clang-format off
      {"(0-10)^401", 20, -kInf}, {"ex(1000)", 20, kInf}, {"cosh(1000)", 20, kInf},
      {"sin(ex(1000))", 20, kNaN}, {"10^400", 20, kUntouched},
      {"1/10^400", 20, kUntouched}, {"ex(1000)*2", 20, kUntouched},
      {"0-(0-10)^401", 20, kUntouched}, {"ex(12000)", 20, kUntouched},
      {"1/0", 15, kUntouched}, {"log(0)", 16, kUntouched}};
  // clang-format on
  for (const auto& row : rows) {
    for (Width width : evaltest::kWidths) {
      SCOPED_TRACE(evaltest::Trace(row.text, width));
      const auto one_shot = evaltest::OneShotReal(width, row.text);
      EXPECT_EQ(one_shot.outcome, (Outcome{row.code, 0}));
      EXPECT_TRUE(one_shot.value == row.stored ||
                  (std::isnan(row.stored) && std::isnan(one_shot.value)))
          << one_shot.value;
      const auto object = evaltest::RunReal(width, row.text, nullptr);
      EXPECT_EQ(object.outcome, (Outcome{row.code, 0}));
      EXPECT_EQ(object.value, kUntouched);
    }
  }
}

// Each function once more at an ordinary argument, on both paths, against
// the platform's own functions (the hard arguments are the accuracy table's).
TEST(RealEvaluation, EveryFunctionAtAnOrdinaryArgument) {
  const double x = 0.7;
  // clang-format off
  ExpectReal({
      {"sin(x)", x, {}, std::sin(x)}, {"cos(x)", x, {}, std::cos(x)},
      {"tan(x)", x, {}, std::tan(x)}, {"sec(x)", x, {}, 1 / std::cos(x)},
      {"cosec(x)", x, {}, 1 / std::sin(x)},
      {"cot(x)", x, {}, std::cos(x) / std::sin(x)},
      {"asin(x)", x, {}, std::asin(x)}, {"acos(x)", x, {}, std::acos(x)},
      {"atan(x)", x, {}, std::atan(x)}, {"sinh(x)", x, {}, std::sinh(x)},
      {"cosh(x)", x, {}, std::cosh(x)}, {"tanh(x)", x, {}, std::tanh(x)},
      {"sech(x)", x, {}, 1 / std::cosh(x)},
      {"cosech(x)", x, {}, 1 / std::sinh(x)},
      {"coth(x)", x, {}, std::cosh(x) / std::sinh(x)},
      {"log(x)", x, {}, std::log(x)}, {"ex(x)", x, {}, std::exp(x)},
      {"abs(x)", -x, {}, x}, {"sqrt(x)", x, {}, std::sqrt(x)},
      {"cub(x)", -x, {}, -std::cbrt(x)}});
  // clang-format on
}

uint64_t Bits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// The largest x whose square is finite.
double LargestFiniteSquareRoot() {
  double x = std::sqrt(DBL_MAX);
  while (std::isfinite(std::nextafter(x, kInf) * std::nextafter(x, kInf))) {
    x = std::nextafter(x, kInf);
  }
  while (!std::isfinite(x * x)) x = std::nextafter(x, 0.0);
  return x;
}

// A constant exponent gets its own instruction (a multiplication for 2, a
// square root for 0.5); its value and check must stay those of pow, which
// the same power with the exponent in a variable always calls.  Under atan,
// a failed power shows apart from a +inf that only the final check refuses.
TEST(RealEvaluation, ConstantExponentsKeepPowsValueAndCheck) {
  const double root = LargestFiniteSquareRoot();
  const double edges[] = {0.0,       -0.0,  kInf,    -kInf,
                          kNaN,      root,  -root,   std::nextafter(root, kInf),
                          3.0,       -1.0,  DBL_MAX, DBL_MIN,
                          -DBL_MAX,  -1.5,  0x1p-15, 0x1p15,
                          -0x1.8p14, 1e-300};
  double area[EVAL_VARIABLE_COUNT] = {};
  for (const char* exponent : {"2", "1", "0.5", "3", "4", "5", "7", "(0-2)"}) {
    area['y' - 'a'] = evaltest::OneShotReal(Width::kNarrow, exponent).value;
    for (const std::string shape : {"x^", "atan(x^"}) {
      const std::string close = shape.size() > 2 ? ")" : "";
      const std::string text = shape + exponent + close,
                        oracle = shape + "y" + close;
      for (const double x : edges) {
        area[evaltest::kX] = x;
        for (const bool deep : {false, true}) {
          SCOPED_TRACE(text + " at x = " + std::to_string(x));
          const auto got = evaltest::RunReal(
              Width::kNarrow, deep ? evaltest::Deepen(text) : text, area);
          const auto want = evaltest::RunReal(Width::kNarrow, oracle, area);
          EXPECT_EQ(got.outcome, want.outcome);
          EXPECT_EQ(Bits(got.value), Bits(want.value));
        }
      }
    }
  }
  // The edges' outcomes themselves, so that a fault shared with pow shows.
  const struct {
    const char* text;
    double x;
    int32_t code;
    double value;
  } rows[] = {// clang-format off
      {"x^2", root, 0, root * root}, {"x^2", -root, 0, root * root},
      {"x^2", std::nextafter(root, kInf), 20, kUntouched},
      {"x^2", -kInf, 20, kUntouched}, {"x^2", -0.0, 0, 0.0},
      {"atan(x^1)", -kInf, 0, -std::atan(kInf)},
      {"atan(x^1)", kInf, 20, kUntouched}, {"x^0.5", -0.0, 0, 0.0},
      {"atan(x^0.5)", -kInf, 20, kUntouched}, {"x^0.5", -1.0, 20, kUntouched},
      {"x^0.5", 4.0, 0, 2.0}, {"x^3", -0.0, 0, -0.0},
      {"x^3", 1e103, 20, kUntouched}, {"atan(x^3)", -1e103, 0, -std::atan(kInf)}};
  // clang-format on
  for (const auto& row : rows) {
    area[evaltest::kX] = row.x;
    const auto got = evaltest::RunReal(Width::kNarrow, row.text, area);
    SCOPED_TRACE(std::string(row.text) + " at x = " + std::to_string(row.x));
    EXPECT_EQ(got.outcome.code, row.code);
    EXPECT_EQ(Bits(got.value), Bits(row.value));
  }
}

constexpr int32_t kDivide = EVAL_ALLOW_DIVIDE, kPower = EVAL_ALLOW_POWER,
                  kBoth = kDivide | kPower;

struct IntegerRow {
  const char* text;
  int32_t options;
  Outcome outcome;  // {0, 0}: success with |value|
  int32_t value = 0;
};

// Rows run through a function object and, without variables, through the
// one-shot call, in both widths.  The area holds x = 5 and y = 7 between
// neighbours that would spoil a slot read with the wrong width.
void ExpectInteger(const std::vector<IntegerRow>& rows) {
  int32_t area[EVAL_VARIABLE_COUNT] = {};
  area['w' - 'a'] = -1;
  area['x' - 'a'] = 5;
  area['y' - 'a'] = 7;
  area['z' - 'a'] = INT32_MAX;
  for (const IntegerRow& row : rows) {
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
TEST(IntegerMode, RefusedTokensAndOptions) {
  // clang-format off
  ExpectInteger({
      {"x/2", 0, {24, 1}}, {"2^3", 0, {24, 1}}, {"x/2", kBoth, {}, 2},
      {"2^3", kBoth, {}, 8}, {"7/2", kPower, {24, 1}},
      {"2^3", kDivide, {24, 1}}, {"7/2", 4, {24, 1}}, {"7/2*2^2", -1, {}, 12},
      {"2.5", kBoth, {24, 0}}, {"PI", kBoth, {24, 0}}, {"E", kBoth, {24, 0}},
      {"1+EU", kBoth, {24, 2}}, {"sin(2)", kBoth, {24, 0}},
      {"2*abs(2)", kBoth, {24, 2}}, {"2147483647", kBoth, {24, 0}},
      {"1+4294967297", kBoth, {24, 2}}, {"2147483646", kBoth, {}, 2147483646},
      {"2^2.5", 0, {24, 1}}, {"2^2.5", kPower, {24, 2}},
      {"2.5+", kBoth, {11, 3}}, {"sin x", kBoth, {9, 4}}});
  // clang-format on
}

// Division truncates toward zero; a power goes through double.  Sums,
// differences and products wrap modulo 2^64; only the two 64-bit limit
// values count as overflow inside the walk, and the final value must fit in
// 32 bits.
TEST(IntegerMode, Arithmetic) {
  // clang-format off
  ExpectInteger({
      {"7/2", kDivide, {}, 3}, {"(0-7)/2", kDivide, {}, -3},
      {"7/(0-2)", kDivide, {}, -3}, {"7/(0-1)", kDivide, {}, -7},
      {"7/0", kDivide, {15, 0}}, {"x/(y-7)", kDivide, {15, 0}},
      {"2^10", kPower, {}, 1024}, {"2^(0-1)", kPower, {}, 0},
      {"2^3^2", kPower, {}, 64}, {"(0-3)^3", kPower, {}, -27},
      {"0^(0-1)", kPower, kOverflow}, {"2^31", kPower, kOverflow},
      {"(0-2)^31", kPower, {}, INT32_MIN},
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
      {"z+1", 0, kOverflow}, {"z+1-1", 0, {}, INT32_MAX}});
  // clang-format on
}

}  // namespace
