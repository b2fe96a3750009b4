// Conversions that the x86 hardware defines but C++ leaves undefined.
#pragma once

#include <cmath>
#include <cstdint>

namespace eval {

// Truncation toward zero to 64 bits; NaN and values outside the range give
// the smallest 64-bit value, as the processor's conversion does.
inline int64_t truncate_to_int64(double value) {
  if (!(value > -9223372036854775808.0 && value < 9223372036854775808.0)) {
    return INT64_MIN;
  }
  return static_cast<int64_t>(value);
}

}  // namespace eval
