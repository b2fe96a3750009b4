// Prints the library's answers to thousands of generated expressions, one
// line per call: name, return value, error code, position, message (hex) and
// result bits.  parity_check.sh requires the same lines from eval.dll, also
// with --x87-precision 53|64, the precisions other compilers' hosts leave.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "eval.h"

#ifdef _WIN32
#include <float.h>
#endif

namespace {

constexpr int kExpressions = 3000;
constexpr int kPoints = 4;  // evaluations of each compiled function
constexpr uint64_t kUntouched = 0x7ff4000000c0ffee;  // a signalling NaN

// splitmix64: a small generator whose sequence is the same everywhere.
struct Random {
  uint64_t state = 20240611;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % uint64_t(n)); }
  template <typename T, size_t N>
  const T& pick(const T (&items)[N]) {
    return items[below(int(N))];
  }
} dice;

// clang-format off
const char* const kFunctionNames[] = {
    "sin", "cos", "tan", "sec", "cosec", "cot", "asin", "acos", "atan", "sinh",
    "cosh", "tanh", "sech", "cosech", "coth", "log", "ex", "abs", "sqrt", "cub"};
const char* const kOperators[] = {"+", "-", "*", "/", "^"};
// Numbers as the lexer reads them, among them hard trigonometric arguments
// and exponents near overflow.
const char* const kNumbers[] = {
    "0", "1", "2", "3", "10", "0.5", "1.001", "600126", "60466176",
    "3.141592653589793", "1.5707963267948966", "10000000000000000000000",
    "3678794411714423.5", "709.782712893384", "710.4758600739439",
    "745.1332191019411", "0.000001", "2147483647", "2147483648", "355", "113",
    "7", "1e", "PI", "E", "EU"};
const char* const kIntegers[] = {
    "0", "1", "2", "3", "7", "10", "355", "65536", "2147483647", "46341", "31"};
// Variables a..z (a stays 0): 1e22, 6^10, 1e16/e, extremes and subnormals.
const uint64_t kVariableBits[EVAL_VARIABLE_COUNT] = {
    0x0000000000000000, 0x3ff0000000000000, 0xbff0000000000000,
    0x3fe0000000000000, 0x400921fb54442d18, 0x44b52d02c7e14af6,
    0x7fe0000000000000, 0x7fefffffffffffff, 0xffefffffffffffff,
    0x418cd4b800000000, 0x434a23b024394eef, 0x0000000000000001,
    0x01a56e1fc2f8f359, 0x40863370b37b8fa0, 0xc087490000000000,
    0x41225125c0000000, 0xbff004189374bc6a, 0x7e37e43c8800759c,
    0x4008000000000000, 0x3ff921fb54442d18, 0x401e000000000000,
    0xc004000000000000, 0x412e848000000000, 0x7ff8000000000000,
    0x3f50624dd2f1a9fc, 0x7ff0000000000000};
// Values of x at the evaluation points.
const uint64_t kPointBits[] = {
    0x3ff921fb54442d18, 0x400921fb54442d18, 0x4012d97c7f3321d2,
    0x401921fb54442d18, 0x44b52d02c7e14af6, 0x7fe0000000000000,
    0x7fefffffffffffff, 0x418cd4b800000000, 0x434a23b024394eef,
    0x0000000000000001, 0x3fe0000000000000, 0xc08628c2e5d4ed84,
    0x4086232bdd7abcd2, 0x5319c4d4f6b8c1f6, 0x4a5c45cd11154dfd};
// clang-format on

// What a generated expression may contain.
enum Grammar : unsigned { kVariables = 1, kFunctions = 2, kRealNumbers = 4 };

// The texts of each expression: real and integer ones, with variables for
// the function objects and without for the one-shot calls.
enum Text { kRealObject, kRealOneShot, kIntegerObject, kIntegerOneShot };
constexpr unsigned kTextGrammars[] = {kVariables | kFunctions | kRealNumbers,
                                      kFunctions | kRealNumbers, kVariables, 0};

std::string expression(unsigned grammar, int depth = 0) {
  const int choice = dice.below(depth > 3 ? 3 : 10);
  if (choice < 3) {
    if ((grammar & kVariables) && dice.below(3) == 0) {
      return std::string(1, static_cast<char>('a' + dice.below(26)));
    }
    return (grammar & kRealNumbers) ? dice.pick(kNumbers)
                                    : dice.pick(kIntegers);
  }
  const std::string inner = expression(grammar, depth + 1);
  if (choice < 6 || (choice < 9 && !(grammar & kFunctions))) {
    const char* op = dice.pick(kOperators);
    return inner + op + expression(grammar, depth + 1);
  }
  if (choice < 9) return dice.pick(kFunctionNames) + ("(" + inner + ")");
  return "(" + inner + ")";
}

// Now and then a character inserted or dropped, for the syntax errors.
std::string damaged(std::string text) {
  static const char kNoise[] = "()+-*/^.x1 ?=";
  const int choice = dice.below(8);
  const size_t at = dice.below(static_cast<int>(text.size()) + 1);
  if (choice == 0) text.insert(at, 1, kNoise[dice.below(sizeof kNoise - 1)]);
  if (choice == 1 && at < text.size()) text.erase(at, 1);
  return text;
}

// The variables of the function objects, a..z.
double reals[EVAL_VARIABLE_COUNT];
int32_t integers[EVAL_VARIABLE_COUNT];

// By reference: an x87 load would quieten the signalling NaN.
void set_bits(double& value, uint64_t bits) { std::memcpy(&value, &bits, 8); }

std::string real_text(const double& value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  char text[20];
  std::snprintf(text, sizeof text, "r%016" PRIx64, bits);
  return text;
}

std::string integer_text(int32_t value) { return "i" + std::to_string(value); }

// The error a call reports through the narrow or the wide message buffer,
// printed with the call's name, return value and result; the message as
// bytes or UTF-16 units in hex, "-" for none.
struct Error {
  bool narrow;
  int32_t code = -1, position = -1;
  char bytes[EVAL_MESSAGE_BYTES] = "";
  EvalWideChar units[EVAL_MESSAGE_UNITS] = {};

  void print(int id, const char* call, int ok, const std::string& value) {
    std::printf("%d %s %d %d %d ", id, call, ok, code, position);
    if (narrow ? !bytes[0] : !units[0]) std::printf("-");
    for (const char* byte = bytes; narrow && *byte; ++byte) {
      std::printf("%02x", unsigned(uint8_t(*byte)));
    }
    for (const EvalWideChar* unit = units; !narrow && *unit; ++unit) {
      std::printf("%04x", unsigned(*unit));
    }
    std::printf(" %s\n", value.c_str());
  }
  // The last error of |function|, printed for the call that made it.
  void print_last(int id, const char* call, EvalFunction function, int ok,
                  const std::string& value) {
    if (narrow) GetLastErrorByFunctionA(function, &code, &position, bytes);
    if (!narrow) GetLastErrorByFunctionW(function, &code, &position, units);
    print(id, call, ok, value);
  }
};

std::basic_string<EvalWideChar> wide(const std::string& text) {
  return {text.begin(), text.end()};
}

// The one-shot calls on |real| and |whole|, narrow and wide; the integer
// call finds the message buffer as the real one left it.
void one_shot_calls(int id, const std::string& real, const std::string& whole,
                    int options) {
  for (const bool narrow : {true, false}) {
    Error e{narrow};
    double value;
    set_bits(value, kUntouched);
    int ok = narrow ? CalculateDInDirectA(real.c_str(), &value, &e.code,
                                          &e.position, e.bytes)
                    : CalculateDInDirectW(wide(real).c_str(), &value, &e.code,
                                          &e.position, e.units);
    e.print(id, narrow ? "DA" : "DW", ok, real_text(value));
    int32_t integer = -7;
    e.code = e.position = -1;
    ok = narrow ? CalculateIInDirectA(whole.c_str(), &integer, options, &e.code,
                                      &e.position, e.bytes)
                : CalculateIInDirectW(wide(whole).c_str(), &integer, options,
                                      &e.code, &e.position, e.units);
    e.print(id, narrow ? "IA" : "IW", ok, integer_text(integer));
  }
}

// A function object compiled for real or integer evaluation, evaluated at
// kPoints values of x (and of y and t in real mode).
void handle_calls(int id, const std::string& text, int options, bool real) {
  const bool narrow = dice.below(2) == 0;
  const EvalFunction function = narrow ? CreateFunctionA(text.c_str())
                                       : CreateFunctionW(wide(text).c_str());
  if (!function) return Error{narrow, 0, 0}.print(id, "create", 0, "-");
  const int ok = real ? CompileDFunction(function, reals)
                      : CompileIFunction(function, integers, options);
  Error{narrow}.print_last(id, real ? "compileD" : "compileI", function, ok,
                           "-");
  for (int point = 0; ok && point < kPoints; ++point) {
    double value;
    set_bits(value, kUntouched);
    int32_t integer = -7;
    if (real) {
      set_bits(reals[23], dice.pick(kPointBits));      // x
      set_bits(reals[24], dice.next());                // y: any bits
      reals[19] = (dice.below(2001) - 1000) * 0.0125;  // t
    } else {
      integers[23] = static_cast<int32_t>(dice.next() >> dice.below(64));
    }
    const int done = real ? CalculateDFunction(function, &value)
                          : CalculateIFunction(function, &integer);
    Error{narrow}.print_last(id, real ? "calcD" : "calcI", function, done,
                             real ? real_text(value) : integer_text(integer));
  }
  DeleteFunction(function);
}

}  // namespace

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
  if (argc == 3 && std::strcmp(argv[1], "--x87-precision") == 0) {
    _controlfp(std::strcmp(argv[2], "53") == 0 ? _PC_53 : _PC_64, _MCW_PC);
  }
#endif
  for (int i = 0; i < EVAL_VARIABLE_COUNT; ++i) {
    set_bits(reals[i], kVariableBits[i]);
    integers[i] = static_cast<int32_t>(kVariableBits[i] >> 32) - (i << 20);
  }
  for (int id = 0; id < kExpressions; ++id) {
    std::string texts[std::size(kTextGrammars)];
    for (size_t i = 0; i < std::size(texts); ++i) {
      texts[i] = damaged(expression(kTextGrammars[i]));
      std::printf("%d text %s\n", id, texts[i].c_str());
    }
    const int options = dice.below(4);
    one_shot_calls(id, texts[kRealOneShot], texts[kIntegerOneShot], options);
    handle_calls(id, texts[kRealObject], options, true);
    handle_calls(id, texts[kIntegerObject], options, false);
  }
  return 0;
}
