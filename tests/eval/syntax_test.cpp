// Lexing and syntax checking: which texts compile, the code and position of
// the first fault otherwise.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "eval_tables.h"

namespace {

using evaltest::Outcome;
using evaltest::Width;

struct SyntaxRow {
  std::string text;
  Outcome outcome;  // {0, 0}: the text compiles
};

// Faults found while cutting the text into runs, and numbers it accepts.
// A second decimal point is reported at its own position.
// clang-format off
const std::vector<SyntaxRow> kLexerRows = {
    {"1.2.3", {2, 3}}, {"x+1.2.3", {2, 5}}, {"Sin(x)", {21, 0}},
    {"pi", {21, 0}}, {"X", {21, 0}}, {"xy", {21, 0}}, {"x+sinx", {21, 2}},
    {"x#", {21, 0}}, {"x\t+1", {21, 0}}, {"#3", {21, 0}},
    {std::string(400, '9'), {20, 0}}, {"1+" + std::string(400, '9'), {20, 2}},
    {"1" + std::string(400, '0') + ".5", {20, 0}},
    {"0." + std::string(400, '9'), {}}, {"3#", {}}, {"1\t+1", {}},
    {"99999999999", {}}, {".5", {}}, {".", {}}, {"PI*E*EU", {}}};
// clang-format on

// Rules for the first token; some report the fixed position 1.
// clang-format off
const std::vector<SyntaxRow> kStartRows = {
    {"", {5, 1}}, {"   ", {5, 1}}, {"*2", {7, 1}}, {"   ^2", {7, 1}},
    {")", {6, 1}}, {"  )+1", {6, 1}}, {"2x", {22, 1}}, {"x2", {22, 1}},
    {"1e5", {22, 1}}, {"x y", {22, 2}}, {"1 # 2", {22, 4}}, {"1(2)", {22, 1}},
    {"PI2", {22, 2}}, {"sin", {9, 0}}, {"  sin", {9, 2}}, {"sin x", {9, 4}},
    {"sin+1", {9, 3}}, {"()", {10, 1}}, {"  ()", {10, 3}}, {"( *2)", {7, 2}},
    {"-x^2", {}}, {"+3", {}}, {"sin(x)", {}}};
// clang-format on

// Rules for the tokens between the first and the last.
// clang-format off
const std::vector<SyntaxRow> kMiddleRows = {
    {"2*-3", {7, 1}}, {"1+*2", {7, 1}}, {"1--2", {7, 1}}, {"2*(/3)", {7, 3}},
    {"(1)2+1", {4, 3}}, {"1+2(3)", {4, 3}}, {"(x)y+1", {4, 3}},
    {"(1)sin(2)", {4, 3}}, {"1+sin 2", {9, 6}}, {"1+sin*2", {9, 5}},
    {"(1)(2)", {6, 3}}, {"1)+2", {6, 1}}, {"(1))+(2)", {6, 3}},
    {"1+()", {10, 2}}, {"1+(())", {10, 3}}, {"2^(-1)", {}}, {"1-(+2)", {}},
    {"2*(-x)", {}}, {"sin(cos(x))", {}}, {"((x))", {}}};
// clang-format on

// Rules for the last token and the final counts.
// clang-format off
const std::vector<SyntaxRow> kEndRows = {
    {"1+", {11, 1}}, {"-", {11, 0}}, {"(", {11, 0}}, {"sin(", {11, 3}},
    {"1+sin", {11, 2}}, {"(1+)", {6, 3}}, {"(1)2", {4, 3}}, {"(x)y", {4, 3}},
    {"(1+2", {12, 3}}, {"1+2)", {12, 3}}, {"((1)", {12, 3}}, {"(x", {12, 1}},
    {"(1))", {12, 3}}};
// clang-format on

void ExpectRows(std::span<const SyntaxRow> rows) {
  double reals[EVAL_VARIABLE_COUNT] = {};
  int32_t integers[EVAL_VARIABLE_COUNT] = {};
  for (const SyntaxRow& row : rows) {
    for (Width width : evaltest::kWidths) {
      SCOPED_TRACE(evaltest::Trace(row.text, width));
      Outcome real = {}, integer = {};
      evaltest::Function function = evaltest::Create(width, row.text);
      if (!CompileDFunction(function.get(), reals)) {
        real = evaltest::LastError(width, function.get());
      }
      EXPECT_EQ(real, row.outcome);
      // Integer compilation lexes and checks the same way before its own
      // check, which none of the faulty rows reaches.
      if (row.outcome == Outcome{}) continue;
      function = evaltest::Create(width, row.text);
      if (!CompileIFunction(function.get(), integers, 3)) {
        integer = evaltest::LastError(width, function.get());
      }
      EXPECT_EQ(integer, row.outcome);
    }
  }
}

TEST(Syntax, LexerFaultsAndAcceptedNumbers) { ExpectRows(kLexerRows); }
TEST(Syntax, StartOfTextRules) { ExpectRows(kStartRows); }
TEST(Syntax, MiddleTokenRules) { ExpectRows(kMiddleRows); }
TEST(Syntax, LastTokenAndCountRules) { ExpectRows(kEndRows); }

// The one-shot calls refuse variables, at the last token, after every other
// syntax rule but the bracket count.
TEST(Syntax, OneShotCallsRefuseVariables) {
  // clang-format off
  const SyntaxRow rows[] = {
      {"x+1", {13, 2}}, {"x", {13, 0}}, {"sin(x)", {13, 5}}, {"(x", {13, 1}},
      {"2x", {22, 1}}, {"x#", {21, 0}}};
  // clang-format on
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
// range counts as that ASCII character; the wide lexer sees whole
// characters and counts positions in UTF-16 units.
TEST(Lexer, JapaneseTextInBothWidths) {
  const struct {
    const char* narrow;  // Shift-JIS bytes; null for wide-only rows
    const char16_t* wide;
    evaltest::RealResult narrow_result, wide_result;
  } rows[] = {// テ is 83 65: the trail byte is the variable e.
              {"1+\x83"
               "e",
               u"1+テ",
               {{}, 3.5},
               {{11, 1}}},
              // タ is 83 5E: the trail byte is the power operator.
              {"2\x83^3", u"2タ3", {{}, 8}, {{}, 2}},
              // 値 is 92 6C: the trail byte is the variable l.
              {"x \x92l 2", u"x 値 2", {{22, 3}}, {{22, 4}}},
              {"x + 1 \x81\xA9 \x92l", u"x + 1 ← 値", {{4, 10}}, {{}, 3}},
              // 数 is 90 94, two bytes but one UTF-16 unit.
              {"1 \x90\x94 + 2)", u"1 数 + 2)", {{12, 8}}, {{12, 7}}},
              // A character outside the basic plane is two UTF-16 units.
              {nullptr, u"1 𠮷 + 2)", {}, {{12, 8}}},
              {"\x83"
               "e",
               u"テ",
               {{21, 0}},
               {{21, 0}}}};
  double area[EVAL_VARIABLE_COUNT] = {};
  area['e' - 'a'] = 2.5;
  area['l' - 'a'] = 100;
  area[evaltest::kX] = 2;
  for (const auto& row : rows) {
    SCOPED_TRACE(evaltest::ShiftJis(row.wide));
    for (Width width : evaltest::kWidths) {
      if (width == Width::kNarrow && !row.narrow) continue;
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
      EXPECT_EQ(actual.outcome, expected.outcome) << evaltest::Name(width);
      EXPECT_EQ(actual.value, expected.value) << evaltest::Name(width);
    }
  }
}

}  // namespace
