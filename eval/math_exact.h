// Error-free transformations of double arithmetic, for the steps of the
// elementary functions that need more than double precision.  Plain
// operations only (no fused multiply-add), so every build rounds alike.
#pragma once

namespace eval::math {

// An unevaluated sum hi + lo with |lo| <= half an ulp of hi.
struct Double2 {
  double hi;
  double lo;
};

// a + b exactly.
inline Double2 two_sum(double a, double b) {
  const double s = a + b;
  const double b_part = s - a;
  return {s, (a - (s - b_part)) + (b - b_part)};
}

// a + b exactly, for |a| >= |b| or a = 0.
inline Double2 fast_two_sum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// a·b exactly (Dekker's product; no overflow for the arguments used here).
inline Double2 two_product(double a, double b) {
  constexpr double kSplitter = 0x1p27 + 1;
  const double ca = kSplitter * a, cb = kSplitter * b;
  const double ah = ca - (ca - a), al = a - ah;
  const double bh = cb - (cb - b), bl = b - bh;
  const double p = a * b;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

}  // namespace eval::math
