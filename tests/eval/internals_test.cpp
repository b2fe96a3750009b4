// Token lists and programs that no checked text produces, which only the
// library's stages seen from inside can meet.  Native only; the tables use
// the exported interface alone.
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

// The error slot of a stage, owning whatever error it receives.
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

// A program of integer constants and operators as text: "1 2 +".
inline std::string Render(const eval::TokenList& list) {
  std::string out;
  for (uint32_t i = 0; i < list.count(); ++i) {
    const eval::Token& token = *list.item(i);
    out += i ? " " : "";
    out += token.kind == eval::KIND_OPERATOR
               ? std::string(1, "+-*/^"[token.integer_value - eval::OP_ADD])
               : std::to_string(token.integer_value);
  }
  return out;
}

}  // namespace evaltest

namespace {

using evaltest::kUntouched;
using evaltest::Outcome;
using evaltest::Width;

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
        EXPECT_EQ(evaltest::Render(program), row.program);
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
