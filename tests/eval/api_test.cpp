// The exported interface: function object lifecycle, last errors and their
// messages, the one-shot calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "eval_tables.h"

namespace {

using evaltest::Create;
using evaltest::Function;
using evaltest::kUntouched;
using evaltest::kUntouchedInteger;
using evaltest::kX;
using evaltest::LastError;
using evaltest::Outcome;
using evaltest::Width;

void ExpectShiftJisOf(const std::string& narrow, std::u16string_view wide) {
  EXPECT_EQ(narrow, evaltest::ShiftJis(wide));
}

enum Trigger {
  kCompile,
  kCompileTwice,
  kCompileInteger,
  kUncompiled,
  kCalculate,
  kCalculateInteger
};

// Buffers of exactly the documented size live on the heap, so that a
// sanitizer build sees any write past them.
TEST(Messages, LastErrorOfEveryCodeInBothEncodings) {
  const struct {
    Trigger trigger;  // the failing step; the steps before it succeed
    const char* text;
    Outcome outcome;
    const char16_t* message;
  } rows[] = {
      {kCompile, "1.2.3", {2, 3}, u"小数点の数が多すぎます。"},
      {kCompile, "(1)2", {4, 3}, u"不正な値です。"},
      {kCompile, "", {5, 1}, u"データがありません。"},
      {kCompile, "1)+2", {6, 1}, u"不正な括弧です。"},
      {kCompile, "*2", {7, 1}, u"演算子が不正です。"},
      {kCompile, "sin", {9, 0}, u"関数の後に括弧が必要です。"},
      {kCompile, "()", {10, 1}, u"無意味な括弧です。"},
      {kCompile, "1+", {11, 1}, u"不正な最終文字です。"},
      {kCompile, "(1", {12, 1}, u"括弧の数が合いません。"},
      {kCalculate, "1/0", {15, 0}, u"0で除算しました。"},
      {kCalculate, "log(0)", {16, 0}, u"log 0 は定義できません。"},
      {kCompileTwice, "1", {17, 0}, u"既にコンパイル済みです。"},
      {kUncompiled, "1", {19, 0}, u"コンパイルされていません。"},
      {kCalculate, "ex(1000)", {20, 0}, u"オーバーフローしました。"},
      {kCompile, "Sin(x)", {21, 0}, u"識別子が不正です。"},
      {kCompile, "2x", {22, 1}, u"数値の次は演算子か括弧閉じが必要です。"},
      {kCalculate, "sqrt(0-1)", {23, 0}, u"定義域外の値を指定しました。"},
      {kCompileInteger,
       "x/2",
       {24, 1},
       u"整数で演算できない式が含まれています。"},
      {kCalculateInteger,
       "sin(x)",
       {24, 0},
       u"整数で演算できない式が含まれています。F"}};
  for (const auto& row : rows) {
    for (Width width : evaltest::kWidths) {
      SCOPED_TRACE(evaltest::Trace(row.text, width));
      Function function = Create(width, row.text);
      double real = 0;
      int32_t integer = 0;
      if (row.trigger == kCompileInteger) {
        EXPECT_EQ(CompileIFunction(function.get(), nullptr, 0), 0);
      } else if (row.trigger != kUncompiled) {
        EXPECT_EQ(CompileDFunction(function.get(), nullptr),
                  row.trigger != kCompile);
      }
      if (row.trigger == kCompileTwice) {
        EXPECT_EQ(CompileDFunction(function.get(), nullptr), 0);
      } else if (row.trigger == kCalculate || row.trigger == kUncompiled) {
        EXPECT_EQ(CalculateDFunction(function.get(), &real), 0);
      } else if (row.trigger == kCalculateInteger) {
        EXPECT_EQ(CalculateIFunction(function.get(), &integer), 0);
      }
      Outcome outcome;
      if (width == Width::kNarrow) {
        std::vector<char> message(EVAL_MESSAGE_BYTES, '\x7f');
        EXPECT_EQ(GetLastErrorByFunctionA(function.get(), &outcome.code,
                                          &outcome.position, message.data()),
                  1);
        ExpectShiftJisOf(message.data(), row.message);
      } else {
        std::vector<EvalWideChar> message(EVAL_MESSAGE_UNITS, 0x7f);
        EXPECT_EQ(GetLastErrorByFunctionW(function.get(), &outcome.code,
                                          &outcome.position, message.data()),
                  1);
        EXPECT_EQ(evaltest::WideString(message.data()),
                  evaltest::Wide(row.message));
      }
      EXPECT_EQ(outcome, row.outcome);
    }
  }
}

TEST(Messages, OneShotCallsCopyTheirError) {
  const struct {
    const char* text;
    bool integer;
    Outcome outcome;
    const char16_t* message;
  } rows[] = {
      {"1+x", false, {13, 2}, u"変数は使用できません。"},
      {"1/0", false, {15, 0}, u"0で除算しました。"},
      {"7/0", true, {15, 0}, u"0で除算しました。"},
      {"2.5", true, {24, 0}, u"整数で演算できない式が含まれています。"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    double real = kUntouched;
    int32_t integer = kUntouchedInteger;
    Outcome narrow, wide;
    std::vector<char> narrow_message(EVAL_MESSAGE_BYTES, '\x7f');
    std::vector<EvalWideChar> wide_message(EVAL_MESSAGE_UNITS, 0x7f);
    const evaltest::WideString text = evaltest::Wide(row.text);
    if (row.integer) {
      EXPECT_EQ(CalculateIInDirectA(row.text, &integer, 1, &narrow.code,
                                    &narrow.position, narrow_message.data()),
                0);
      EXPECT_EQ(CalculateIInDirectW(text.c_str(), &integer, 1, &wide.code,
                                    &wide.position, wide_message.data()),
                0);
    } else {
      EXPECT_EQ(CalculateDInDirectA(row.text, &real, &narrow.code,
                                    &narrow.position, narrow_message.data()),
                0);
      EXPECT_EQ(CalculateDInDirectW(text.c_str(), &real, &wide.code,
                                    &wide.position, wide_message.data()),
                0);
    }
    EXPECT_EQ(narrow, row.outcome);
    EXPECT_EQ(wide, row.outcome);
    ExpectShiftJisOf(narrow_message.data(), row.message);
    EXPECT_EQ(evaltest::WideString(wide_message.data()),
              evaltest::Wide(row.message));
    EXPECT_EQ(real, kUntouched);
    EXPECT_EQ(integer, kUntouchedInteger);
  }
}

// Outputs that no call may touch, with a check that none was touched.
struct Untouched {
  double real = kUntouched;
  int32_t integer = kUntouchedInteger, code = 77, position = 77;
  char narrow[EVAL_MESSAGE_BYTES] = "unchanged";
  EvalWideChar wide[EVAL_MESSAGE_UNITS] = {'u', 'n', 'c', 'h', 'a',
                                           'n', 'g', 'e', 'd'};
  void Check(bool result_too = true) const {
    if (result_too) {
      EXPECT_EQ(real, kUntouched);
      EXPECT_EQ(integer, kUntouchedInteger);
    }
    EXPECT_EQ(code, 77);
    EXPECT_EQ(position, 77);
    EXPECT_STREQ(narrow, "unchanged");
    EXPECT_EQ(evaltest::WideString(wide), evaltest::Wide("unchanged"));
  }
};

TEST(Lifecycle, NullHandleOrTextIsRefused) {
  Untouched out;
  EXPECT_EQ(CreateFunctionA(nullptr), nullptr);
  EXPECT_EQ(CreateFunctionW(nullptr), nullptr);
  EXPECT_EQ(CompileDFunction(nullptr, nullptr), 0);
  EXPECT_EQ(CompileIFunction(nullptr, nullptr, 0), 0);
  EXPECT_EQ(CalculateDFunction(nullptr, &out.real), 0);
  EXPECT_EQ(CalculateIFunction(nullptr, &out.integer), 0);
  EXPECT_EQ(
      GetLastErrorByFunctionA(nullptr, &out.code, &out.position, out.narrow),
      0);
  EXPECT_EQ(
      GetLastErrorByFunctionW(nullptr, &out.code, &out.position, out.wide), 0);
  EXPECT_EQ(DeleteFunction(nullptr), 0);
  EXPECT_EQ(DeleteFunction(CreateFunctionA("1")), 1);
  out.Check();
}

// Without an area the object reads its own zero-filled one; with one, every
// calculation reads the slots' current values.  The result location may be
// null.
TEST(Lifecycle, VariablesComeFromTheBoundArea) {
  for (Width width : evaltest::kWidths) {
    SCOPED_TRACE(evaltest::Name(width));
    EXPECT_EQ(evaltest::RunReal(width, "x*2+1", nullptr).value, 1);
    EXPECT_EQ(evaltest::RunInteger(width, "x+3", nullptr, 0).value, 3);
    double area[EVAL_VARIABLE_COUNT] = {};
    Function function = Create(width, "x*t+y");
    ASSERT_EQ(CompileDFunction(function.get(), area), 1);
    for (double x : {1.0, -4.5, 1e6}) {
      area[kX] = x;
      area['t' - 'a'] = 2;
      area['y' - 'a'] = 0.25;
      double value = 0;
      ASSERT_EQ(CalculateDFunction(function.get(), &value), 1);
      EXPECT_EQ(value, x * 2 + 0.25);
    }
    EXPECT_EQ(CalculateDFunction(function.get(), nullptr), 1);
  }
}

TEST(Lifecycle, TheTextIsCopiedAtCreation) {
  char narrow_text[] = "x+1";
  evaltest::WideString wide_text = evaltest::Wide("x+1");
  Function narrow(CreateFunctionA(narrow_text));
  Function wide(CreateFunctionW(wide_text.c_str()));
  std::strcpy(narrow_text, "9*9");
  wide_text = evaltest::Wide("9*9");
  for (EvalFunction function : {narrow.get(), wide.get()}) {
    double value = 0;
    ASSERT_EQ(CompileDFunction(function, nullptr), 1);
    ASSERT_EQ(CalculateDFunction(function, &value), 1);
    EXPECT_EQ(value, 1);
  }
}

TEST(Lifecycle, CompileOnceThenCalculate) {
  for (Width width : evaltest::kWidths) {
    SCOPED_TRACE(evaltest::Name(width));
    Function never = Create(width, "1");
    Function failed = Create(width, "1+");
    EXPECT_EQ(CompileDFunction(failed.get(), nullptr), 0);
    for (EvalFunction function : {never.get(), failed.get()}) {
      Untouched out;
      EXPECT_EQ(CalculateDFunction(function, &out.real), 0);
      EXPECT_EQ(LastError(width, function), (Outcome{19, 0}));
      EXPECT_EQ(CalculateIFunction(function, &out.integer), 0);
      EXPECT_EQ(LastError(width, function), (Outcome{19, 0}));
      out.Check();
    }
    // A second compilation fails in either mode and changes nothing.
    Function twice = Create(width, "2.5");
    ASSERT_EQ(CompileDFunction(twice.get(), nullptr), 1);
    EXPECT_EQ(CompileDFunction(twice.get(), nullptr), 0);
    EXPECT_EQ(LastError(width, twice.get()), (Outcome{17, 0}));
    EXPECT_EQ(CompileIFunction(twice.get(), nullptr, 3), 0);
    EXPECT_EQ(LastError(width, twice.get()), (Outcome{17, 0}));
    double value = 0;
    EXPECT_EQ(CalculateDFunction(twice.get(), &value), 1);
    EXPECT_EQ(value, 2.5);
  }
}

// The last error is read as often as wanted and outlives later successes;
// a fresh object reports code 0 and nothing else.  Each output is optional.
TEST(Lifecycle, LastErrorIsKeptUntilReplaced) {
  for (Width width : evaltest::kWidths) {
    SCOPED_TRACE(evaltest::Name(width));
    double area[EVAL_VARIABLE_COUNT] = {};
    Function function = Create(width, "1/x");
    Untouched out;
    ASSERT_EQ(CompileDFunction(function.get(), area), 1);
    EXPECT_EQ(GetLastErrorByFunctionA(function.get(), nullptr, &out.position,
                                      out.narrow),
              1);
    EXPECT_EQ(
        GetLastErrorByFunctionW(function.get(), nullptr, nullptr, out.wide), 1);
    out.Check();
    EXPECT_EQ(GetLastErrorByFunctionA(function.get(), &out.code, &out.position,
                                      out.narrow),
              1);
    EXPECT_EQ(out.code, 0);
    out.code = 77;
    out.Check();

    EXPECT_EQ(CalculateDFunction(function.get(), &out.real), 0);
    area[kX] = 4;
    EXPECT_EQ(CalculateDFunction(function.get(), &out.real), 1);
    EXPECT_EQ(out.real, 0.25);
    EXPECT_EQ(LastError(width, function.get()), (Outcome{15, 0}));
    EXPECT_EQ(LastError(width, function.get()), (Outcome{15, 0}));
    std::vector<EvalWideChar> wide(EVAL_MESSAGE_UNITS);
    EXPECT_EQ(
        GetLastErrorByFunctionW(function.get(), nullptr, nullptr, wide.data()),
        1);
    EXPECT_EQ(evaltest::WideString(wide.data()),
              evaltest::Wide(u"0で除算しました。"));
    EXPECT_EQ(
        GetLastErrorByFunctionA(function.get(), nullptr, nullptr, nullptr), 1);
  }
}

// A failed compilation leaves nothing behind that spoils the next attempt.
TEST(Lifecycle, FailedCompileCanBeRetriedOnTheSameObject) {
  for (Width width : evaltest::kWidths) {
    SCOPED_TRACE(evaltest::Name(width));
    int32_t integers[EVAL_VARIABLE_COUNT] = {};
    integers[kX] = 9;
    Function divide = Create(width, "x/2");
    EXPECT_EQ(CompileIFunction(divide.get(), integers, 0), 0);
    ASSERT_EQ(CompileIFunction(divide.get(), integers, EVAL_ALLOW_DIVIDE), 1);
    int32_t integer = 0;
    EXPECT_EQ(CalculateIFunction(divide.get(), &integer), 1);
    EXPECT_EQ(integer, 4);
    EXPECT_EQ(LastError(width, divide.get()), (Outcome{24, 1}));

    Function real = Create(width, "2.5*x");
    EXPECT_EQ(CompileIFunction(real.get(), nullptr, 3), 0);
    ASSERT_EQ(CompileDFunction(real.get(), nullptr), 1);

    Function unbalanced = Create(width, "(x");
    for (int attempt = 0; attempt < 2; ++attempt) {
      EXPECT_EQ(CompileDFunction(unbalanced.get(), nullptr), 0);
      EXPECT_EQ(LastError(width, unbalanced.get()), (Outcome{12, 1}));
    }
  }
}

// An object compiled for one mode and evaluated in the other reads integer
// slots as doubles, and double slots truncated toward zero.
TEST(Lifecycle, CalculatingInTheOtherModeConvertsTheSlots) {
  for (Width width : evaltest::kWidths) {
    SCOPED_TRACE(evaltest::Name(width));
    int32_t integers[EVAL_VARIABLE_COUNT] = {};
    integers[kX] = 5;
    integers[kX + 1] = -1;
    Function halve = Create(width, "x/2");
    ASSERT_EQ(CompileIFunction(halve.get(), integers, EVAL_ALLOW_DIVIDE), 1);
    double real = 0;
    EXPECT_EQ(CalculateDFunction(halve.get(), &real), 1);
    EXPECT_EQ(real, 2.5);

    double reals[EVAL_VARIABLE_COUNT] = {};
    reals[kX] = -2.9;
    Function triple = Create(width, "x*3+2.5");
    ASSERT_EQ(CompileDFunction(triple.get(), reals), 1);
    int32_t integer = 0;
    EXPECT_EQ(CalculateIFunction(triple.get(), &integer), 1);
    EXPECT_EQ(integer, -4);
  }
}

// A null text writes nothing; a null result location is refused rather than
// written through (a deliberate safety choice); success writes only the
// result, and a failure only the outputs given.
TEST(OneShot, OutputsWritten) {
  Untouched out;
  const auto real_a = [&](const char* text, double* result) {
    return CalculateDInDirectA(text, result, &out.code, &out.position,
                               out.narrow);
  };
  const auto integer_w = [&](const char* text, int32_t* result) {
    return CalculateIInDirectW(text ? evaltest::Wide(text).c_str() : nullptr,
                               result, 0, &out.code, &out.position, out.wide);
  };
  EXPECT_EQ(real_a(nullptr, &out.real), 0);
  EXPECT_EQ(CalculateDInDirectW(nullptr, &out.real, &out.code, &out.position,
                                out.wide),
            0);
  EXPECT_EQ(CalculateIInDirectA(nullptr, &out.integer, 0, &out.code,
                                &out.position, out.narrow),
            0);
  EXPECT_EQ(integer_w(nullptr, &out.integer), 0);
  out.Check();
  EXPECT_EQ(real_a("2*3", &out.real), 1);
  EXPECT_EQ(integer_w("2*3", &out.integer), 1);
  EXPECT_EQ(out.real, 6);
  EXPECT_EQ(out.integer, 6);
  out.Check(false);
  EXPECT_EQ(real_a("2*3", nullptr), 0);
  EXPECT_EQ(integer_w("2*3", nullptr), 0);
  EXPECT_EQ(CalculateDInDirectW(evaltest::Wide("1+x").c_str(), &out.real,
                                nullptr, nullptr, nullptr),
            0);
  EXPECT_EQ(
      CalculateIInDirectA("7/0", &out.integer, 3, nullptr, nullptr, nullptr),
      0);
  EXPECT_EQ(out.real, 6);
  EXPECT_EQ(out.integer, 6);
}

// Bracket depth is bounded by memory only: neither the check nor the
// conversion may exhaust the call stack.
TEST(DeepNesting, MillionBracketsAroundAVariable) {
  const std::string text =
      std::string(1000000, '(') + "x" + std::string(1000000, ')');
  double area[EVAL_VARIABLE_COUNT] = {};
  area[kX] = 3;
  Function function(CreateFunctionA(text.c_str()));
  ASSERT_EQ(CompileDFunction(function.get(), area), 1)
      << testing::PrintToString(LastError(Width::kNarrow, function.get()));
  double value = 0;
  ASSERT_EQ(CalculateDFunction(function.get(), &value), 1);
  EXPECT_EQ(value, 3);
}

TEST(DeepNesting, MillionUnclosedBracketsFail12) {
  Function function(CreateFunctionA((std::string(1000000, '(') + "x").c_str()));
  EXPECT_EQ(CompileDFunction(function.get(), nullptr), 0);
  EXPECT_EQ(LastError(Width::kNarrow, function.get()), (Outcome{12, 1000000}));
}

}  // namespace
