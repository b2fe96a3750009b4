// Drives every export of the expression library with arbitrary input.
//
// Byte 0 chooses the mode (bits below), bytes 1 and 2 seed the variables,
// the rest is the text: narrow as it stands, wide from little-endian byte
// pairs.  Message buffers are exactly as long as the interface promises to
// fill, so an overlong copy is caught.  Besides the sanitizers' findings the
// target traps on broken promises: the A and W forms of an ASCII text give
// the same results, both error readers agree, every reported position lies
// inside the text, the lifecycle codes 17 and 19 hold, and the fast and the
// general real evaluator agree bit for bit.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "eval.h"

namespace {

enum ModeBits : uint8_t {
  WIDE_TEXT = 1,        // create from UTF-16 instead of bytes
  INTEGER_MODE = 2,     // compile and evaluate as integers
  OPTION_DIVIDE = 4,    // integer option: permit '/'
  OPTION_POWER = 8,     // integer option: permit '^'
  CALLER_AREA = 16,     // bind a caller area instead of the default one
  EXTREME_VALUES = 32,  // put infinities, NaN and range limits in the area
  COMPILE_TWICE = 64,   // try a second compile on a compiled object
  SKIP_COMPILE = 128,   // calculate without compiling
};

using Wide = std::basic_string<EvalWideChar>;

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

int32_t Options(uint8_t mode) {
  return (mode & OPTION_DIVIDE ? EVAL_ALLOW_DIVIDE : 0) |
         (mode & OPTION_POWER ? EVAL_ALLOW_POWER : 0);
}

struct Outcome {
  int32_t ok = 0, code = 0, position = 0, integer = 0;
  double real = 0;
  bool operator==(const Outcome& o) const {
    return ok == o.ok && code == o.code && position == o.position &&
           integer == o.integer &&
           (real == o.real || (std::isnan(real) && std::isnan(o.real)));
  }
};

// A reported error lies in the text (start-of-text errors report 1) and its
// messages are terminated, non-empty texts inside their heap buffers.
struct Messages {
  std::unique_ptr<char[]> narrow{new char[EVAL_MESSAGE_BYTES]};
  std::unique_ptr<EvalWideChar[]> wide{new EvalWideChar[EVAL_MESSAGE_UNITS]};
  void Check(const Outcome& o, size_t length, bool wide_too) const {
    Require(o.position >= 0 && size_t(o.position) <= (length ? length : 1));
    Require(memchr(narrow.get(), 0, EVAL_MESSAGE_BYTES) && narrow[0]);
    if (!wide_too) return;
    EvalWideChar* end = wide.get() + EVAL_MESSAGE_UNITS;
    Require(std::find(wide.get(), end, 0) != end && wide[0]);
  }
};

// The last error through both readers, which must agree.
void ReadLastError(EvalFunction function, size_t length, Outcome& outcome) {
  Messages messages;
  Outcome w;
  Require(GetLastErrorByFunctionA(function, &outcome.code, &outcome.position,
                                  messages.narrow.get()) == 1);
  Require(GetLastErrorByFunctionW(function, &w.code, &w.position,
                                  messages.wide.get()) == 1);
  Require(outcome.code == w.code);
  if (outcome.code != 0) {
    Require(outcome.position == w.position);
    messages.Check(outcome, length, true);
  }
  // The message alone may be asked for.
  Require(GetLastErrorByFunctionA(function, nullptr, nullptr,
                                  messages.narrow.get()) == 1);
  if (outcome.code == 0) outcome.position = 0;
}

struct Areas {
  double real[EVAL_VARIABLE_COUNT] = {};
  int32_t integer[EVAL_VARIABLE_COUNT] = {};
  Areas(uint8_t a, uint8_t b, bool extreme) {
    for (int k = 0; k < EVAL_VARIABLE_COUNT; ++k) {
      integer[k] = static_cast<int8_t>(a + k * b);
      real[k] = integer[k] / 4.0;
    }
    if (!extreme) return;
    real[a % EVAL_VARIABLE_COUNT] = std::numeric_limits<double>::infinity();
    real[b % EVAL_VARIABLE_COUNT] = std::numeric_limits<double>::quiet_NaN();
    real[23] = std::numeric_limits<double>::max();
    real[24] = -std::numeric_limits<double>::denorm_min();
    integer[a % EVAL_VARIABLE_COUNT] = std::numeric_limits<int32_t>::min();
    integer[b % EVAL_VARIABLE_COUNT] = std::numeric_limits<int32_t>::max();
    integer[23] = -1;
  }
  // Changes every variable between two evaluations.
  void Stir(int round) {
    for (int k = 0; k < EVAL_VARIABLE_COUNT; ++k) {
      real[k] = real[k] * -2.0 + round;
      integer[k] = static_cast<int32_t>(uint32_t(integer[k]) * 3u + round);
    }
  }
};

// One function object through its whole life; each evaluation's outcome.
std::vector<Outcome> RunFunction(EvalFunction function, uint8_t mode,
                                 size_t length, Areas areas) {
  std::vector<Outcome> outcomes;
  Require(function != nullptr);
  const bool integer = mode & INTEGER_MODE, caller_area = mode & CALLER_AREA;
  int32_t compiled = 0;
  if (!(mode & SKIP_COMPILE)) {
    compiled =
        integer
            ? CompileIFunction(function, caller_area ? areas.integer : nullptr,
                               Options(mode))
            : CompileDFunction(function, caller_area ? areas.real : nullptr);
    Outcome compile;
    compile.ok = compiled;
    if (!compiled) ReadLastError(function, length, compile);
    outcomes.push_back(compile);
  }
  if (compiled && (mode & COMPILE_TWICE)) {
    Outcome again;
    Require(CompileDFunction(function, areas.real) == 0);
    ReadLastError(function, length, again);
    Require(again.code == 17 && again.position == 0);
  }
  for (int round = 0; round < 3; ++round) {
    Outcome o;
    o.ok = integer ? CalculateIFunction(function, &o.integer)
                   : CalculateDFunction(function, &o.real);
    if (!o.ok) ReadLastError(function, length, o);
    if (!o.ok && !compiled) Require(o.code == 19 && o.position == 0);
    outcomes.push_back(o);
    if (caller_area) areas.Stir(round);
  }
  // A null result location is allowed; evaluating in the other mode is a
  // caller's mistake but must stay harmless.
  double real = 0;
  int32_t whole = 0;
  if (integer) {
    CalculateIFunction(function, nullptr);
    CalculateDFunction(function, &real);
  } else {
    CalculateDFunction(function, nullptr);
    CalculateIFunction(function, &whole);
  }
  Require(DeleteFunction(function) == 1);
  return outcomes;
}

Outcome OneShot(const char* narrow, const EvalWideChar* wide, uint8_t mode) {
  Outcome o;
  Messages m;
  const bool integer = mode & INTEGER_MODE;
  int32_t *c = &o.code, *p = &o.position;
  if (narrow) {
    o.ok = integer ? CalculateIInDirectA(narrow, &o.integer, Options(mode), c,
                                         p, m.narrow.get())
                   : CalculateDInDirectA(narrow, &o.real, c, p, m.narrow.get());
  } else {
    o.ok = integer ? CalculateIInDirectW(wide, &o.integer, Options(mode), c, p,
                                         m.wide.get())
                   : CalculateDInDirectW(wide, &o.real, c, p, m.wide.get());
  }
  if (!o.ok && o.code != 0 && narrow) m.Check(o, std::strlen(narrow), false);
  if (!o.ok && o.code != 0 && !narrow) {
    Require(o.position >= 0 &&
            size_t(o.position) <= std::max<size_t>(Wide(wide).size(), 1));
  }
  return o;
}

// Compiles |text| for real evaluation and evaluates it once; false when it
// does not compile.
bool EvaluateReal(const std::string& text, const double* area, Outcome& o) {
  EvalFunction function = CreateFunctionA(text.c_str());
  Require(function != nullptr);
  const bool compiled = CompileDFunction(function, area) == 1;
  if (compiled) o.ok = CalculateDFunction(function, &o.real);
  if (compiled && !o.ok) ReadLastError(function, text.size(), o);
  DeleteFunction(function);
  return compiled;
}

// The text inside 17 levels of "1*(...)" runs on the general evaluator,
// deeper than the fast one's 16 stack slots: the same value, bit for bit,
// or the same error.
void CompareWithGeneralPath(const std::string& text, const double* area) {
  Outcome fast, general;
  if (text.size() > 200 || !EvaluateReal(text, area, fast)) return;
  std::string deep;
  for (int level = 0; level < 17; ++level) deep += "1*(";
  Require(EvaluateReal(deep + text + std::string(17, ')'), area, general));
  Require(fast.ok == general.ok && fast.code == general.code &&
          fast.position == general.position);
  Require(!fast.ok || std::memcmp(&fast.real, &general.real, 8) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const uint8_t mode = data[0];
  const char* bytes = reinterpret_cast<const char*>(data + 3);
  const size_t count = size - 3;
  // Texts up to the first null, as a C caller would pass them.
  const std::string narrow(bytes, strnlen(bytes, count));
  Wide wide;
  for (size_t i = 0; i + 1 < count; i += 2) {
    const auto unit =
        EvalWideChar(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
    if (unit == 0) break;
    wide.push_back(unit);
  }
  const Areas areas(data[1], data[2], mode & EXTREME_VALUES);
  if (mode & WIDE_TEXT) {
    RunFunction(CreateFunctionW(wide.c_str()), mode, wide.size(), areas);
    OneShot(nullptr, wide.c_str(), mode);
  } else {
    RunFunction(CreateFunctionA(narrow.c_str()), mode, narrow.size(), areas);
    OneShot(narrow.c_str(), nullptr, mode);
  }
  // The same ASCII text through the narrow and the wide entry points.
  if (std::all_of(narrow.begin(), narrow.end(),
                  [](char c) { return uint8_t(c) < 0x80; })) {
    const Wide widened(narrow.begin(), narrow.end());
    const uint8_t same = mode & ~WIDE_TEXT;
    Require(RunFunction(CreateFunctionA(narrow.c_str()), same, narrow.size(),
                        areas) == RunFunction(CreateFunctionW(widened.c_str()),
                                              same, widened.size(), areas));
    Require(OneShot(narrow.c_str(), nullptr, mode) ==
            OneShot(nullptr, widened.c_str(), mode));
  }
  CompareWithGeneralPath(narrow, areas.real);
  return 0;
}
