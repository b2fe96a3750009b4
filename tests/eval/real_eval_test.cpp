// Evaluation in double precision: values, errors, and which check catches
// an out-of-range value.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <span>
#include <string>

#include "eval_tables.h"

namespace {

using evaltest::kInf;
using evaltest::kNaN;
using evaltest::kUntouched;
using evaltest::Outcome;
using evaltest::Width;

constexpr double kPi = std::numbers::pi;

struct Row {
  const char* text;
  double x;
  Outcome outcome;  // {0, 0}: success with |expected|
  double expected = 0;
};

// Every row goes through a function object, again with a stack deeper than
// the fast evaluator's (the general path) and, without variables, through
// the one-shot call, in both widths.
void ExpectRows(std::span<const Row> rows) {
  double area[EVAL_VARIABLE_COUNT] = {};
  for (const Row& row : rows) {
    area[evaltest::kX] = row.x;
    for (Width width : evaltest::kWidths) {
      SCOPED_TRACE(evaltest::Trace(row.text, width));
      evaltest::RealResult results[3] = {
          evaltest::RunReal(width, row.text, area),
          evaltest::RunReal(width, evaltest::Deepen(row.text), area)};
      const int routes = evaltest::HasVariable(row.text) ? 2 : 3;
      if (routes == 3) results[2] = evaltest::OneShotReal(width, row.text);
      for (int route = 0; route < routes; ++route) {
        EXPECT_EQ(results[route].outcome, row.outcome) << "route " << route;
        if (row.outcome == Outcome{}) {
          EXPECT_DOUBLE_EQ(results[route].value, row.expected);
        }
      }
    }
  }
}

constexpr Outcome kDivideByZero{15, 0}, kLogDomain{16, 0}, kOverflow{20, 0},
    kDomain{23, 0};

// Numbers are decimal even with leading zeros.
TEST(RealEvaluation, Values) {
  // clang-format off
  const Row rows[] = {
      {"7", 0, {}, 7}, {"x", 2.5, {}, 2.5}, {"0/1", 0, {}, 0},
      {"1-2+3", 0, {}, 2}, {"2*3/4", 0, {}, 1.5}, {"8/4/2", 0, {}, 1},
      {"2^3^2", 0, {}, 64}, {"-x^2", 3, {}, -9}, {"2^(-1)", 0, {}, 0.5},
      {"(0-10)^3", 0, {}, -1000}, {"0^0", 0, {}, 1}, {"x^0", kNaN, {}, 1},
      {".5", 0, {}, 0.5}, {".", 0, {}, 0}, {"010", 0, {}, 10},
      {"3#4", 0, {}, 3}, {"1,5", 0, {}, 1},
      {"2147483647+1", 0, {}, 2147483648.0},
      {"4294967297", 0, {}, 4294967297.0}, {"PI", 0, {}, kPi},
      {"E*EU", 0, {}, std::numbers::e * std::numbers::e}, {"log(1)", 0, {}, 0},
      {"asin(1)", 0, {}, kPi / 2}, {"acos(0-1)", 0, {}, kPi},
      {"sech(x)", 0, {}, 1}, {"cub(8)", 0, {}, 2}, {"cub(0-27)", 0, {}, -3},
      {"sin(x)^2+cos(x)^2", 0.3, {}, 1}};
  // clang-format on
  ExpectRows(rows);
}

// A zero divisor of either sign fails; a negative base with a fractional
// exponent gives NaN and fails as an overflow.
TEST(RealEvaluation, Errors) {
  // clang-format off
  const Row rows[] = {
      {"1/0", 0, kDivideByZero}, {"1/(0*(0-1))", 0, kDivideByZero},
      {"x/(x-x)", 3, kDivideByZero}, {"cosec(0)", 0, kDivideByZero},
      {"cot(0)", 0, kDivideByZero}, {"cosech(0)", 0, kDivideByZero},
      {"coth(0)", 0, kDivideByZero}, {"log(0)", 0, kLogDomain},
      {"log(0-1)", 0, kLogDomain}, {"sqrt(0-1)", 0, kDomain},
      {"sqrt(0-0.0000001)", 0, kDomain}, {"asin(2)", 0, kDomain},
      {"asin(1.0000001)", 0, kDomain}, {"acos(0-2)", 0, kDomain},
      {"(0-8)^(1/3)", 0, kOverflow}, {"0^(0-1)", 0, kOverflow},
      {"x-x", kInf, kOverflow}, {"0-x", kInf, kOverflow}};
  // clang-format on
  ExpectRows(rows);
}

// NaN counts as zero for every divisor and lies outside every domain; an
// infinity is refused only where a result is checked.
TEST(RealEvaluation, NotANumberOrInfinityInAVariable) {
  // clang-format off
  const Row rows[] = {
      {"1/x", kNaN, kDivideByZero}, {"sec(x)", kNaN, kDivideByZero},
      {"cosec(x)", kNaN, kDivideByZero}, {"cot(x)", kNaN, kDivideByZero},
      {"cosech(x)", kNaN, kDivideByZero}, {"coth(x)", kNaN, kDivideByZero},
      {"log(x)", kNaN, kLogDomain}, {"asin(x)", kNaN, kDomain},
      {"acos(x)", kNaN, kDomain}, {"sqrt(x)", kNaN, kDomain},
      {"tan(x)", kNaN, kOverflow}, {"sin(x)", kNaN, kOverflow},
      {"sech(x)", kNaN, kOverflow}, {"cub(x)", kNaN, kOverflow},
      {"abs(x)", kNaN, kOverflow}, {"x", kNaN, kOverflow}, {"1/x", kInf, {}, 0},
      {"sech(x)", kInf, {}, 0}, {"atan(x)", kInf, {}, kPi / 2},
      {"tanh(x)", kInf, {}, 1}, {"1/sinh(x)", kInf, {}, 0}};
  // clang-format on
  ExpectRows(rows);
}

// Operators and most functions compute in an extended exponent range: a
// result beyond double but finite there passes its own check and is pushed
// as an infinity, which a later operation may bring back into range.  pow,
// asin, acos, sinh, cosh and tanh are plain double functions.
TEST(RealEvaluation, ExtendedRangeOfIntermediateResults) {
  // clang-format off
  const Row rows[] = {
      {"1/ex(1000)", 0, {}, 0}, {"1/(10^300*10^300)", 0, {}, 0},
      {"1/cosh(1000)", 0, {}, 0}, {"sech(1000)", 0, {}, 0},
      {"ex(0-1000)", 0, {}, 0}};
  // clang-format on
  ExpectRows(rows);
}

// The final check stores the value before refusing it; a check inside the
// walk leaves the result location as it was.  A function object never hands
// out a refused value.  ex(12000) lies beyond even the extended range.
TEST(RealEvaluation, WhereAnOutOfRangeValueIsCaught) {
  // clang-format off
  const struct {
    const char* text;
    int32_t code;
    double stored;  // by the one-shot call
  } rows[] = {
      {"(0-10)^401", 20, -kInf}, {"ex(1000)", 20, kInf},
      {"cosh(1000)", 20, kInf}, {"sin(ex(1000))", 20, kNaN},
      {"10^400", 20, kUntouched}, {"1/10^400", 20, kUntouched},
      {"ex(1000)*2", 20, kUntouched}, {"0-(0-10)^401", 20, kUntouched},
      {"ex(12000)", 20, kUntouched}, {"1/0", 15, kUntouched},
      {"log(0)", 16, kUntouched}};
  // clang-format on
  for (const auto& row : rows) {
    for (Width width : evaltest::kWidths) {
      SCOPED_TRACE(evaltest::Trace(row.text, width));
      const auto one_shot = evaltest::OneShotReal(width, row.text);
      EXPECT_EQ(one_shot.outcome, (Outcome{row.code, 0}));
      if (std::isnan(row.stored)) {
        EXPECT_TRUE(std::isnan(one_shot.value)) << one_shot.value;
      } else {
        EXPECT_EQ(one_shot.value, row.stored);
      }
      const auto object = evaltest::RunReal(width, row.text, nullptr);
      EXPECT_EQ(object.outcome, (Outcome{row.code, 0}));
      EXPECT_EQ(object.value, kUntouched);
    }
  }
}

// Both evaluators against the platform's functions.  cub has no such
// counterpart: see its rows in Values.
TEST(RealEvaluation, EveryFunctionMatchesTheMathLibrary) {
  const struct {
    const char* name;
    double (*expected)(double);
  } rows[] = {{"sin", [](double x) { return std::sin(x); }},
              {"cos", [](double x) { return std::cos(x); }},
              {"tan", [](double x) { return std::tan(x); }},
              {"sec", [](double x) { return 1 / std::cos(x); }},
              {"cosec", [](double x) { return 1 / std::sin(x); }},
              {"cot", [](double x) { return std::cos(x) / std::sin(x); }},
              {"asin", [](double x) { return std::asin(x); }},
              {"acos", [](double x) { return std::acos(x); }},
              {"atan", [](double x) { return std::atan(x); }},
              {"sinh", [](double x) { return std::sinh(x); }},
              {"cosh", [](double x) { return std::cosh(x); }},
              {"tanh", [](double x) { return std::tanh(x); }},
              {"sech", [](double x) { return 1 / std::cosh(x); }},
              {"cosech", [](double x) { return 1 / std::sinh(x); }},
              {"coth", [](double x) { return std::cosh(x) / std::sinh(x); }},
              {"log", [](double x) { return std::log(x); }},
              {"ex", [](double x) { return std::exp(x); }},
              {"abs", [](double x) { return std::fabs(x); }},
              {"sqrt", [](double x) { return std::sqrt(x); }}};
  double area[EVAL_VARIABLE_COUNT] = {};
  for (const auto& row : rows) {
    const std::string text = std::string(row.name) + "(x)";
    for (double x : {0.7, -0.4, 2.5, -30.0}) {
      const double value = row.expected(x);
      if (std::isnan(value)) continue;  // domain errors: see Errors
      area[evaltest::kX] = x;
      for (Width width : evaltest::kWidths) {
        SCOPED_TRACE(evaltest::Trace(text, width) + " x=" + std::to_string(x));
        for (const std::string& route : {text, evaltest::Deepen(text)}) {
          const auto result = evaltest::RunReal(width, route, area);
          EXPECT_EQ(result.outcome, Outcome{});
          EXPECT_DOUBLE_EQ(result.value, value);
        }
      }
    }
  }
}

}  // namespace
