// Prints the results of the elementary functions for arguments read from
// standard input, for tools/math_accuracy.py to compare with a high-precision
// reference.  Each input line is "name x [y]" with hexadecimal bit patterns;
// each output line adds the bits of the library's result (eval::math) and of
// the platform runtime's (std::).
//   --x87-precision 53   runs with the x87 unit at double precision, as
//                        hosts built by other compilers do (Windows only).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "math_functions.h"

#ifdef _WIN32
#include <float.h>
#endif

namespace {

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

struct Entry {
  const char* name;
  double (*library)(double, double);
  double (*platform)(double, double);
};

// volatile keeps the compiler from folding or vectorising the calls.
#define KURVANA_UNARY(NAME)                                           \
  {                                                                   \
#NAME, [](double x, double) { return eval::math::NAME(x); },        \
   [](double x, double) {                                               \
     volatile double v = x;                                             \
     return std::NAME(v);                                               \
   } \
  }
const Entry kEntries[] = {
    KURVANA_UNARY(sin),
    KURVANA_UNARY(cos),
    KURVANA_UNARY(tan),
    KURVANA_UNARY(asin),
    KURVANA_UNARY(acos),
    KURVANA_UNARY(atan),
    KURVANA_UNARY(sinh),
    KURVANA_UNARY(cosh),
    KURVANA_UNARY(tanh),
    KURVANA_UNARY(log),
    KURVANA_UNARY(exp),
    KURVANA_UNARY(sqrt),
    {"pow", [](double x, double y) { return eval::math::pow(x, y); },
     [](double x, double y) {
       volatile double v = x;
       return std::pow(v, y);
     }},
};
#undef KURVANA_UNARY

const Entry* find(const char* name) {
  for (const Entry& entry : kEntries) {
    if (std::strcmp(entry.name, name) == 0) return &entry;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--x87-precision") == 0 &&
      std::strcmp(argv[2], "53") == 0) {
#ifdef _WIN32
    _controlfp(_PC_53, _MCW_PC);
#else
    std::fprintf(stderr, "x87 precision control is a Windows option\n");
    return 2;
#endif
  }
  char name[16];
  unsigned long long x_bits, y_bits;
  char line[256];
  while (std::fgets(line, sizeof line, stdin)) {
    y_bits = 0;
    if (std::sscanf(line, "%15s %llx %llx", name, &x_bits, &y_bits) < 2)
      continue;
    const Entry* entry = find(name);
    if (!entry) {
      std::fprintf(stderr, "unknown function %s\n", name);
      return 2;
    }
    const double x = from_bits(x_bits), y = from_bits(y_bits);
    std::printf(
        "%s %016llx %016llx %016llx %016llx\n", name, x_bits, y_bits,
        static_cast<unsigned long long>(to_bits(entry->library(x, y))),
        static_cast<unsigned long long>(to_bits(entry->platform(x, y))));
  }
  return 0;
}
