// Exhausted memory, one allocation at a time: every call either does its
// work or fails as documented (null handle, result 0), neither a
// compilation nor a calculation succeeds with a wrong program or value, and
// no block is left behind.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "eval_tables.h"
#include "failing_allocator.h"

namespace {

using evaltest::Width;

struct Calls {
  bool created = false;
  int32_t compiled = -1, calculated = -1, code = -1;
  double value = 0;
};

// Create, compile, calculate, read the error and delete, as a caller does,
// with allocation |n| refused during creation and compilation, or during
// the calculation.
// The scenario allocates nothing itself: the texts are ready.
Calls RunObject(const char* narrow, const EvalWideChar* wide, long n,
                bool in_calculation, const double* area) {
  using failing_allocator::FailAllocation;
  Calls calls;
  if (!in_calculation) FailAllocation(n);
  evaltest::Function function(narrow ? CreateFunctionA(narrow)
                                     : CreateFunctionW(wide));
  calls.created = function != nullptr;
  if (!function) return calls;
  calls.compiled = CompileDFunction(function.get(), area);
  FailAllocation(in_calculation ? n : -1);
  if (calls.compiled) {
    calls.calculated = CalculateDFunction(function.get(), &calls.value);
  }
  FailAllocation(-1);
  GetLastErrorByFunctionA(function.get(), &calls.code, nullptr, nullptr);
  return calls;
}

// A shallow and a deep program (the general evaluator's growing stack), and
// a text whose compilation fails.
TEST(ExhaustedMemory, FunctionObjectFailsCleanlyAtEveryAllocation) {
  const std::string shallow = "sin(x)*2+x^2/(x+3)";
  const double value = std::sin(1.0) * 2 + 0.25;
  const struct {
    std::string text;
    int32_t code;  // of a compilation that is not stopped by memory
  } rows[] = {{shallow, 0}, {evaltest::Deepen(shallow), 0}, {"1+(2", 12}};
  double area[EVAL_VARIABLE_COUNT] = {};
  area[evaltest::kX] = 1;
  for (const auto& row : rows) {
    const evaltest::WideString wide = evaltest::Wide(row.text);
    for (Width width : evaltest::kWidths) {
      const bool narrow = width == Width::kNarrow;
      for (bool in_calculation : {false, true}) {
        SCOPED_TRACE(evaltest::Trace(row.text.substr(0, 40), width) +
                     (in_calculation ? " calculating" : " compiling"));
        for (long n = 0;; ++n) {
          Calls calls;
          const auto run = failing_allocator::RunFailing(-1, [&] {
            calls = RunObject(narrow ? row.text.c_str() : nullptr, wide.c_str(),
                              n, in_calculation, area);
          });
          SCOPED_TRACE("allocation " + std::to_string(n));
          EXPECT_EQ(run.leaked, 0);
          if (row.code) {
            EXPECT_NE(calls.compiled, 1);
          }
          const bool whole =
              !run.hit || (!in_calculation && calls.compiled == 1);
          if (whole && !row.code) {
            EXPECT_EQ(calls.calculated, 1);
          }
          if (calls.calculated == 1) {
            EXPECT_DOUBLE_EQ(calls.value, value);
          }
          if (run.hit) continue;
          EXPECT_EQ(calls.code, row.code);
          EXPECT_EQ(calls.calculated, row.code ? -1 : 1);
          break;
        }
      }
    }
  }
}

TEST(ExhaustedMemory, OneShotCallsFailCleanlyAtEveryAllocation) {
  for (const char* text : {"2^10-16/8", "7/(2-2)"}) {
    const bool valid = text[1] == '^';
    for (long n = 0;; ++n) {
      int32_t real_ok = -1, integer_ok = -1, code = 0, position = 0;
      int32_t integer = 0;
      double value = 0;
      const auto run = failing_allocator::RunFailing(n, [&] {
        real_ok = CalculateDInDirectA(text, &value, &code, &position, nullptr);
        integer_ok =
            CalculateIInDirectA(text, &integer, 3, &code, &position, nullptr);
      });
      SCOPED_TRACE(std::string(text) + " allocation " + std::to_string(n));
      EXPECT_EQ(run.leaked, 0);
      const int32_t ok = real_ok + integer_ok;
      EXPECT_TRUE(valid || ok == 0);
      // Success always carries the right value, even when memory ran out.
      if (real_ok == 1) {
        EXPECT_EQ(value, 1022);
      }
      if (integer_ok == 1) {
        EXPECT_EQ(integer, 1022);
      }
      if (run.hit) continue;
      EXPECT_EQ(ok, valid ? 2 : 0);
      EXPECT_EQ(code, valid ? 0 : 15);
      EXPECT_EQ(value, valid ? 1022 : 0);
      EXPECT_EQ(integer, valid ? 1022 : 0);
      break;
    }
  }
}

}  // namespace
