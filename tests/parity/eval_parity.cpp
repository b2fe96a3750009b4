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

#include "eval.h"

#ifdef _WIN32
#include <float.h>
#endif

namespace {

constexpr int kExpressions = 3000;
constexpr int kPoints = 4;  // evaluations of each compiled real function

// splitmix64: a small generator whose sequence is the same everywhere.
class Random {
 public:
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) {
    return static_cast<int>(next() % static_cast<uint64_t>(n));
  }
  template <typename T, size_t N>
  const T& pick(const T (&items)[N]) {
    return items[below(static_cast<int>(N))];
  }

 private:
  uint64_t state_ = 20240611;
};

double from_bits(uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

uint64_t to_bits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

const char* const kFunctionNames[] = {
    "sin",  "cos",  "tan",  "sec",  "cosec", "cot",  "asin",
    "acos", "atan", "sinh", "cosh", "tanh",  "sech", "cosech",
    "coth", "log",  "ex",   "abs",  "sqrt",  "cub",
};
const char* const kOperators[] = {"+", "-", "*", "/", "^"};
// Numbers as the lexer reads them: digit runs and decimals, among them
// hard trigonometric arguments and exponents near overflow.
const char* const kNumbers[] = {
    "0",
    "1",
    "2",
    "3",
    "10",
    "0.5",
    "1.001",
    "600126",
    "60466176",
    "3.141592653589793",
    "1.5707963267948966",
    "10000000000000000000000",
    "3678794411714423.5",
    "709.782712893384",
    "710.4758600739439",
    "745.1332191019411",
    "0.000001",
    "2147483647",
    "2147483648",
    "355",
    "113",
    "7",
    "1e",
    "PI",
    "E",
    "EU",
};
// Variables b..z get these values; a stays 0 (index 0).
const uint64_t kVariableBits[] = {
    0x0000000000000000, 0x3ff0000000000000, 0xbff0000000000000,
    0x3fe0000000000000, 0x400921fb54442d18, 0x44b52d02c7e14af6,  // 1e22
    0x7fe0000000000000, 0x7fefffffffffffff, 0xffefffffffffffff,
    0x418cd4b800000000,  // 6^10
    0x434a23b024394eef,  // 1e16/e
    0x0000000000000001, 0x01a56e1fc2f8f359, 0x40863370b37b8fa0,
    0xc087490000000000, 0x41225125c0000000, 0xbff004189374bc6a,
    0x7e37e43c8800759c, 0x4008000000000000, 0x3ff921fb54442d18,
    0x401e000000000000, 0xc004000000000000, 0x412e848000000000,
    0x7ff8000000000000, 0x3f50624dd2f1a9fc, 0x7ff0000000000000,
};
static_assert(sizeof kVariableBits / sizeof kVariableBits[0] ==
              EVAL_VARIABLE_COUNT);
// Values of x at the evaluation points.
const uint64_t kPointBits[] = {
    0x3ff921fb54442d18, 0x400921fb54442d18, 0x4012d97c7f3321d2,
    0x401921fb54442d18, 0x44b52d02c7e14af6, 0x7fe0000000000000,
    0x7fefffffffffffff, 0x418cd4b800000000, 0x434a23b024394eef,
    0x0000000000000001, 0x3fe0000000000000, 0xc08628c2e5d4ed84,
    0x4086232bdd7abcd2, 0x5319c4d4f6b8c1f6, 0x4a5c45cd11154dfd,
};

// What a generated expression may contain.
enum Grammar : unsigned {
  kVariables = 1,    // a..z
  kFunctions = 2,    // sin(...) etc.
  kRealNumbers = 4,  // decimals and the named constants, else integers
};

const char* const kIntegers[] = {
    "0", "1", "2", "3", "7", "10", "355", "65536", "2147483647", "46341", "31"};

std::string operand(Random& random, unsigned grammar) {
  if ((grammar & kVariables) && random.below(3) == 0) {
    return std::string(1, static_cast<char>('a' + random.below(26)));
  }
  return (grammar & kRealNumbers) ? random.pick(kNumbers)
                                  : random.pick(kIntegers);
}

std::string expression(Random& random, unsigned grammar, int depth = 0) {
  const int choice = random.below(depth > 3 ? 3 : 10);
  if (choice < 3) return operand(random, grammar);
  if (choice < 6 || (choice < 9 && !(grammar & kFunctions))) {
    return expression(random, grammar, depth + 1) + random.pick(kOperators) +
           expression(random, grammar, depth + 1);
  }
  if (choice < 9) {
    return std::string(random.pick(kFunctionNames)) + "(" +
           expression(random, grammar, depth + 1) + ")";
  }
  return "(" + expression(random, grammar, depth + 1) + ")";
}

// Now and then a character inserted or dropped, for the syntax errors.
std::string damaged(Random& random, std::string text) {
  static const char kNoise[] = "()+-*/^.x1 ?=";
  const int choice = random.below(8);
  const size_t at =
      static_cast<size_t>(random.below(static_cast<int>(text.size()) + 1));
  if (choice == 0) text.insert(at, 1, kNoise[random.below(sizeof kNoise - 1)]);
  if (choice == 1 && at < text.size()) text.erase(at, 1);
  return text;
}

std::u16string widen(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

const EvalWideChar* wide(const std::u16string& text) {
  return reinterpret_cast<const EvalWideChar*>(text.c_str());
}

std::string hex_bytes(const char* text) {
  std::string out;
  char byte[3];
  for (const char* p = text; *p; ++p) {
    std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(*p));
    out += byte;
  }
  return out.empty() ? "-" : out;
}

std::string hex_units(const EvalWideChar* text) {
  std::string out;
  char unit[5];
  for (const EvalWideChar* p = text; *p; ++p) {
    std::snprintf(unit, sizeof unit, "%04x", static_cast<unsigned>(*p));
    out += unit;
  }
  return out.empty() ? "-" : out;
}

void report(int id, const char* call, int ok, int code, int position,
            const std::string& message, const std::string& value) {
  std::printf("%d %s %d %d %d %s %s\n", id, call, ok, code, position,
              message.c_str(), value.c_str());
}

std::string real_bits(double value) {
  char text[20];
  std::snprintf(text, sizeof text, "r%016" PRIx64, to_bits(value));
  return text;
}

std::string integer_text(int32_t value) { return "i" + std::to_string(value); }

constexpr uint64_t kUntouched = 0x7ff4000000c0ffee;  // a signalling NaN

void real_one_shot_calls(int id, const std::string& text) {
  const std::u16string text16 = widen(text);
  int32_t code = -1, position = -1;
  char message[EVAL_MESSAGE_BYTES] = "";
  double real = from_bits(kUntouched);
  int ok = CalculateDInDirectA(text.c_str(), &real, &code, &position, message);
  report(id, "DA", ok, code, position, hex_bytes(message), real_bits(real));
  EvalWideChar message16[EVAL_MESSAGE_UNITS] = {};
  real = from_bits(kUntouched);
  code = position = -1;
  ok = CalculateDInDirectW(wide(text16), &real, &code, &position, message16);
  report(id, "DW", ok, code, position, hex_units(message16), real_bits(real));
}

void integer_one_shot_calls(int id, const std::string& text, int options) {
  const std::u16string text16 = widen(text);
  int32_t code = -1, position = -1, integer = -7;
  char message[EVAL_MESSAGE_BYTES] = "";
  int ok = CalculateIInDirectA(text.c_str(), &integer, options, &code,
                               &position, message);
  report(id, "IA", ok, code, position, hex_bytes(message),
         integer_text(integer));
  EvalWideChar message16[EVAL_MESSAGE_UNITS] = {};
  integer = -7;
  code = position = -1;
  ok = CalculateIInDirectW(wide(text16), &integer, options, &code, &position,
                           message16);
  report(id, "IW", ok, code, position, hex_units(message16),
         integer_text(integer));
}

// The last error of |function|, reported for the call that made it.
void last_error(int id, const char* call, EvalFunction function, int ok,
                const std::string& value, bool narrow) {
  int32_t code = -1, position = -1;
  if (narrow) {
    char message[EVAL_MESSAGE_BYTES] = "";
    GetLastErrorByFunctionA(function, &code, &position, message);
    report(id, call, ok, code, position, hex_bytes(message), value);
  } else {
    EvalWideChar message[EVAL_MESSAGE_UNITS] = {};
    GetLastErrorByFunctionW(function, &code, &position, message);
    report(id, call, ok, code, position, hex_units(message), value);
  }
}

// Owns a function object of the library.
class Function {
 public:
  Function(const std::string& text, bool narrow)
      : text16_(widen(text)),
        handle_(narrow ? CreateFunctionA(text.c_str())
                       : CreateFunctionW(wide(text16_))) {}
  ~Function() {
    if (handle_) DeleteFunction(handle_);
  }
  Function(const Function&) = delete;
  Function& operator=(const Function&) = delete;
  EvalFunction get() const { return handle_; }

 private:
  std::u16string text16_;
  EvalFunction handle_;
};

void real_handle_calls(int id, const std::string& text, Random& random,
                       double* reals) {
  const bool narrow = random.below(2) == 0;
  const Function function(text, narrow);
  if (!function.get()) return report(id, "create", 0, 0, 0, "-", "-");
  const int ok = CompileDFunction(function.get(), reals);
  last_error(id, "compileD", function.get(), ok, "-", narrow);
  for (int point = 0; ok && point < kPoints; ++point) {
    reals[23] = from_bits(random.pick(kPointBits));    // x
    reals[24] = from_bits(random.next());              // y: any bits
    reals[19] = (random.below(2001) - 1000) * 0.0125;  // t
    double result = from_bits(kUntouched);
    const int calculated = CalculateDFunction(function.get(), &result);
    last_error(id, "calcD", function.get(), calculated, real_bits(result),
               narrow);
  }
}

void integer_handle_calls(int id, const std::string& text, Random& random,
                          int32_t* integers, int options) {
  const bool narrow = random.below(2) == 0;
  const Function function(text, narrow);
  if (!function.get()) return report(id, "create", 0, 0, 0, "-", "-");
  const int ok = CompileIFunction(function.get(), integers, options);
  last_error(id, "compileI", function.get(), ok, "-", narrow);
  for (int point = 0; ok && point < kPoints; ++point) {
    integers[23] = static_cast<int32_t>(random.next() >> random.below(64));
    int32_t result = -7;
    const int calculated = CalculateIFunction(function.get(), &result);
    last_error(id, "calcI", function.get(), calculated, integer_text(result),
               narrow);
  }
}

void set_x87_precision(const char* bits) {
#ifdef _WIN32
  _controlfp(std::strcmp(bits, "53") == 0 ? _PC_53 : _PC_64, _MCW_PC);
#else
  (void)bits;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--x87-precision") == 0) {
    set_x87_precision(argv[2]);
  }
  double reals[EVAL_VARIABLE_COUNT];
  int32_t integers[EVAL_VARIABLE_COUNT];
  for (int i = 0; i < EVAL_VARIABLE_COUNT; ++i) {
    reals[i] = from_bits(kVariableBits[i]);
    integers[i] = static_cast<int32_t>(kVariableBits[i] >> 32) - (i << 20);
  }
  Random random;
  for (int id = 0; id < kExpressions; ++id) {
    // Real and integer texts, with variables for the compiled functions
    // and without for the one-shot calls, which have none.
    const std::string texts[] = {
        damaged(random,
                expression(random, kVariables | kFunctions | kRealNumbers)),
        damaged(random, expression(random, kFunctions | kRealNumbers)),
        damaged(random, expression(random, kVariables)),
        damaged(random, expression(random, 0)),
    };
    const int options = random.below(4);
    for (const std::string& text : texts)
      std::printf("%d text %s\n", id, text.c_str());
    real_one_shot_calls(id, texts[1]);
    integer_one_shot_calls(id, texts[3], options);
    real_handle_calls(id, texts[0], random, reals);
    integer_handle_calls(id, texts[2], random, integers, options);
  }
  return 0;
}
