// Conversion of checked token lists into postfix programs.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

using evaltest::Render;
using evaltest::Width;

TEST(Postfix, ProgramsFollowPriorityAndBrackets) {
  // clang-format off
  const struct {
    const char* infix;
    const char* program;
  } rows[] = {
      {"1+2*3", "1 2 3 * +"}, {"8/4/2", "8 4 / 2 /"},
      {"2^3^2", "2 3 ^ 2 ^"},  // equal priorities: left to right
      {"-x^2", "0 x 2 ^ -"}, {"sin(x)^2", "x sin 2 ^"},
      {"2^sin(x)", "2 x sin ^"}, {"sin(cos(x))", "x cos sin"},
      {"(1+2)*(3+4)", "1 2 + 3 4 + *"}, {"((x))", "x"}, {"1-2+3", "1 2 - 3 +"},
      {"2*3/4", "2 3 * 4 /"}, {"2*(3+4)", "2 3 4 + *"}, {"7", "7"}, {"y", "y"},
      {"1+2*3^4-5", "1 2 3 4 ^ * + 5 -"}, {"2*(x+1)^2", "2 x 1 + 2 ^ *"},
      {"-(1+2)", "0 1 2 + -"}, {"2-(3-4)", "2 3 4 - -"},
      {"sin(x)*2+cos(y)", "x sin 2 * y cos +"},
      {"x^sqrt(y)*z", "x y sqrt ^ z *"},
      {"2.5*(PI-x)", "2.5r 3.1415926535897931r x - *"},
      {"(x*(y-(z+1)))/2", "x y z 1 + - * 2 /"}};
  // clang-format on
  double area[EVAL_VARIABLE_COUNT] = {};
  for (const auto& row : rows) {
    for (Width width : evaltest::kWidths) {
      SCOPED_TRACE(evaltest::Trace(row.infix, width));
      eval::TokenList infix, program;
      eval::Evaluator evaluator;
      evaltest::ErrorSlot error;
      ASSERT_EQ(evaltest::Tokenize(width, row.infix, infix, area), 1);
      ASSERT_EQ(evaluator.CheckSyntax(infix, true, error.slot()), 1);
      const std::string before = Render(infix, area, true);
      EXPECT_EQ(evaluator.ConvertToPostfix(program, infix, 0), infix.count());
      // Variables are drawn by the slot they address, so equal texts also
      // prove that the program's variables share the infix tokens' slots.
      EXPECT_EQ(Render(program, area, false), row.program);
      EXPECT_EQ(Render(infix, area, true), before);
      uint32_t brackets = 0;
      for (uint32_t i = 0; i < infix.count(); ++i) {
        brackets += infix.item(i)->kind == eval::KIND_OPEN ||
                    infix.item(i)->kind == eval::KIND_CLOSE;
      }
      EXPECT_EQ(program.count() + brackets, infix.count());
    }
  }
}

TEST(Postfix, IntegerVariablesKeepTheirSlots) {
  int32_t area[EVAL_VARIABLE_COUNT] = {};
  for (Width width : evaltest::kWidths) {
    eval::TokenList infix, program;
    ASSERT_EQ(evaltest::Tokenize(width, "x*(y+2)", infix, area, true), 1);
    EXPECT_EQ(eval::Evaluator().ConvertToPostfix(program, infix, 0), 7u);
    EXPECT_EQ(Render(program, area, false), "x y 2 + *");
    EXPECT_EQ(program.item(0)->kind, eval::KIND_INTEGER_VARIABLE);
  }
}

// Unchecked lists: the top level that runs off the end succeeds without
// emitting its pending operators, a constant at the very end closes every
// open level, and a nested level that runs off the end fails.
TEST(Postfix, ResultOfListsThatSkippedTheCheck) {
  // clang-format off
  const struct {
    const char* infix;
    uint32_t result;
    const char* program;
  } rows[] = {
      {"", 1, ""}, {"1+", 1, "1"}, {"sin", 1, ""}, {"1)+2", 2, "1"},
      {"(1+2", 4, "1 2 +"}, {"2*(3+(4)", 8, "2 3 4 + *"}, {"(1+", 0, nullptr},
      {"2*(sin", 0, nullptr}, {"((", 0, nullptr}};
  // clang-format on
  for (const auto& row : rows) {
    for (Width width : evaltest::kWidths) {
      SCOPED_TRACE(evaltest::Trace(row.infix, width));
      eval::TokenList infix, program;
      ASSERT_EQ(evaltest::Tokenize(width, row.infix, infix, nullptr), 1);
      EXPECT_EQ(eval::Evaluator().ConvertToPostfix(program, infix, 0),
                row.result);
      if (row.program) {
        EXPECT_EQ(Render(program, nullptr, false), row.program);
      }
    }
  }
}

}  // namespace
