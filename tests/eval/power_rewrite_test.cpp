// A constant exponent of 2, 1 or 0.5 is computed without pow (x·x, x, the
// square root); its value and check must stay pow's.  The oracle is the same
// power with the exponent read from a variable, which always calls pow.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

#include "eval_tables.h"

namespace {

using evaltest::Deepen;
using evaltest::kInf;
using evaltest::kNaN;
using evaltest::kX;
using evaltest::RealResult;
using evaltest::RunReal;
using evaltest::Width;

constexpr int kY = 'y' - 'a';

// The largest x whose square is finite.
double LargestFiniteSquareRoot() {
  double x = std::sqrt(DBL_MAX);
  while (std::isfinite(std::nextafter(x, kInf) * std::nextafter(x, kInf))) {
    x = std::nextafter(x, kInf);
  }
  while (!std::isfinite(x * x)) x = std::nextafter(x, 0.0);
  return x;
}

uint64_t Bits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

TEST(PowerRewrite, ConstantExponentKeepsPowsValueAndCheck) {
  const double root = LargestFiniteSquareRoot();
  const double edges[] = {0.0,     -0.0, kInf,    -kInf,
                          kNaN,    root, -root,   std::nextafter(root, kInf),
                          3.0,     -1.0, DBL_MAX, DBL_MIN,
                          -DBL_MAX};
  // "atan" tells a failed power from a +inf that only the final check
  // rejects: atan(+inf) would succeed.
  const char* const shapes[] = {"x^%s", "atan(x^%s)", "x^%s*1"};
  for (const char* exponent : {"2", "1", "0.5"}) {
    for (const char* shape : shapes) {
      char constant[32], variable[32];
      std::snprintf(constant, sizeof constant, shape, exponent);
      std::snprintf(variable, sizeof variable, shape, "y");
      for (const bool deep : {false, true}) {
        const std::string text = deep ? Deepen(constant) : constant;
        const std::string oracle = deep ? Deepen(variable) : variable;
        for (const double x : edges) {
          double area[26] = {};
          area[kX] = x;
          area[kY] = std::atof(exponent);
          const RealResult got = RunReal(Width::kNarrow, text, area);
          const RealResult want = RunReal(Width::kNarrow, oracle, area);
          SCOPED_TRACE(text + " at x = " + std::to_string(x));
          EXPECT_EQ(got.outcome, want.outcome);
          EXPECT_EQ(Bits(got.value), Bits(want.value));
        }
      }
    }
  }
}

// The edges' outcomes themselves, so that a fault shared with pow shows.
TEST(PowerRewrite, SquareOverflowsJustPastTheLargestFiniteSquare) {
  const double root = LargestFiniteSquareRoot();
  struct Row {
    const char* text;
    double x;
    int32_t code;
    double value;
  } const rows[] = {
      {"x^2", root, 0, root * root},
      {"x^2", -root, 0, root * root},
      {"x^2", std::nextafter(root, kInf), 20, evaltest::kUntouched},
      {"x^2", -kInf, 20, evaltest::kUntouched},
      {"x^2", -0.0, 0, 0.0},
      {"atan(x^1)", -kInf, 0, -std::atan(kInf)},
      {"atan(x^1)", kInf, 20, evaltest::kUntouched},
      {"x^0.5", -0.0, 0, 0.0},
      {"atan(x^0.5)", -kInf, 20, evaltest::kUntouched},
      {"x^0.5", -1.0, 20, evaltest::kUntouched},
      {"x^0.5", 4.0, 0, 2.0},
  };
  for (const Row& row : rows) {
    for (const std::string& text : {std::string(row.text), Deepen(row.text)}) {
      double area[26] = {};
      area[kX] = row.x;
      const RealResult got = RunReal(Width::kNarrow, text, area);
      SCOPED_TRACE(text + " at x = " + std::to_string(row.x));
      EXPECT_EQ(got.outcome.code, row.code);
      EXPECT_EQ(Bits(got.value), Bits(row.value));
    }
  }
}

}  // namespace
