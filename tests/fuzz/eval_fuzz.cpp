// Drives every export of the expression library with arbitrary input.
//
// Input layout: byte 0 chooses the mode (bits below), bytes 1 and 2 seed the
// variable values, the rest is the expression text: narrow as it stands,
// wide from little-endian byte pairs.  Message buffers are exactly as long
// as the interface promises to fill, so an overlong copy is caught.
//
// Besides the sanitizers' findings the target traps on broken promises of
// the interface: the A and W forms of a text made of ASCII characters must
// give the same results, both error readers must agree, every reported
// position must lie inside the text, the lifecycle codes 17 and 19, and the
// fast and the general real evaluator must agree.
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

using WideString = std::u16string;

int32_t IntegerOptions(uint8_t mode) {
  return (mode & OPTION_DIVIDE ? EVAL_ALLOW_DIVIDE : 0) |
         (mode & OPTION_POWER ? EVAL_ALLOW_POWER : 0);
}

// Heap buffers of exactly the promised size, so that ASan reports any byte
// written past them.
struct Messages {
  std::unique_ptr<char[]> narrow{new char[EVAL_MESSAGE_BYTES]};
  std::unique_ptr<EvalWideChar[]> wide{new EvalWideChar[EVAL_MESSAGE_UNITS]};
};

struct Outcome {
  int32_t ok = 0;
  int32_t code = 0;
  int32_t position = 0;
  double real = 0;
  int32_t integer = 0;
  bool operator==(const Outcome& other) const {
    return ok == other.ok && code == other.code && position == other.position &&
           integer == other.integer &&
           (real == other.real || (std::isnan(real) && std::isnan(other.real)));
  }
};

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

size_t NarrowLength(const char* text) { return std::strlen(text); }
size_t WideLength(const EvalWideChar* text) {
  size_t length = 0;
  while (text[length]) ++length;
  return length;
}

// A reported position lies in the text; start-of-text errors report 1.
void RequirePosition(int32_t position, size_t length) {
  Require(position >= 0);
  Require(static_cast<size_t>(position) <= (length > 0 ? length : 1));
}

// The message of a reported error is a terminated, non-empty text inside
// the buffer.
void RequireMessages(const Messages& messages) {
  Require(memchr(messages.narrow.get(), 0, EVAL_MESSAGE_BYTES) != nullptr);
  Require(messages.narrow[0] != 0);
  bool terminated = false;
  for (size_t i = 0; i < EVAL_MESSAGE_UNITS && !terminated; ++i) {
    terminated = messages.wide[i] == 0;
  }
  Require(terminated);
  Require(messages.wide[0] != 0);
}

// Reads the last error into |outcome| through both readers, which must
// agree.
void ReadLastError(EvalFunction function, size_t text_length,
                   Outcome& outcome) {
  Messages messages;
  int32_t code_a = -1, position_a = -1, code_w = -1, position_w = -1;
  Require(GetLastErrorByFunctionA(function, &code_a, &position_a,
                                  messages.narrow.get()) == 1);
  Require(GetLastErrorByFunctionW(function, &code_w, &position_w,
                                  messages.wide.get()) == 1);
  Require(code_a == code_w);
  if (code_a != 0) {
    Require(position_a == position_w);
    RequirePosition(position_a, text_length);
    RequireMessages(messages);
  }
  // The code alone may not be asked for, but the message alone may.
  Require(GetLastErrorByFunctionA(function, nullptr, nullptr,
                                  messages.narrow.get()) == 1);
  outcome.code = code_a;
  outcome.position = code_a != 0 ? position_a : 0;
}

struct Areas {
  double real[EVAL_VARIABLE_COUNT] = {};
  int32_t integer[EVAL_VARIABLE_COUNT] = {};
};

void FillAreas(Areas& areas, uint8_t seed_a, uint8_t seed_b, bool extreme) {
  for (int k = 0; k < EVAL_VARIABLE_COUNT; ++k) {
    const int32_t step = static_cast<int8_t>(seed_a + k * seed_b);
    areas.real[k] = step / 4.0;
    areas.integer[k] = step;
  }
  if (!extreme) return;
  areas.real[seed_a % EVAL_VARIABLE_COUNT] =
      std::numeric_limits<double>::infinity();
  areas.real[seed_b % EVAL_VARIABLE_COUNT] =
      std::numeric_limits<double>::quiet_NaN();
  areas.real[23] = std::numeric_limits<double>::max();
  areas.real[24] = -std::numeric_limits<double>::denorm_min();
  areas.integer[seed_a % EVAL_VARIABLE_COUNT] =
      std::numeric_limits<int32_t>::min();
  areas.integer[seed_b % EVAL_VARIABLE_COUNT] =
      std::numeric_limits<int32_t>::max();
  areas.integer[23] = -1;
}

// Changes every variable between two evaluations.
void StirAreas(Areas& areas, int round) {
  for (int k = 0; k < EVAL_VARIABLE_COUNT; ++k) {
    areas.real[k] = areas.real[k] * -2.0 + round;
    areas.integer[k] = static_cast<int32_t>(
        static_cast<uint32_t>(areas.integer[k]) * 3u + round);
  }
}

// Runs one function object through its whole life and reports each
// evaluation's outcome.
std::vector<Outcome> RunFunction(EvalFunction function, uint8_t mode,
                                 size_t text_length, Areas& areas) {
  std::vector<Outcome> outcomes;
  Require(function != nullptr);
  const bool integer = mode & INTEGER_MODE;
  const int32_t options = IntegerOptions(mode);
  const bool caller_area = mode & CALLER_AREA;

  int32_t compiled = 0;
  if (!(mode & SKIP_COMPILE)) {
    compiled =
        integer
            ? CompileIFunction(function, caller_area ? areas.integer : nullptr,
                               options)
            : CompileDFunction(function, caller_area ? areas.real : nullptr);
    Outcome compile;
    compile.ok = compiled;
    if (!compiled) ReadLastError(function, text_length, compile);
    outcomes.push_back(compile);
  }
  if (compiled && (mode & COMPILE_TWICE)) {
    Outcome again;
    Require(CompileDFunction(function, areas.real) == 0);
    ReadLastError(function, text_length, again);
    Require(again.code == 17 && again.position == 0);
  }

  for (int round = 0; round < 3; ++round) {
    Outcome outcome;
    outcome.ok = integer ? CalculateIFunction(function, &outcome.integer)
                         : CalculateDFunction(function, &outcome.real);
    if (!outcome.ok) {
      ReadLastError(function, text_length, outcome);
      if (!compiled) Require(outcome.code == 19 && outcome.position == 0);
    }
    outcomes.push_back(outcome);
    if (caller_area) StirAreas(areas, round);
  }
  // A null result location is allowed.  Evaluating in the other mode than
  // the one compiled for is a caller's mistake, but must stay harmless.
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

Outcome OneShotNarrow(const char* text, bool integer, int32_t options) {
  Outcome outcome;
  Messages messages;
  outcome.ok =
      integer
          ? CalculateIInDirectA(text, &outcome.integer, options, &outcome.code,
                                &outcome.position, messages.narrow.get())
          : CalculateDInDirectA(text, &outcome.real, &outcome.code,
                                &outcome.position, messages.narrow.get());
  if (!outcome.ok && outcome.code != 0) {
    RequirePosition(outcome.position, NarrowLength(text));
    Require(memchr(messages.narrow.get(), 0, EVAL_MESSAGE_BYTES) != nullptr);
  }
  return outcome;
}

Outcome OneShotWide(const EvalWideChar* text, bool integer, int32_t options) {
  Outcome outcome;
  Messages messages;
  outcome.ok =
      integer
          ? CalculateIInDirectW(text, &outcome.integer, options, &outcome.code,
                                &outcome.position, messages.wide.get())
          : CalculateDInDirectW(text, &outcome.real, &outcome.code,
                                &outcome.position, messages.wide.get());
  if (!outcome.ok && outcome.code != 0) {
    RequirePosition(outcome.position, WideLength(text));
  }
  return outcome;
}

bool IsAscii(const std::string& text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

WideString Widen(const std::string& text) {
  return WideString(text.begin(), text.end());
}

// Compiles |text| for real evaluation over |area| and evaluates it once;
// false when it does not compile.
bool EvaluateReal(const std::string& text, const double* area,
                  Outcome& outcome) {
  EvalFunction function = CreateFunctionA(text.c_str());
  Require(function != nullptr);
  const bool compiled = CompileDFunction(function, area) == 1;
  if (compiled) {
    outcome.ok = CalculateDFunction(function, &outcome.real);
    if (!outcome.ok) ReadLastError(function, text.size(), outcome);
  }
  DeleteFunction(function);
  return compiled;
}

// The general evaluator, which runs programs deeper than the fast one's 16
// stack slots, must agree with the fast one: the text inside 17 levels of
// "1*(...)" gives the same value, bit for bit, or the same error.
void CompareWithGeneralPath(const std::string& text, const double* area) {
  Outcome fast, general;
  if (text.size() > 200 || !EvaluateReal(text, area, fast)) return;
  std::string deep;
  for (int level = 0; level < 17; ++level) deep += "1*(";
  deep += text + std::string(17, ')');
  Require(EvaluateReal(deep, area, general));
  Require(fast.ok == general.ok && fast.code == general.code &&
          fast.position == general.position);
  Require(!fast.ok ||
          std::memcmp(&fast.real, &general.real, sizeof fast.real) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const uint8_t mode = data[0];
  const char* bytes = reinterpret_cast<const char*>(data + 3);
  const size_t count = size - 3;

  // Text up to the first null, as a C caller would pass it.
  std::string narrow(bytes, strnlen(bytes, count));
  WideString wide;
  for (size_t i = 0; i + 1 < count; i += 2) {
    const char16_t unit =
        static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                              static_cast<uint8_t>(bytes[i + 1]) << 8);
    if (unit == 0) break;
    wide.push_back(unit);
  }
  const bool integer = mode & INTEGER_MODE;
  const int32_t options = IntegerOptions(mode);

  Areas areas;
  FillAreas(areas, data[1], data[2], mode & EXTREME_VALUES);
  if (mode & WIDE_TEXT) {
    RunFunction(CreateFunctionW(wide.c_str()), mode, wide.size(), areas);
    OneShotWide(wide.c_str(), integer, options);
  } else {
    RunFunction(CreateFunctionA(narrow.c_str()), mode, narrow.size(), areas);
    OneShotNarrow(narrow.c_str(), integer, options);
  }

  // The same ASCII text through the narrow and the wide entry points.
  if (IsAscii(narrow)) {
    const WideString widened = Widen(narrow);
    Areas narrow_areas, wide_areas;
    FillAreas(narrow_areas, data[1], data[2], mode & EXTREME_VALUES);
    FillAreas(wide_areas, data[1], data[2], mode & EXTREME_VALUES);
    const uint8_t same_mode = mode & ~WIDE_TEXT;
    Require(RunFunction(CreateFunctionA(narrow.c_str()), same_mode,
                        narrow.size(), narrow_areas) ==
            RunFunction(CreateFunctionW(widened.c_str()), same_mode,
                        widened.size(), wide_areas));
    Require(OneShotNarrow(narrow.c_str(), integer, options) ==
            OneShotWide(widened.c_str(), integer, options));
  }
  CompareWithGeneralPath(narrow, areas.real);
  return 0;
}
