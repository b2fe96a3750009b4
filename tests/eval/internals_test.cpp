// The library's stages seen from inside: tokens, postfix programs, and
// programs or token lists that no checked text produces.  Native only; the
// tables of the other files use the exported interface alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "eval_tables.h"
#include "evaluator.h"

namespace evaltest {

// Error slot of a pipeline stage, owning whatever error it receives.
struct ErrorSlot {
  eval::EvalError* error = nullptr;
  ~ErrorSlot() { delete error; }
  eval::EvalError** slot() { return &error; }
  Outcome outcome() const {
    return error ? Outcome{error->code, error->position} : Outcome{-1, -1};
  }
};

inline int Tokenize(Width width, const std::string& text, eval::TokenList& list,
                    const void* area, bool integer_mode = false) {
  eval::Evaluator evaluator;
  ErrorSlot error;
  return width == Width::kNarrow
             ? evaluator.TokenizeNarrow(text.c_str(), list, area, integer_mode,
                                        error.slot())
             : evaluator.TokenizeWide(Wide(text).c_str(), list, area,
                                      integer_mode, error.slot());
}

inline constexpr const char* kFunctionNames[] = {
    "sin",  "cos",  "tan",  "sec",  "cosec", "cot",  "asin",
    "acos", "atan", "sinh", "cosh", "tanh",  "sech", "cosech",
    "coth", "log",  "ex",   "abs",  "sqrt",  "cub"};
inline constexpr int32_t kFunctionCodes[] = {
    0x10001, 0x10002, 0x10003, 0x10004, 0x10005, 0x10006, 0x10011,
    0x10012, 0x10013, 0x20001, 0x20002, 0x20003, 0x20004, 0x20005,
    0x20006, 0x30001, 0x30002, 0x40001, 0x40002, 0x40003};

// One token as text: integer constants as digits, real constants with a
// trailing "r", variables by the letter of the slot they address in |area|,
// operators and functions by their spelling.
inline std::string TokenText(const eval::Token& token, const void* area) {
  const auto slot = [&](auto* base) {
    return std::string(
        1, 'a' + (static_cast<decltype(base)>(token.value_pointer) - base));
  };
  char real[40];
  switch (token.kind) {
    case eval::KIND_INTEGER:
      return std::to_string(token.integer_value);
    case eval::KIND_REAL:
      std::snprintf(real, sizeof real, "%.17gr", token.real_value);
      return real;
    case eval::KIND_OPERATOR: {
      const int32_t k = token.integer_value - eval::OP_ADD;
      return k >= 0 && k < 5 ? std::string(1, "+-*/^"[k]) : "?";
    }
    case eval::KIND_FUNCTION:
      for (int i = 0; i < 20; ++i) {
        if (kFunctionCodes[i] == token.integer_value) return kFunctionNames[i];
      }
      return "?";
    case eval::KIND_OPEN:
      return "(";
    case eval::KIND_CLOSE:
      return ")";
    case eval::KIND_REAL_VARIABLE:
      return slot(static_cast<const double*>(area));
    case eval::KIND_INTEGER_VARIABLE:
      return slot(static_cast<const int32_t*>(area));
  }
  return "?";
}

// The tokens in list order separated by blanks, each with "@position" when
// |positions| is set.
inline std::string Render(const eval::TokenList& list, const void* area,
                          bool positions) {
  std::string out;
  for (uint32_t i = 0; i < list.count(); ++i) {
    if (i) out += ' ';
    out += TokenText(*list.item(i), area);
    if (positions) out += "@" + std::to_string(list.item(i)->position);
  }
  return out;
}

}  // namespace evaltest

namespace {

using eval::Token;
using eval::TokenList;
using evaltest::kUntouched;
using evaltest::Outcome;
using evaltest::Render;
using evaltest::Width;

TEST(TokenList, GrowsAndKeepsOrder) {
  TokenList list;
  for (int32_t i = 0; i < 17; ++i) list.append(Token::MakeInteger(i, i));
  ASSERT_EQ(list.count(), 17u);
  for (uint32_t i = 0; i < 17; ++i) {
    EXPECT_EQ(list.item(i)->integer_value, static_cast<int32_t>(i));
  }
  EXPECT_EQ(list.item(17), nullptr);
  EXPECT_EQ(list.last()->integer_value, 16);
}

TEST(TokenList, EmptyListHandsOutNothing) {
  TokenList list;
  EXPECT_EQ(list.item(0), nullptr);
  EXPECT_EQ(list.pop(), nullptr);
  EXPECT_EQ(list.last(), nullptr);
  list.append(Token::MakeInteger(1, 0));
  std::unique_ptr<Token> popped(list.pop());  // ownership passes over
  ASSERT_NE(popped, nullptr);
  EXPECT_EQ(popped->integer_value, 1);
  EXPECT_EQ(list.pop(), nullptr);
  EXPECT_EQ(list.last(), nullptr);
}

// After take_all the source holds nothing: destroying it must leave the
// moved tokens alive (a sanitizer build catches a use after free).
TEST(TokenList, TakeAllMovesTokensInOrder) {
  TokenList source;
  TokenList target;
  target.append(Token::MakeInteger(1, 0));
  for (int32_t i = 2; i <= 20; ++i) source.append(Token::MakeInteger(i, 0));
  EXPECT_EQ(target.take_all(source), 20u);
  EXPECT_EQ(source.count(), 0u);
  EXPECT_EQ(source.item(0), nullptr);
  source.destroy();
  for (uint32_t i = 0; i < 20; ++i) {
    EXPECT_EQ(target.item(i)->integer_value, static_cast<int32_t>(i + 1));
  }
}

TEST(ValueStack, PopOnEmptyYieldsZeroAndStaysEmpty) {
  eval::ValueStack<double> reals;
  EXPECT_EQ(reals.pop(), 0.0);
  EXPECT_EQ(reals.count(), 0u);
  eval::ValueStack<int64_t> integers;
  for (int64_t i = 0; i < 17; ++i) integers.push(i << 32 | i);
  for (int64_t i = 16; i >= 0; --i) EXPECT_EQ(integers.pop(), i << 32 | i);
  EXPECT_EQ(integers.pop(), 0);
  EXPECT_EQ(integers.count(), 0u);
}

// A real constant's integer field holds the low 32 bits of its truncation.
TEST(Token, RealConstantTruncatesTowardZero) {
  // clang-format off
  const struct {
    double value;
    int32_t truncated;
  } rows[] = {
      {-2.7, -2}, {2.7, 2}, {5e9, 705032704}, {2147483648.0, INT32_MIN}};
  // clang-format on
  for (const auto& row : rows) {
    std::unique_ptr<Token> real(Token::MakeReal(row.value, 0));
    EXPECT_EQ(real->integer_value, row.truncated) << row.value;
  }
}

// The integer parse saturates at the 32-bit limits, and a saturated value is
// read again as a real, whatever the width of the platform's long.
TEST(Token, DigitRunsAtTheIntegerLimits) {
  const struct {
    const char* text;
    uint32_t kind;
    double value;
  } rows[] = {{"2147483646", eval::KIND_INTEGER, 2147483646.0},
              {"2147483647", eval::KIND_REAL, 2147483647.0},
              {"2147483648", eval::KIND_REAL, 2147483648.0},
              {"4294967297", eval::KIND_REAL, 4294967297.0},
              {"9223372036854775808", eval::KIND_REAL, 9223372036854775808.0}};
  for (const auto& row : rows) {
    for (evaltest::Width width : evaltest::kWidths) {
      for (bool integer_mode : {false, true}) {
        SCOPED_TRACE(evaltest::Trace(row.text, width) +
                     (integer_mode ? " integer mode" : ""));
        TokenList list;
        ASSERT_EQ(
            evaltest::Tokenize(width, row.text, list, nullptr, integer_mode),
            1);
        ASSERT_EQ(list.count(), 1u);
        EXPECT_EQ(list.item(0)->kind, row.kind);
        EXPECT_EQ(list.item(0)->real_value, row.value);
      }
    }
  }
}

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

TEST(Syntax, UnknownTokenKindHasItsOwnMessage) {
  eval::TokenList list;
  list.append(eval::Token::MakeInteger(1, 0));
  list.append(eval::Token::MakeOperator(eval::OP_ADD, 1));
  auto* odd = new eval::Token;
  odd->kind = 0x40;
  odd->position = 2;
  list.append(odd);
  list.append(eval::Token::MakeOperator(eval::OP_ADD, 3));
  list.append(eval::Token::MakeInteger(1, 4));
  evaltest::ErrorSlot error;
  EXPECT_EQ(eval::Evaluator().CheckSyntax(list, true, error.slot()), 0);
  ASSERT_NE(error.error, nullptr);
  EXPECT_EQ(error.outcome(), (Outcome{4, 2}));
  EXPECT_EQ(std::u16string(error.error->wide_message()),
            u"不正な種類のデータがあります。");
}

// A character of no class extends the run before it, even a digit run
// that goes on after it.  A sign gets a zero only at the start or after an
// opening bracket.
TEST(Lexer, TokensOfAcceptedTexts) {
  // clang-format off
  const struct {
    const char* text;
    const char* tokens;  // evaltest::Render with positions
  } rows[] = {
      {".5", "0.5r@0"}, {".", "0r@0"}, {"3#", "3@0"}, {"3#4", "3@0"},
      {"1.5#", "1.5r@0"}, {"1,5", "1@0"}, {"007", "7@0"},
      {"99999999999", "99999999999r@0"}, {"1 # 2", "1@0 2@4"},
      {"1\t+1", "1@0 +@2 1@3"}, {"-x^2", "0@0 -@0 x@1 ^@2 2@3"},
      {"+", "0@0 +@0"}, {"2^(-1)", "2@0 ^@1 (@2 0@3 -@3 1@4 )@5"},
      {"2*-3", "2@0 *@1 -@2 3@3"}, {"sin (x)", "sin@0 (@4 x@5 )@6"},
      {"a*z+m", "a@0 *@1 z@2 +@3 m@4"},
      {"E+EU+e", "2.7182818284590451r@0 +@1 2.7182818284590451r@2 +@4 e@5"},
      {"PI", "3.1415926535897931r@0"}};
  // clang-format on
  double area[EVAL_VARIABLE_COUNT] = {};
  for (const auto& row : rows) {
    for (Width width : evaltest::kWidths) {
      SCOPED_TRACE(evaltest::Trace(row.text, width));
      eval::TokenList list;
      EXPECT_EQ(evaltest::Tokenize(width, row.text, list, area), 1);
      EXPECT_EQ(evaltest::Render(list, area, true), row.tokens);
    }
  }
}

TEST(Lexer, EveryFunctionNameHasItsCode) {
  std::string names;
  for (const char* name : evaltest::kFunctionNames) {
    names += names.empty() ? name : std::string(" ") + name;
  }
  for (Width width : evaltest::kWidths) {
    eval::TokenList list;
    EXPECT_EQ(evaltest::Tokenize(width, names, list, nullptr), 1);
    EXPECT_EQ(evaltest::Render(list, nullptr, false), names);
  }
}

// Programs that no checked text produces: an empty one, and elements of
// unknown kinds and codes, which are skipped.  An operator finding a single
// value takes it as its right operand and 0 as its left.
TEST(RealEvaluation, HandMadePrograms) {
  eval::TokenList program;
  double value = kUntouched;
  evaltest::ErrorSlot empty;
  EXPECT_EQ(eval::Evaluator().EvaluateReal(program, &value, empty.slot()), 0);
  EXPECT_EQ(empty.outcome(), (Outcome{14, 0}));
  EXPECT_EQ(value, kUntouched);

  for (int32_t v : {1, 2, 3}) program.append(eval::Token::MakeInteger(v, 0));
  program.append(eval::Token::MakeOperator(0x1000009, 0));  // pops 2 and 3
  program.append(eval::Token::MakeFunction(0x50001, 0));    // touches nothing
  auto* odd = new eval::Token;
  odd->kind = 0x40;
  odd->real_value = 99;
  program.append(odd);
  program.append(eval::Token::MakeOperator(eval::OP_SUBTRACT, 0));
  evaltest::ErrorSlot none;
  EXPECT_EQ(eval::Evaluator().EvaluateReal(program, &value, none.slot()), 1);
  EXPECT_EQ(value, -1);
}

Outcome Evaluate(const eval::TokenList& program, int32_t* value,
                 std::u16string* message = nullptr) {
  evaltest::ErrorSlot error;
  if (eval::Evaluator().EvaluateInteger(program, value, error.slot())) {
    return {};
  }
  if (message && error.error) *message = error.error->wide_message();
  return error.outcome();
}

// Programs that no checked text produces.  A real constant counts by its
// truncated value: as the first element from its real value, later from its
// 32-bit integer field.  Unknown kinds are skipped.
TEST(IntegerEvaluation, HandMadePrograms) {
  eval::TokenList program;
  int32_t value = 3;
  EXPECT_EQ(Evaluate(program, &value), (Outcome{14, 0}));
  EXPECT_EQ(value, 3);

  program.append(eval::Token::MakeReal(-2.9, 0));
  program.append(eval::Token::MakeReal(5e9, 0));
  program.append(eval::Token::MakeOperator(eval::OP_ADD, 0));
  auto* odd = new eval::Token;
  odd->kind = 0x40;
  odd->integer_value = 99;
  program.append(odd);
  EXPECT_EQ(Evaluate(program, &value), Outcome{});
  EXPECT_EQ(value, 705032704 - 2);

  program.append(eval::Token::MakeInteger(1, 0));
  program.append(eval::Token::MakeOperator(0x1000009, 0));
  EXPECT_EQ(Evaluate(program, &value), (Outcome{7, 0}));

  program.destroy();
  program.append(eval::Token::MakeInteger(2, 0));
  program.append(eval::Token::MakeFunction(0x10001 /* sin */, 0));
  std::u16string message;
  EXPECT_EQ(Evaluate(program, &value, &message), (Outcome{24, 0}));
  EXPECT_EQ(message, u"整数で演算できない式が含まれています。F");
}

TEST(IntegerCheck, UnknownKindOrOperatorCodeFails3) {
  for (uint32_t kind : {uint32_t{eval::KIND_OPERATOR}, uint32_t{0x40}}) {
    eval::TokenList infix;
    infix.append(eval::Token::MakeInteger(1, 0));
    auto* odd = eval::Token::MakeOperator(0x1000006, 1);
    odd->kind = kind;
    infix.append(odd);
    infix.append(eval::Token::MakeInteger(2, 2));
    evaltest::ErrorSlot error;
    EXPECT_EQ(eval::Evaluator().CheckIntegerExpression(infix, error.slot(), 3),
              0);
    ASSERT_NE(error.error, nullptr);
    EXPECT_EQ(error.outcome(), (Outcome{3, 1}));
    EXPECT_EQ(std::u16string(error.error->wide_message()),
              u"不正な種類のデータがあります。");
  }
}

TEST(Messages, NarrowTextsAreTheShiftJisOfTheWideOnes) {
  size_t longest_narrow = 0, longest_wide = 0;
  for (int id = 0; id < eval::kErrorCount; ++id) {
    const eval::ErrorText& text = eval::error_text(eval::ErrorId(id));
    SCOPED_TRACE("code " + std::to_string(text.code));
    EXPECT_EQ(text.narrow, evaltest::ShiftJis(text.wide));
    longest_narrow = std::max(longest_narrow, std::strlen(text.narrow));
    longest_wide = std::max(longest_wide, std::u16string(text.wide).size());
  }
  EXPECT_EQ(longest_narrow + 1, size_t{EVAL_MESSAGE_BYTES});
  EXPECT_EQ(longest_wide + 1, size_t{EVAL_MESSAGE_UNITS});
}

}  // namespace
