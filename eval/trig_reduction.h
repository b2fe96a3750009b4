// Argument reduction for the trigonometric functions: x = n·π/2 + r with
// |r| <= ~π/4, r returned as an unevaluated sum hi + lo accurate far beyond
// double precision, for every finite double.
#pragma once

#include <cstdint>

namespace eval::math {

struct Reduced {
  int quadrant;  // n mod 4, in 0..3
  double hi;
  double lo;
};

// Requires a finite x with |x| > π/4.
Reduced reduce_half_pi(double x);

}  // namespace eval::math
