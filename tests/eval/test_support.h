// Helpers shared by the expression library's tests.  Every table row runs
// through the narrow and the wide entry points; the helpers hide which one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "eval.h"
#include "evaluator.h"

namespace evaltest {

enum class Width { kNarrow, kWide };
inline constexpr Width kWidths[] = {Width::kNarrow, Width::kWide};
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kUntouched = -12345.5;
inline constexpr int32_t kUntouchedInteger = -12345;
inline constexpr int kX = 'x' - 'a';

// One UTF-16 unit per byte, so an ASCII text reads the same in both widths.
inline std::u16string Widen(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

inline const char* Name(Width width) {
  return width == Width::kNarrow ? "narrow" : "wide";
}

inline std::string Trace(std::string_view text, Width width) {
  return Name(width) + std::string(" \"") + std::string(text) + "\"";
}

// True when a run of letters is one lowercase letter: a variable, which the
// one-shot calls refuse.
inline bool HasVariable(std::string_view text) {
  size_t run = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : '\0';
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      ++run;
      continue;
    }
    if (run == 1 && text[i - 1] >= 'a') return true;
    run = 0;
  }
  return false;
}

struct FunctionDeleter {
  void operator()(FunctionObject* function) const { DeleteFunction(function); }
};
using Function = std::unique_ptr<FunctionObject, FunctionDeleter>;

inline Function Create(Width width, const std::string& text) {
  return Function(width == Width::kNarrow
                      ? CreateFunctionA(text.c_str())
                      : CreateFunctionW(Widen(text).c_str()));
}

// Code 0 at position 0 stands for success throughout the tests.
struct Outcome {
  int32_t code = 0;
  int32_t position = 0;
  bool operator==(const Outcome&) const = default;
};

inline void PrintTo(const Outcome& outcome, std::ostream* os) {
  *os << "{code " << outcome.code << " at " << outcome.position << "}";
}

inline Outcome LastError(Width width, EvalFunction function) {
  Outcome error{-1, -1};
  if (width == Width::kNarrow) {
    GetLastErrorByFunctionA(function, &error.code, &error.position, nullptr);
  } else {
    GetLastErrorByFunctionW(function, &error.code, &error.position, nullptr);
  }
  return error;
}

struct RealResult {
  Outcome outcome;
  double value = kUntouched;
};

struct IntegerResult {
  Outcome outcome;
  int32_t value = kUntouchedInteger;
};

// Compile and evaluate once through a function object.
inline RealResult RunReal(Width width, const std::string& text,
                          const double* area) {
  RealResult result;
  Function function = Create(width, text);
  if (!CompileDFunction(function.get(), area) ||
      !CalculateDFunction(function.get(), &result.value)) {
    result.outcome = LastError(width, function.get());
  }
  return result;
}

inline IntegerResult RunInteger(Width width, const std::string& text,
                                const int32_t* area, int32_t options) {
  IntegerResult result;
  Function function = Create(width, text);
  if (!CompileIFunction(function.get(), area, options) ||
      !CalculateIFunction(function.get(), &result.value)) {
    result.outcome = LastError(width, function.get());
  }
  return result;
}

inline RealResult OneShotReal(Width width, const std::string& text) {
  RealResult r;
  Outcome& o = r.outcome;
  if (width == Width::kNarrow) {
    CalculateDInDirectA(text.c_str(), &r.value, &o.code, &o.position, nullptr);
  } else {
    CalculateDInDirectW(Widen(text).c_str(), &r.value, &o.code, &o.position,
                        nullptr);
  }
  return r;
}

inline IntegerResult OneShotInteger(Width width, const std::string& text,
                                    int32_t options) {
  IntegerResult r;
  Outcome& o = r.outcome;
  if (width == Width::kNarrow) {
    CalculateIInDirectA(text.c_str(), &r.value, options, &o.code, &o.position,
                        nullptr);
  } else {
    CalculateIInDirectW(Widen(text).c_str(), &r.value, options, &o.code,
                        &o.position, nullptr);
  }
  return r;
}

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
             : evaluator.TokenizeWide(Widen(text).c_str(), list, area,
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
