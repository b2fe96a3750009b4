// Prints what the library's C interface answers for thousands of generated
// expressions, one line per call: the call, its return value, the error
// code, position and message bytes, and the bits of the result.  Built
// natively against libeval.so and for Windows against eval.dll, so that
// parity_check.py can compare the two builds line by line.
//   --x87-precision 53|64   sets the x87 precision control first (Windows),
//                           as hosts built by different compilers leave it.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>

#include "eval.h"

#ifdef _WIN32
#include <float.h>
#endif

namespace {

constexpr int kExpressions = 3000;
constexpr int kPoints = 4;  // evaluations of each compiled function

// splitmix64: a small generator whose sequence is the same everywhere.
class Random {
 public:
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % uint64_t(n)); }
  template <typename T, size_t N>
  const T& pick(const T (&items)[N]) {
    return items[below(static_cast<int>(N))];
  }

 private:
  uint64_t state_ = 20240611;
};

void set_bits(double& value, uint64_t bits) {
  std::memcpy(&value, &bits, sizeof value);
}

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

std::string expression(Random& random, unsigned grammar, int depth = 0) {
  const int choice = random.below(depth > 3 ? 3 : 10);
  if (choice < 3) {
    if ((grammar & kVariables) && random.below(3) == 0) {
      return std::string(1, static_cast<char>('a' + random.below(26)));
    }
    return (grammar & kRealNumbers) ? random.pick(kNumbers)
                                    : random.pick(kIntegers);
  }
  const std::string inner = expression(random, grammar, depth + 1);
  if (choice < 6 || (choice < 9 && !(grammar & kFunctions))) {
    const char* op = random.pick(kOperators);
    return inner + op + expression(random, grammar, depth + 1);
  }
  if (choice < 9) return random.pick(kFunctionNames) + ("(" + inner + ")");
  return "(" + inner + ")";
}

// Now and then a character inserted or dropped, for the syntax errors.
std::string damaged(Random& random, std::string text) {
  static const char kNoise[] = "()+-*/^.x1 ?=";
  const int choice = random.below(8);
  const size_t at = random.below(static_cast<int>(text.size()) + 1);
  if (choice == 0) text.insert(at, 1, kNoise[random.below(sizeof kNoise - 1)]);
  if (choice == 1 && at < text.size()) text.erase(at, 1);
  return text;
}

// Message bytes or UTF-16 units in hex, "-" for none.
template <class Unit>
std::string hex(const Unit* text) {
  std::string out;
  char digits[8];
  for (const Unit* p = text; *p; ++p) {
    std::snprintf(
        digits, sizeof digits, sizeof(Unit) == 1 ? "%02x" : "%04x",
        static_cast<unsigned>(static_cast<std::make_unsigned_t<Unit>>(*p)));
    out += digits;
  }
  return out.empty() ? "-" : out;
}

// By reference: an x87 load would quieten the signalling NaN below.
std::string real_text(const double& value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  char text[20];
  std::snprintf(text, sizeof text, "r%016" PRIx64, bits);
  return text;
}

std::string integer_text(int32_t value) { return "i" + std::to_string(value); }

void report(int id, const char* call, int ok, int code, int position,
            const std::string& message, const std::string& value) {
  std::printf("%d %s %d %d %d %s %s\n", id, call, ok, code, position,
              message.c_str(), value.c_str());
}

constexpr uint64_t kUntouched = 0x7ff4000000c0ffee;  // a signalling NaN

// The one-shot calls on |real_text| and |integer_text|, narrow and wide.
void one_shot_calls(int id, const std::string& real, const std::string& whole,
                    int options) {
  for (bool narrow : {true, false}) {
    const std::basic_string<EvalWideChar> wide_real(real.begin(), real.end()),
        wide_whole(whole.begin(), whole.end());
    int32_t code = -1, position = -1, integer = -7;
    char message[EVAL_MESSAGE_BYTES] = "";
    EvalWideChar message16[EVAL_MESSAGE_UNITS] = {};
    double value;
    set_bits(value, kUntouched);
    int ok = narrow ? CalculateDInDirectA(real.c_str(), &value, &code,
                                          &position, message)
                    : CalculateDInDirectW(wide_real.c_str(), &value, &code,
                                          &position, message16);
    report(id, narrow ? "DA" : "DW", ok, code, position,
           narrow ? hex(message) : hex(message16), real_text(value));
    code = position = -1;
    ok = narrow ? CalculateIInDirectA(whole.c_str(), &integer, options, &code,
                                      &position, message)
                : CalculateIInDirectW(wide_whole.c_str(), &integer, options,
                                      &code, &position, message16);
    report(id, narrow ? "IA" : "IW", ok, code, position,
           narrow ? hex(message) : hex(message16), integer_text(integer));
  }
}

// The last error of |function|, reported for the call that made it.
void last_error(int id, const char* call, EvalFunction function, int ok,
                const std::string& value, bool narrow) {
  int32_t code = -1, position = -1;
  char message[EVAL_MESSAGE_BYTES] = "";
  EvalWideChar message16[EVAL_MESSAGE_UNITS] = {};
  if (narrow) GetLastErrorByFunctionA(function, &code, &position, message);
  if (!narrow) GetLastErrorByFunctionW(function, &code, &position, message16);
  report(id, call, ok, code, position, narrow ? hex(message) : hex(message16),
         value);
}

// A function object compiled for real or integer evaluation, evaluated at
// kPoints values of x (and of y and t in real mode).
void handle_calls(int id, const std::string& text, Random& random,
                  double* reals, int32_t* integers, int options, bool real) {
  const bool narrow = random.below(2) == 0;
  const std::basic_string<EvalWideChar> wide(text.begin(), text.end());
  EvalFunction function =
      narrow ? CreateFunctionA(text.c_str()) : CreateFunctionW(wide.c_str());
  if (!function) return report(id, "create", 0, 0, 0, "-", "-");
  const int ok = real ? CompileDFunction(function, reals)
                      : CompileIFunction(function, integers, options);
  last_error(id, real ? "compileD" : "compileI", function, ok, "-", narrow);
  for (int point = 0; ok && point < kPoints; ++point) {
    double value;
    set_bits(value, kUntouched);
    int32_t integer = -7;
    if (real) {
      set_bits(reals[23], random.pick(kPointBits));      // x
      set_bits(reals[24], random.next());                // y: any bits
      reals[19] = (random.below(2001) - 1000) * 0.0125;  // t
    } else {
      integers[23] = static_cast<int32_t>(random.next() >> random.below(64));
    }
    const int calculated = real ? CalculateDFunction(function, &value)
                                : CalculateIFunction(function, &integer);
    last_error(id, real ? "calcD" : "calcI", function, calculated,
               real ? real_text(value) : integer_text(integer), narrow);
  }
  DeleteFunction(function);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  if (argc == 3 && std::strcmp(argv[1], "--x87-precision") == 0) {
    _controlfp(std::strcmp(argv[2], "53") == 0 ? _PC_53 : _PC_64, _MCW_PC);
  }
#else
  (void)argc, (void)argv;
#endif
  double reals[EVAL_VARIABLE_COUNT];
  int32_t integers[EVAL_VARIABLE_COUNT];
  for (int i = 0; i < EVAL_VARIABLE_COUNT; ++i) {
    set_bits(reals[i], kVariableBits[i]);
    integers[i] = static_cast<int32_t>(kVariableBits[i] >> 32) - (i << 20);
  }
  Random random;
  for (int id = 0; id < kExpressions; ++id) {
    // Real and integer texts, with variables for the function objects and
    // without for the one-shot calls, which have none.
    const std::string texts[] = {
        damaged(random,
                expression(random, kVariables | kFunctions | kRealNumbers)),
        damaged(random, expression(random, kFunctions | kRealNumbers)),
        damaged(random, expression(random, kVariables)),
        damaged(random, expression(random, 0))};
    const int options = random.below(4);
    for (const std::string& text : texts) {
      std::printf("%d text %s\n", id, text.c_str());
    }
    one_shot_calls(id, texts[1], texts[3], options);
    handle_calls(id, texts[0], random, reals, integers, options, true);
    handle_calls(id, texts[2], random, reals, integers, options, false);
  }
  return 0;
}
