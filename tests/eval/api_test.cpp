// The exported interface: function object lifecycle, last errors and their
// messages, the one-shot calls.
#include <gtest/gtest.h>

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

// An error in Shift-JIS, whichever width it was read in.
struct Error {
  Outcome outcome;
  std::string message;
  bool operator==(const Error&) const = default;
};

// What |call| writes into a code, a position and message buffers of exactly
// the documented size, on the heap so that a sanitizer sees a write past
// them.
template <class Call>
Error Collect(Width width, Call call) {
  Error e;
  std::vector<char> narrow(EVAL_MESSAGE_BYTES, '\x7f');
  std::vector<EvalWideChar> wide(EVAL_MESSAGE_UNITS, 0x7f);
  call(&e.outcome.code, &e.outcome.position, narrow.data(), wide.data());
  if (width == Width::kNarrow) {
    e.message = narrow.data();
    return e;
  }
  const evaltest::WideString units(wide.data());
  e.message = evaltest::ShiftJis(std::u16string(units.begin(), units.end()));
  return e;
}

// The failing step of a row; the steps before it succeed.
enum Trigger {
  kCompile,
  kCompileTwice,
  kCompileInteger,
  kUncompiled,
  kCalculate,
  kCalculateInteger,
  kOneShot,
  kOneShotInteger
};

// Every code with its message in both encodings, from the last error of a
// function object or copied out by a one-shot call, which leaves its result
// alone.
TEST(Messages, EveryCodeInBothEncodings) {
  // clang-format off
  const struct {
    Trigger trigger;
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
      {kOneShot, "1+x", {13, 2}, u"変数は使用できません。"},
      {kCalculate, "1/0", {15, 0}, u"0で除算しました。"},
      {kOneShot, "1/0", {15, 0}, u"0で除算しました。"},
      {kOneShotInteger, "7/0", {15, 0}, u"0で除算しました。"},
      {kCalculate, "log(0)", {16, 0}, u"log 0 は定義できません。"},
      {kCompileTwice, "1", {17, 0}, u"既にコンパイル済みです。"},
      {kUncompiled, "1", {19, 0}, u"コンパイルされていません。"},
      {kCalculate, "ex(1000)", {20, 0}, u"オーバーフローしました。"},
      {kCompile, "Sin(x)", {21, 0}, u"識別子が不正です。"},
      {kCompile, "2x", {22, 1}, u"数値の次は演算子か括弧閉じが必要です。"},
      {kCalculate, "sqrt(0-1)", {23, 0}, u"定義域外の値を指定しました。"},
      {kCompileInteger, "x/2", {24, 1}, u"整数で演算できない式が含まれています。"},
      {kOneShotInteger, "2.5", {24, 0}, u"整数で演算できない式が含まれています。"},
      {kCalculateInteger, "sin(x)", {24, 0}, u"整数で演算できない式が含まれています。F"}};
  // clang-format on
  for (const auto& row : rows) {
    for (Width width : evaltest::kWidths) {
      SCOPED_TRACE(evaltest::Trace(row.text, width));
      const bool narrow = width == Width::kNarrow;
      const Trigger t = row.trigger;
      Function function = Create(width, row.text);
      EvalFunction f = function.get();
      double real = kUntouched;
      int32_t integer = kUntouchedInteger;
      if (t == kCompileInteger) {
        EXPECT_EQ(CompileIFunction(f, nullptr, 0), 0);
      }
      if (t <= kCompileTwice || t == kCalculate || t == kCalculateInteger) {
        EXPECT_EQ(CompileDFunction(f, nullptr), t != kCompile);
      }
      if (t == kCompileTwice) {
        EXPECT_EQ(CompileDFunction(f, nullptr), 0);
      }
      if (t == kCalculate || t == kUncompiled) {
        EXPECT_EQ(CalculateDFunction(f, &real), 0);
      }
      if (t == kCalculateInteger) {
        EXPECT_EQ(CalculateIFunction(f, &integer), 0);
      }
      const evaltest::WideString text = evaltest::Wide(row.text);
      const Error error = Collect(width, [&](int32_t* c, int32_t* p, char* n,
                                             EvalWideChar* w) {
        int32_t ok;
        if (t == kOneShot) {
          ok = narrow ? CalculateDInDirectA(row.text, &real, c, p, n)
                      : CalculateDInDirectW(text.c_str(), &real, c, p, w);
        } else if (t == kOneShotInteger) {
          ok = narrow ? CalculateIInDirectA(row.text, &integer, 1, c, p, n)
                      : CalculateIInDirectW(text.c_str(), &integer, 1, c, p, w);
        } else {
          ok = narrow ? GetLastErrorByFunctionA(f, c, p, n)
                      : GetLastErrorByFunctionW(f, c, p, w);
        }
        EXPECT_EQ(ok, t < kOneShot);
      });
      EXPECT_EQ(error, (Error{row.outcome, evaltest::ShiftJis(row.message)}));
      if (t >= kOneShot) {
        EXPECT_EQ(real, kUntouched);
        EXPECT_EQ(integer, kUntouchedInteger);
      }
    }
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
// calculation reads the slots' current values.  The text is copied at
// creation, and the result location may be null.
TEST(Lifecycle, VariablesComeFromTheBoundArea) {
  for (Width width : evaltest::kWidths) {
    SCOPED_TRACE(evaltest::Trace("", width));
    EXPECT_EQ(evaltest::RunReal(width, "x*2+1", nullptr).value, 1);
    EXPECT_EQ(evaltest::RunInteger(width, "x+3", nullptr, 0).value, 3);
    double area[EVAL_VARIABLE_COUNT] = {};
    char narrow_text[] = "x*t+y";
    evaltest::WideString wide_text = evaltest::Wide(narrow_text);
    Function function(width == Width::kNarrow
                          ? CreateFunctionA(narrow_text)
                          : CreateFunctionW(wide_text.c_str()));
    std::strcpy(narrow_text, "9*9+9");
    wide_text = evaltest::Wide(narrow_text);
    ASSERT_EQ(CompileDFunction(function.get(), area), 1);
    for (double x : {1.0, -4.5}) {
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

// An object compiles once; one never compiled, or whose compilation failed,
// does not calculate.  A failed compilation leaves nothing behind that
// spoils the next attempt on the same object.
TEST(Lifecycle, CompileOnceThenCalculate) {
  for (Width width : evaltest::kWidths) {
    SCOPED_TRACE(evaltest::Trace("", width));
    Function never = Create(width, "1"), failed = Create(width, "1+");
    EXPECT_EQ(CompileDFunction(failed.get(), nullptr), 0);
    for (EvalFunction function : {never.get(), failed.get()}) {
      Untouched out;
      EXPECT_EQ(CalculateDFunction(function, &out.real), 0);
      EXPECT_EQ(LastError(width, function), (Outcome{19, 0}));
      EXPECT_EQ(CalculateIFunction(function, &out.integer), 0);
      EXPECT_EQ(LastError(width, function), (Outcome{19, 0}));
      out.Check();
    }
    Function twice = Create(width, "2.5");
    ASSERT_EQ(CompileDFunction(twice.get(), nullptr), 1);
    EXPECT_EQ(CompileDFunction(twice.get(), nullptr), 0);
    EXPECT_EQ(LastError(width, twice.get()), (Outcome{17, 0}));
    EXPECT_EQ(CompileIFunction(twice.get(), nullptr, 3), 0);
    EXPECT_EQ(LastError(width, twice.get()), (Outcome{17, 0}));
    double value = 0;
    EXPECT_EQ(CalculateDFunction(twice.get(), &value), 1);
    EXPECT_EQ(value, 2.5);

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
    EXPECT_EQ(CompileDFunction(real.get(), nullptr), 1);
    Function unbalanced = Create(width, "(x");
    for (int attempt = 0; attempt < 2; ++attempt) {
      EXPECT_EQ(CompileDFunction(unbalanced.get(), nullptr), 0);
      EXPECT_EQ(LastError(width, unbalanced.get()), (Outcome{12, 1}));
    }
  }
}

// The last error is read as often as wanted and outlives later successes;
// a fresh object reports code 0 and nothing else.  Each output is optional.
TEST(Lifecycle, LastErrorIsKeptUntilReplaced) {
  for (Width width : evaltest::kWidths) {
    SCOPED_TRACE(evaltest::Trace("", width));
    double area[EVAL_VARIABLE_COUNT] = {};
    Function function = Create(width, "1/x");
    EvalFunction f = function.get();
    Untouched out;
    ASSERT_EQ(CompileDFunction(f, area), 1);
    EXPECT_EQ(GetLastErrorByFunctionA(f, nullptr, &out.position, out.narrow),
              1);
    EXPECT_EQ(GetLastErrorByFunctionW(f, nullptr, nullptr, out.wide), 1);
    out.Check();
    EXPECT_EQ(GetLastErrorByFunctionA(f, &out.code, &out.position, out.narrow),
              1);
    EXPECT_EQ(out.code, 0);
    out.code = 77;
    out.Check();
    EXPECT_EQ(CalculateDFunction(f, &out.real), 0);
    area[kX] = 4;
    EXPECT_EQ(CalculateDFunction(f, &out.real), 1);
    EXPECT_EQ(out.real, 0.25);
    for (int read = 0; read < 2; ++read) {
      EXPECT_EQ(LastError(width, f), (Outcome{15, 0}));
    }
    const Error error =
        Collect(width, [&](int32_t*, int32_t*, char* n, EvalWideChar* w) {
          EXPECT_EQ(GetLastErrorByFunctionA(f, nullptr, nullptr, n) +
                        GetLastErrorByFunctionW(f, nullptr, nullptr, w),
                    2);
        });
    EXPECT_EQ(error.message, evaltest::ShiftJis(u"0で除算しました。"));
    EXPECT_EQ(GetLastErrorByFunctionA(f, nullptr, nullptr, nullptr), 1);
  }
}

// An object compiled for one mode and evaluated in the other reads integer
// slots as doubles, and double slots truncated toward zero.
TEST(Lifecycle, CalculatingInTheOtherModeConvertsTheSlots) {
  for (Width width : evaltest::kWidths) {
    SCOPED_TRACE(evaltest::Trace("", width));
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
TEST(DeepNesting, MillionBrackets) {
  const std::string open(1000000, '(');
  double area[EVAL_VARIABLE_COUNT] = {};
  area[kX] = 3;
  Function function(
      CreateFunctionA((open + "x" + std::string(1000000, ')')).c_str()));
  ASSERT_EQ(CompileDFunction(function.get(), area), 1);
  double value = 0;
  ASSERT_EQ(CalculateDFunction(function.get(), &value), 1);
  EXPECT_EQ(value, 3);
  Function unclosed(CreateFunctionA((open + "x").c_str()));
  EXPECT_EQ(CompileDFunction(unclosed.get(), nullptr), 0);
  EXPECT_EQ(LastError(Width::kNarrow, unclosed.get()), (Outcome{12, 1000000}));
}

}  // namespace
