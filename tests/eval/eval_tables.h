// Helpers of the library's table tests.  They reach the library only through
// eval.h, so that the same tables run against the static core natively and
// against eval.dll under Wine; every row runs through the narrow and the
// wide entry points.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

#include "eval.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace evaltest {

enum class Width { kNarrow, kWide };
inline constexpr Width kWidths[] = {Width::kNarrow, Width::kWide};
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kUntouched = -12345.5;
inline constexpr int32_t kUntouchedInteger = -12345;
inline constexpr int kX = 'x' - 'a';

using WideString = std::basic_string<EvalWideChar>;

// One unit per UTF-16 unit or per byte (an ASCII text reads the same).
inline WideString Wide(std::u16string_view text) {
  return WideString(text.begin(), text.end());
}
inline WideString Wide(std::string_view text) {
  return WideString(text.begin(), text.end());
}

inline std::string Trace(std::string_view text, Width width) {
  return (width == Width::kNarrow ? "narrow \"" : "wide \"") +
         std::string(text) + "\"";
}

// |text| inside 17 levels of "1*(...)": the same value, but a program whose
// stack is deeper than the fast evaluator's 16 slots.
inline std::string Deepen(std::string_view text) {
  std::string deep;
  for (int i = 0; i < 17; ++i) deep += "1*(";
  return deep + std::string(text) + std::string(17, ')');
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
                      : CreateFunctionW(Wide(text).c_str()));
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
  Outcome e{-1, -1};
  if (width == Width::kNarrow) {
    GetLastErrorByFunctionA(function, &e.code, &e.position, nullptr);
  } else {
    GetLastErrorByFunctionW(function, &e.code, &e.position, nullptr);
  }
  return e;
}

template <class Value>
struct Result {
  Outcome outcome;
  Value value =
      Value(std::is_same_v<Value, double> ? kUntouched : kUntouchedInteger);
};
using RealResult = Result<double>;
using IntegerResult = Result<int32_t>;

// Compile and evaluate once through a function object.
inline RealResult RunReal(Width width, const std::string& text,
                          const double* area) {
  RealResult r;
  Function function = Create(width, text);
  if (!CompileDFunction(function.get(), area) ||
      !CalculateDFunction(function.get(), &r.value)) {
    r.outcome = LastError(width, function.get());
  }
  return r;
}

inline IntegerResult RunInteger(Width width, const std::string& text,
                                const int32_t* area, int32_t options) {
  IntegerResult r;
  Function function = Create(width, text);
  if (!CompileIFunction(function.get(), area, options) ||
      !CalculateIFunction(function.get(), &r.value)) {
    r.outcome = LastError(width, function.get());
  }
  return r;
}

inline RealResult OneShotReal(Width width, const std::string& text) {
  RealResult r;
  Outcome& o = r.outcome;
  if (width == Width::kNarrow) {
    CalculateDInDirectA(text.c_str(), &r.value, &o.code, &o.position, nullptr);
  } else {
    CalculateDInDirectW(Wide(text).c_str(), &r.value, &o.code, &o.position,
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
    CalculateIInDirectW(Wide(text).c_str(), &r.value, options, &o.code,
                        &o.position, nullptr);
  }
  return r;
}

// The Shift-JIS bytes of |text| (code page 932), or "?" when the platform
// cannot convert it.
inline std::string ShiftJis(std::u16string_view text) {
  std::string out(text.size() * 2 + 1, '\0');
#ifdef _WIN32
  const WideString wide = Wide(text);
  const int bytes =
      WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()),
                          out.data(), out.size(), nullptr, nullptr);
  if (bytes <= 0) return "?";
  out.resize(bytes);
#else
  iconv_t converter = iconv_open("CP932", "UTF-16LE");
  if (converter == reinterpret_cast<iconv_t>(-1)) return "?";
  std::string in;
  for (char16_t unit : text) in += {char(unit & 0xFF), char(unit >> 8)};
  char *in_next = in.data(), *out_next = out.data();
  size_t in_left = in.size(), out_left = out.size();
  const size_t done =
      iconv(converter, &in_next, &in_left, &out_next, &out_left);
  iconv_close(converter);
  if (done == static_cast<size_t>(-1)) return "?";
  out.resize(out.size() - out_left);
#endif
  return out;
}

}  // namespace evaltest
