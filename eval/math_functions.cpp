// The library's elementary functions (see math_functions.h for the sources
// and the notice of the algorithms they follow).  Everything is plain
// double arithmetic without fused multiply-add, so the native and the
// Windows build round every step alike.
#include "math_functions.h"

#include <emmintrin.h>

#include <bit>
#include <cstdint>
#include <limits>

#include "math_exact.h"
#include "trig_reduction.h"

namespace eval::math {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

uint64_t to_bits(double x) { return std::bit_cast<uint64_t>(x); }
double from_bits(uint64_t bits) { return std::bit_cast<double>(bits); }
int32_t high_word(double x) { return static_cast<int32_t>(to_bits(x) >> 32); }
uint32_t low_word(double x) { return static_cast<uint32_t>(to_bits(x)); }
double from_words(uint32_t high, uint32_t low) {
  return from_bits(uint64_t{high} << 32 | low);
}
double with_high_word(double x, uint32_t high) {
  return from_words(high, low_word(x));
}
// x with the low 32 bits of its significand cleared, so that products of
// two such values are exact.
double truncated(double x) {
  return from_bits(to_bits(x) & ~uint64_t{0xffffffff});
}
double magnitude(double x) {
  return from_bits(to_bits(x) & ~(uint64_t{1} << 63));
}

// 2^k for -1022 <= k <= 1023.
double power_of_two(int k) { return from_bits(uint64_t(k + 1023) << 52); }

// y·2^k with a single rounding, for y in [0.5, 4) and |k| < 2000.
double scale(double y, int k) {
  if (k > 1000) return y * power_of_two(1000) * power_of_two(k - 1000);
  if (k < -1000) return y * power_of_two(k + 1000) * power_of_two(-1000);
  return y * power_of_two(k);
}

// --- sin, cos, tan kernels on |x| <= ~π/4; y is the tail of x -------------

double sin_kernel(double x, double y) {
  constexpr double S1 = -1.66666666666666324348e-01;
  constexpr double S2 = 8.33333333332248946124e-03;
  constexpr double S3 = -1.98412698298579493134e-04;
  constexpr double S4 = 2.75573137070700676789e-06;
  constexpr double S5 = -2.50507602534068634195e-08;
  constexpr double S6 = 1.58969099521155010221e-10;
  const double z = x * x, w = z * z, v = z * x;
  const double r = S2 + z * (S3 + z * S4) + z * w * (S5 + z * S6);
  return x - ((z * (0.5 * y - v * r) - y) - v * S1);
}

double cos_kernel(double x, double y) {
  constexpr double C1 = 4.16666666666666019037e-02;
  constexpr double C2 = -1.38888888888741095749e-03;
  constexpr double C3 = 2.48015872894767294178e-05;
  constexpr double C4 = -2.75573143513906633035e-07;
  constexpr double C5 = 2.08757232129817482790e-09;
  constexpr double C6 = -1.13596475577881948265e-11;
  const double z = x * x, w = z * z;
  const double r =
      z * (C1 + z * (C2 + z * C3)) + w * w * (C4 + z * (C5 + z * C6));
  const double hz = 0.5 * z;
  const double u = 1.0 - hz;
  return u + (((1.0 - u) - hz) + (z * r - x * y));
}

// tan(x + y) when |sign| is 1, -1/tan(x + y) when it is -1.
double tan_kernel(double x, double y, int sign) {
  constexpr double T[] = {
      3.33333333333334091986e-01, 1.33333333333201242699e-01,
      5.39682539762260521377e-02, 2.18694882948595424599e-02,
      8.86323982359930005737e-03, 3.59207910759131235356e-03,
      1.45620945432529025516e-03, 5.88041240820264096874e-04,
      2.46463134818469906812e-04, 7.81794442939557092300e-05,
      7.14072491382608190305e-05, -1.85586374855275456654e-05,
      2.59073051863633712884e-05,
  };
  constexpr double kPio4 = 7.85398163397448278999e-01;
  constexpr double kPio4Lo = 3.06161699786838301793e-17;
  const int32_t hx = high_word(x);
  // Near π/4, tan(π/4 - t) = (1 - tan t)/(1 + tan t) keeps the polynomial
  // on a smaller range.
  const bool near_quarter = (hx & 0x7fffffff) >= 0x3FE59428;
  if (near_quarter) {
    if (hx < 0) {
      x = -x;
      y = -y;
    }
    x = (kPio4 - x) + (kPio4Lo - y);
    y = 0.0;
  }
  double z = x * x;
  double w = z * z;
  double r =
      T[1] + w * (T[3] + w * (T[5] + w * (T[7] + w * (T[9] + w * T[11]))));
  double v =
      z *
      (T[2] + w * (T[4] + w * (T[6] + w * (T[8] + w * (T[10] + w * T[12])))));
  double s = z * x;
  r = y + z * (s * (r + v) + y);
  r += T[0] * s;
  w = x + r;
  if (near_quarter) {
    v = sign;
    return (1 - ((hx >> 30) & 2)) * (v - 2.0 * (x - (w * w / (w + v) - r)));
  }
  if (sign == 1) return w;
  // -1/(x + r) with the division's error compensated.
  z = truncated(w);
  v = r - (z - x);
  const double a = -1.0 / w;
  const double t = truncated(a);
  s = 1.0 + t * z;
  return t + a * (s + t * v);
}

// --- e^x -------------------------------------------------------------------

// ln 2 in two pieces for log; k·kLn2Hi is exact for every exponent k.
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
constexpr double kExpOverflow = 0x1.62e42fefa39efp+9;    // ln(largest double)
constexpr double kExpUnderflow = -0x1.74910d52d3052p+9;  // ln(2^-1075)
// Largest x whose e^x/2 is finite.
constexpr double kHalfExpOverflow = 0x1.633ce8fb9f87dp+9;

// 2^(j/32) as hi + lo, from python3-mpmath at 300 bits.
constexpr Double2 kExp2Table[32] = {
    {0x1p+0, 0x0p+0},
    {0x1.059b0d3158574p+0, 0x1.d73e2a475b465p-55},
    {0x1.0b5586cf9890fp+0, 0x1.8a62e4adc610bp-54},
    {0x1.11301d0125b51p+0, -0x1.6c51039449b3ap-54},
    {0x1.172b83c7d517bp+0, -0x1.19041b9d78a76p-55},
    {0x1.1d4873168b9aap+0, 0x1.e016e00a2643cp-54},
    {0x1.2387a6e756238p+0, 0x1.9b07eb6c70573p-54},
    {0x1.29e9df51fdee1p+0, 0x1.612e8afad1255p-55},
    {0x1.306fe0a31b715p+0, 0x1.6f46ad23182e4p-55},
    {0x1.371a7373aa9cbp+0, -0x1.63aeabf42eae2p-54},
    {0x1.3dea64c123422p+0, 0x1.ada0911f09ebcp-55},
    {0x1.44e086061892dp+0, 0x1.89b7a04ef80dp-59},
    {0x1.4bfdad5362a27p+0, 0x1.d4397afec42e2p-56},
    {0x1.5342b569d4f82p+0, -0x1.07abe1db13cadp-55},
    {0x1.5ab07dd485429p+0, 0x1.6324c054647adp-54},
    {0x1.6247eb03a5585p+0, -0x1.383c17e40b497p-54},
    {0x1.6a09e667f3bcdp+0, -0x1.bdd3413b26456p-54},
    {0x1.71f75e8ec5f74p+0, -0x1.16e4786887a99p-55},
    {0x1.7a11473eb0187p+0, -0x1.41577ee04992fp-55},
    {0x1.82589994cce13p+0, -0x1.d4c1dd41532d8p-54},
    {0x1.8ace5422aa0dbp+0, 0x1.6e9f156864b27p-54},
    {0x1.93737b0cdc5e5p+0, -0x1.75fc781b57ebcp-57},
    {0x1.9c49182a3f09p+0, 0x1.c7c46b071f2bep-56},
    {0x1.a5503b23e255dp+0, -0x1.d2f6edb8d41e1p-54},
    {0x1.ae89f995ad3adp+0, 0x1.7a1cd345dcc81p-54},
    {0x1.b7f76f2fb5e47p+0, -0x1.5584f7e54ac3bp-56},
    {0x1.c199bdd85529cp+0, 0x1.11065895048ddp-55},
    {0x1.cb720dcef9069p+0, 0x1.503cbd1e949dbp-56},
    {0x1.d5818dcfba487p+0, 0x1.2ed02d75b3707p-55},
    {0x1.dfc97337b9b5fp+0, -0x1.1a5cd4f184b5cp-54},
    {0x1.ea4afa2a490dap+0, -0x1.e9c23179c2893p-54},
    {0x1.f50765b6e454p+0, 0x1.9d3e12dd8a18bp-54},
};

// a = (32·m + j)·ln2/32 + r with |r| <= ln2/64 and r as hi + lo, for
// |a| <= 746.
struct ExpReduction {
  int m;
  int j;
  Double2 r;
};

ExpReduction reduce_exp(double a) {
  constexpr double kInvLn2Over32 = 0x1.71547652b82fep+5;
  constexpr double kRoundShift = 0x1.8p52;
  // ln2/32 in pieces of 37, 37 and 53 bits: k (16 bits) times the first
  // two is exact.
  constexpr double kLn2Over32_1 = 0x1.62e42fefap-6;
  constexpr double kLn2Over32_2 = 0x1.cf79abc9ep-45;
  constexpr double kLn2Over32_3 = 0x1.d9cc01f97b57ap-84;
  const double fk = (a * kInvLn2Over32 + kRoundShift) - kRoundShift;
  const int k = static_cast<int>(fk);
  Double2 r = two_sum(a - fk * kLn2Over32_1, -fk * kLn2Over32_2);
  r.lo -= fk * kLn2Over32_3;
  const int j = k & 31;
  return {(k - j) / 32, j, r};
}

// a·b exactly, with a fused multiply-add where the processor has one: the
// error term is exact either way, so both give the same bits, the fused
// one in two operations instead of seventeen.
template <bool kFused>
[[gnu::always_inline]] inline Double2 exact_product(double a, double b) {
  if constexpr (kFused) {
    const double p = a * b;
    return {p, __builtin_fma(a, b, -p)};
  } else {
    return two_product(a, b);
  }
}

}  // namespace

bool has_fused_multiply_add() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("fma");
}

bool use_fused_multiply_add = has_fused_multiply_add();

namespace {

// e·t as hi + lo, for a table entry t.
template <bool kFused = false>
[[gnu::always_inline]] inline Double2 table_product(Double2 e,
                                                    const Double2& t) {
  const Double2 product = exact_product<kFused>(e.hi, t.hi);
  return fast_two_sum(product.hi, product.lo + (e.hi * t.lo + e.lo * t.hi));
}

Double2 scaled(Double2 e, int exponent) {
  const double factor = power_of_two(exponent);
  return {e.hi * factor, e.lo * factor};
}

// e^a = 2^m·2^(j/32)·e^r as hi + lo times 2^(*exponent), with a relative
// error below 2^-64, for |a| <= 746.
Double2 exp_parts(double a, int* exponent) {
  const ExpReduction reduced = reduce_exp(a);
  // e^r - 1 - r, Taylor to r^8 (the rest is below 2^-67).
  const double x = reduced.r.hi;
  const double p =
      x * x *
          (0.5 + x * (1.0 / 6 +
                      x * (1.0 / 24 +
                           x * (1.0 / 120 +
                                x * (1.0 / 720 +
                                     x * (1.0 / 5040 + x * (1.0 / 40320))))))) +
      x * reduced.r.lo;
  Double2 e = two_sum(1.0, x);
  e.lo += reduced.r.lo + p;
  *exponent = reduced.m;
  return table_product(e, kExp2Table[reduced.j]);
}

// e^a·2^extra, rounded once (twice for a subnormal result, which stays
// within 1 ulp), for |a| <= 746.
double exp_rounded(double a, int extra) {
  int exponent;
  const Double2 e = exp_parts(a, &exponent);
  return scale(e.hi, exponent + extra);
}

// e^a as hi + lo, for |a| <= 45.
Double2 exp_double(double a) {
  int exponent;
  const Double2 e = exp_parts(a, &exponent);
  return scaled(e, exponent);
}

// e^a and e^-a as hi + lo, for 0 <= a <= 45: one reduction and one
// polynomial, split into its even and odd parts, serve both, and the two
// halves run side by side (no division, unlike 1/e^a).
template <bool kFused>
[[gnu::always_inline]] inline void exp_both(double a, Double2* plus,
                                            Double2* minus) {
  const ExpReduction reduced = reduce_exp(a);
  const double x = reduced.r.hi, lo = reduced.r.lo;
  const double z = x * x;
  // e^±r - 1 ∓ r = even ± odd, Taylor to r^8 (the rest is below 2^-67).
  const double even =
      z * (0.5 + z * (1.0 / 24 + z * (1.0 / 720 + z * (1.0 / 40320))));
  const double odd = x * z * (1.0 / 6 + z * (1.0 / 120 + z * (1.0 / 5040)));
  const double tail = x * lo;
  Double2 up = two_sum(1.0, x);
  up.lo += lo + ((even + odd) + tail);
  Double2 down = two_sum(1.0, -x);
  down.lo += ((even - odd) + tail) - lo;
  const int j = reduced.j;
  *plus = scaled(table_product<kFused>(up, kExp2Table[j]), reduced.m);
  // 2^(-j/32) = 2^((32 - j)/32)·2^-1.
  *minus = j == 0 ? scaled(down, -reduced.m)
                  : scaled(table_product<kFused>(down, kExp2Table[32 - j]),
                           -reduced.m - 1);
}

[[gnu::target("fma")]] void exp_both_fused(double a, Double2* plus,
                                           Double2* minus) {
  exp_both<true>(a, plus, minus);
}

// exp_both with the processor's best exact products (the same bits).
void exp_both(double a, Double2* plus, Double2* minus) {
  if (use_fused_multiply_add) {
    exp_both_fused(a, plus, minus);
  } else {
    exp_both<false>(a, plus, minus);
  }
}

Double2 reciprocal(Double2 x) {
  const double q = 1.0 / x.hi;
  const Double2 p = two_product(q, x.hi);
  const double remainder = ((1.0 - p.hi) - p.lo) - q * x.lo;
  return fast_two_sum(q, remainder * q);
}

Double2 add(Double2 a, Double2 b) {
  const Double2 s = two_sum(a.hi, b.hi);
  return fast_two_sum(s.hi, s.lo + (a.lo + b.lo));
}

Double2 negated(Double2 a) { return {-a.hi, -a.lo}; }

// n/d, within a little more than half an ulp.
double divide(Double2 n, Double2 d) {
  const double q = n.hi / d.hi;
  const Double2 p = two_product(q, d.hi);
  const double remainder = (((n.hi - p.hi) - p.lo) + n.lo) - q * d.lo;
  return q + remainder / d.hi;
}

// --- asin and acos --------------------------------------------------------

constexpr double kPio2Hi = 1.57079632679489655800e+00;
constexpr double kPio2Lo = 6.12323399573676603587e-17;
constexpr double kPio4Hi = 7.85398163397448278999e-01;
constexpr double kPi = 3.14159265358979311600e+00;

// (asin(s) - s)/s for t = s², a rational approximation on t <= 1/4.
double asin_ratio(double t) {
  constexpr double pS0 = 1.66666666666666657415e-01;
  constexpr double pS1 = -3.25565818622400915405e-01;
  constexpr double pS2 = 2.01212532134862925881e-01;
  constexpr double pS3 = -4.00555345006794114027e-02;
  constexpr double pS4 = 7.91534994289814532176e-04;
  constexpr double pS5 = 3.47933107596021167570e-05;
  constexpr double qS1 = -2.40339491173441421878e+00;
  constexpr double qS2 = 2.02094576023350569471e+00;
  constexpr double qS3 = -6.88283971605453293030e-01;
  constexpr double qS4 = 7.70381505559019352791e-02;
  const double p =
      t * (pS0 + t * (pS1 + t * (pS2 + t * (pS3 + t * (pS4 + t * pS5)))));
  const double q = 1.0 + t * (qS1 + t * (qS2 + t * (qS3 + t * qS4)));
  return p / q;
}

}  // namespace

double sqrt(double x) {
  return _mm_cvtsd_f64(_mm_sqrt_sd(_mm_setzero_pd(), _mm_set_sd(x)));
}

double sin(double x) {
  const int32_t ix = high_word(x) & 0x7fffffff;
  if (ix <= 0x3fe921fb) {
    if (ix < 0x3e400000) return x;  // |x| < 2^-27: x³/6 is below half an ulp
    return sin_kernel(x, 0.0);
  }
  if (ix >= 0x7ff00000) return x - x;
  const Reduced r = reduce_half_pi(x);
  switch (r.quadrant) {
    case 0:
      return sin_kernel(r.hi, r.lo);
    case 1:
      return cos_kernel(r.hi, r.lo);
    case 2:
      return -sin_kernel(r.hi, r.lo);
    default:
      return -cos_kernel(r.hi, r.lo);
  }
}

double cos(double x) {
  const int32_t ix = high_word(x) & 0x7fffffff;
  if (ix <= 0x3fe921fb) {
    if (ix < 0x3e400000) return 1.0;
    return cos_kernel(x, 0.0);
  }
  if (ix >= 0x7ff00000) return x - x;
  const Reduced r = reduce_half_pi(x);
  switch (r.quadrant) {
    case 0:
      return cos_kernel(r.hi, r.lo);
    case 1:
      return -sin_kernel(r.hi, r.lo);
    case 2:
      return -cos_kernel(r.hi, r.lo);
    default:
      return sin_kernel(r.hi, r.lo);
  }
}

double tan(double x) {
  const int32_t ix = high_word(x) & 0x7fffffff;
  if (ix <= 0x3fe921fb) {
    if (ix < 0x3e400000) return x;
    return tan_kernel(x, 0.0, 1);
  }
  if (ix >= 0x7ff00000) return x - x;
  const Reduced r = reduce_half_pi(x);
  return tan_kernel(r.hi, r.lo, 1 - ((r.quadrant & 1) << 1));
}

double asin(double x) {
  const int32_t hx = high_word(x);
  const int32_t ix = hx & 0x7fffffff;
  if (ix >= 0x3ff00000) {  // |x| >= 1
    if (((ix - 0x3ff00000) | low_word(x)) == 0)
      return x * kPio2Hi + x * kPio2Lo;
    return kNaN;
  }
  if (ix < 0x3fe00000) {            // |x| < 0.5
    if (ix < 0x3e500000) return x;  // |x| < 2^-26
    return x + x * asin_ratio(x * x);
  }
  // asin|x| = π/2 - 2·asin(sqrt((1 - |x|)/2))
  const double t = (1.0 - magnitude(x)) * 0.5;
  const double s = sqrt(t);
  double result;
  if (ix >= 0x3FEF3333) {  // |x| > 0.975
    result = kPio2Hi - (2.0 * (s + s * asin_ratio(t)) - kPio2Lo);
  } else {
    const double w = truncated(s);
    const double c = (t - w * w) / (s + w);
    const double p = 2.0 * s * asin_ratio(t) - (kPio2Lo - 2.0 * c);
    const double q = kPio4Hi - 2.0 * w;
    result = kPio4Hi - (p - q);
  }
  return hx > 0 ? result : -result;
}

double acos(double x) {
  const int32_t hx = high_word(x);
  const int32_t ix = hx & 0x7fffffff;
  if (ix >= 0x3ff00000) {  // |x| >= 1
    if (((ix - 0x3ff00000) | low_word(x)) == 0) {
      return hx > 0 ? 0.0 : kPi + 2.0 * kPio2Lo;
    }
    return kNaN;
  }
  if (ix < 0x3fe00000) {  // |x| < 0.5
    if (ix <= 0x3c600000) return kPio2Hi + kPio2Lo;
    return kPio2Hi - (x - (kPio2Lo - x * asin_ratio(x * x)));
  }
  if (hx < 0) {  // x < -0.5
    const double z = (1.0 + x) * 0.5;
    const double s = sqrt(z);
    const double w = asin_ratio(z) * s - kPio2Lo;
    return kPi - 2.0 * (s + w);
  }
  const double z = (1.0 - x) * 0.5;  // x > 0.5
  const double s = sqrt(z);
  const double df = truncated(s);
  const double c = (z - df * df) / (s + df);
  const double w = asin_ratio(z) * s + c;
  return 2.0 * (df + w);
}

double atan(double x) {
  constexpr double kAtanHi[] = {
      4.63647609000806093515e-01,  // atan(0.5)
      7.85398163397448278999e-01,  // atan(1)
      9.82793723247329054082e-01,  // atan(1.5)
      1.57079632679489655800e+00,  // atan(inf)
  };
  constexpr double kAtanLo[] = {
      2.26987774529616870924e-17,
      3.06161699786838301793e-17,
      1.39033110312309984516e-17,
      6.12323399573676603587e-17,
  };
  constexpr double aT[] = {
      3.33333333333329318027e-01, -1.99999999998764832476e-01,
      1.42857142725034663711e-01, -1.11111104054623557880e-01,
      9.09088713343650656196e-02, -7.69187620504482999495e-02,
      6.66107313738753120669e-02, -5.83357013379057348645e-02,
      4.97687799461593236017e-02, -3.65315727442169155270e-02,
      1.62858201153657823623e-02,
  };
  const int32_t hx = high_word(x);
  const int32_t ix = hx & 0x7fffffff;
  if (ix >= 0x44100000) {  // |x| >= 2^66
    if (x != x) return x + x;
    return hx > 0 ? kAtanHi[3] + kAtanLo[3] : -kAtanHi[3] - kAtanLo[3];
  }
  int id;
  if (ix < 0x3fdc0000) {            // |x| < 0.4375
    if (ix < 0x3e400000) return x;  // |x| < 2^-27
    id = -1;
  } else {
    x = magnitude(x);
    if (ix < 0x3ff30000) {    // |x| < 1.1875
      if (ix < 0x3fe60000) {  // 7/16 <= |x| < 11/16
        id = 0;
        x = (2.0 * x - 1.0) / (2.0 + x);
      } else {  // 11/16 <= |x| < 19/16
        id = 1;
        x = (x - 1.0) / (x + 1.0);
      }
    } else if (ix < 0x40038000) {  // |x| < 2.4375
      id = 2;
      x = (x - 1.5) / (1.0 + 1.5 * x);
    } else {
      id = 3;
      x = -1.0 / x;
    }
  }
  const double z = x * x, w = z * z;
  const double s1 =
      z * (aT[0] +
           w * (aT[2] + w * (aT[4] + w * (aT[6] + w * (aT[8] + w * aT[10])))));
  const double s2 =
      w * (aT[1] + w * (aT[3] + w * (aT[5] + w * (aT[7] + w * aT[9]))));
  if (id < 0) return x - x * (s1 + s2);
  const double result = kAtanHi[id] - ((x * (s1 + s2) - kAtanLo[id]) - x);
  return hx < 0 ? -result : result;
}

double exp(double x) {
  if (!(x <= kExpOverflow)) return x != x ? x + x : kInfinity;
  if (x < kExpUnderflow) return 0.0;
  if (magnitude(x) < 0x1p-54) return 1.0 + x;
  // 2^(j/32)·e^r = t + t·(e^r - 1): the second term is below 2^-5 of the
  // first, so its rounding errors stay far below half an ulp.
  const ExpReduction reduced = reduce_exp(x);
  const double r = reduced.r.hi + reduced.r.lo;
  const double q =
      r + r * r *
              (0.5 + r * (1.0 / 6 +
                          r * (1.0 / 24 + r * (1.0 / 120 + r * (1.0 / 720)))));
  const Double2& t = kExp2Table[reduced.j];
  return scale(t.hi + (t.lo + t.hi * q), reduced.m);
}

double sinh(double x) {
  const double ax = magnitude(x);
  if (!(ax < 22.0)) {  // e^-|x| is below the last bit: e^|x|/2
    if (!(ax <= kHalfExpOverflow)) return x * kInfinity;  // ±inf or NaN
    const double e = exp_rounded(ax, -1);
    return x < 0 ? -e : e;
  }
  if (ax < 0x1p-4) {  // the series, without the cancellation of e^x - e^-x
    const double z = x * x;
    return x +
           x * z *
               (1.0 / 6 + z * (1.0 / 120 +
                               z * (1.0 / 5040 + z * (1.0 / 362880 +
                                                      z * (1.0 / 39916800)))));
  }
  Double2 e, inverse;
  exp_both(ax, &e, &inverse);
  const double s = 0.5 * add(e, negated(inverse)).hi;
  return x < 0 ? -s : s;
}

double cosh(double x) {
  const double ax = magnitude(x);
  if (!(ax < 22.0)) {
    if (!(ax <= kHalfExpOverflow)) return ax * kInfinity;  // inf or NaN
    return exp_rounded(ax, -1);
  }
  if (ax < 0x1p-27) return 1.0;
  Double2 e, inverse;
  exp_both(ax, &e, &inverse);
  return 0.5 * add(e, inverse).hi;
}

double tanh(double x) {
  const double ax = magnitude(x);
  if (!(ax < 22.0)) {  // tanh rounds to ±1
    if (x != x) return x + x;
    return x < 0 ? -1.0 : 1.0;
  }
  if (ax < 0x1p-4) {  // Taylor series
    const double z = x * x;
    return x + x * z *
                   (-1.0 / 3 +
                    z * (2.0 / 15 +
                         z * (-17.0 / 315 +
                              z * (62.0 / 2835 +
                                   z * (-1382.0 / 155925 +
                                        z * (21844.0 / 6081075 +
                                             z * (-929569.0 / 638512875)))))));
  }
  // (e^2|x| - 1)/(e^2|x| + 1)
  const Double2 e = exp_double(2.0 * ax);
  const double t = divide(add(e, {-1.0, 0.0}), add(e, {1.0, 0.0}));
  return x < 0 ? -t : t;
}

double log(double x) {
  constexpr double Lg1 = 6.666666666666735130e-01;
  constexpr double Lg2 = 3.999999999940941908e-01;
  constexpr double Lg3 = 2.857142874366239149e-01;
  constexpr double Lg4 = 2.222219843214978396e-01;
  constexpr double Lg5 = 1.818357216161805012e-01;
  constexpr double Lg6 = 1.531383769920937332e-01;
  constexpr double Lg7 = 1.479819860511658591e-01;
  int32_t hx = high_word(x);
  int k = 0;
  if (hx < 0x00100000) {  // x < 2^-1022
    if (((hx & 0x7fffffff) | low_word(x)) == 0) return -kInfinity;
    if (hx < 0) return kNaN;
    k -= 54;
    x *= 0x1p54;  // subnormal: scale up
    hx = high_word(x);
  }
  if (hx >= 0x7ff00000) return x + x;
  k += (hx >> 20) - 1023;
  hx &= 0x000fffff;
  // x = 2^k·m with m in [sqrt(2)/2, sqrt(2)).
  const int32_t i = (hx + 0x95f64) & 0x100000;
  x = with_high_word(x, static_cast<uint32_t>(hx | (i ^ 0x3ff00000)));
  k += i >> 20;
  const double f = x - 1.0;
  const double dk = k;
  if ((0x000fffff & (2 + hx)) < 3) {  // -2^-20 <= f < 2^-20
    if (f == 0.0) return k == 0 ? 0.0 : dk * kLn2Hi + dk * kLn2Lo;
    const double r = f * f * (0.5 - 0.33333333333333333 * f);
    if (k == 0) return f - r;
    return dk * kLn2Hi - ((r - dk * kLn2Lo) - f);
  }
  const double s = f / (2.0 + f);
  const double z = s * s;
  const double w = z * z;
  const double t1 = w * (Lg2 + w * (Lg4 + w * Lg6));
  const double t2 = z * (Lg1 + w * (Lg3 + w * (Lg5 + w * Lg7)));
  const double r = t2 + t1;
  if (((hx - 0x6147a) | (0x6b851 - hx)) > 0) {
    const double hfsq = 0.5 * f * f;
    if (k == 0) return f - (hfsq - s * (hfsq + r));
    return dk * kLn2Hi - ((hfsq - (s * (hfsq + r) + dk * kLn2Lo)) - f);
  }
  if (k == 0) return f - s * (f - r);
  return dk * kLn2Hi - ((s * (f - r) - dk * kLn2Lo) - f);
}

namespace {

// x^n for 1 <= |n| <= 64 and 2^-14 <= |x| < 2^15, whose powers stay far
// inside the range: powering from the top bit of |n| down, in double-double,
// rounded once.  The low part is carried unnormalised: it stays within a
// few ulps of the high part's last bit, far inside the error the final
// rounding allows.
template <bool kFused>
[[gnu::always_inline]] inline double integer_power_kernel(double x, int n) {
  const unsigned count = n < 0 ? -n : n;
  double hi = x, lo = 0.0;
  for (unsigned bit = (1u << (31 - __builtin_clz(count))) >> 1; bit != 0;
       bit >>= 1) {
    const Double2 square = exact_product<kFused>(hi, hi);
    lo = square.lo + 2.0 * hi * lo;
    hi = square.hi;
    if (count & bit) {
      const Double2 product = exact_product<kFused>(hi, x);
      lo = product.lo + lo * x;
      hi = product.hi;
    }
  }
  return n < 0 ? reciprocal(Double2{hi, lo}).hi : hi + lo;
}

[[gnu::target("fma")]] double integer_power_fused(double x, int n) {
  return integer_power_kernel<true>(x, n);
}

// The kernel above for the arguments it serves; false for others.
bool small_integer_power(double x, int n, double* out) {
  const int exponent = ((high_word(x) >> 20) & 0x7ff) - 1023;
  if (exponent < -14 || exponent > 14) return false;
  *out = use_fused_multiply_add ? integer_power_fused(x, n)
                                : integer_power_kernel<false>(x, n);
  return true;
}

// The same for a double y: false also when y is not such an integer.
bool small_integer_power(double x, double y, double* out) {
  if (!(magnitude(y) <= 64.0)) return false;
  const int n = static_cast<int>(y);
  return n == y && n != 0 && small_integer_power(x, n, out);
}

// 0 when y is not an integer, 1 when it is an odd one, 2 when even.
int integer_kind(double y) {
  const int32_t iy = high_word(y) & 0x7fffffff;
  const uint32_t ly = low_word(y);
  if (iy >= 0x43400000) return 2;  // |y| >= 2^53
  if (iy < 0x3ff00000) return 0;   // |y| < 1
  const int k = (iy >> 20) - 0x3ff;
  if (k > 20) {
    const uint32_t j = ly >> (52 - k);
    return (j << (52 - k)) == ly ? 2 - static_cast<int>(j & 1) : 0;
  }
  if (ly != 0) return 0;
  const int32_t j = iy >> (20 - k);
  return (j << (20 - k)) == iy ? 2 - (j & 1) : 0;
}

// log2|x| as t1 + t2, t1 with its low word clear, for finite |x| not 0, 1.
void log2_split(double ax, int32_t ix, double* t1, double* t2) {
  constexpr double bp[] = {1.0, 1.5};
  constexpr double dp_h[] = {0.0, 5.84962487220764160156e-01};  // log2(1.5)
  constexpr double dp_l[] = {0.0, 1.35003920212974897128e-08};
  constexpr double L1 = 5.99999999999994648725e-01;
  constexpr double L2 = 4.28571428578550184252e-01;
  constexpr double L3 = 3.33333329818377432918e-01;
  constexpr double L4 = 2.72728123808534006489e-01;
  constexpr double L5 = 2.30660745775561754067e-01;
  constexpr double L6 = 2.06975017800338417784e-01;
  constexpr double cp = 9.61796693925975554329e-01;  // 2/(3·ln2)
  constexpr double cp_h = 9.61796700954437255859e-01;
  constexpr double cp_l = -7.02846165095275826516e-09;
  int n = 0;
  if (ix < 0x00100000) {  // subnormal
    ax *= 0x1p53;
    n -= 53;
    ix = high_word(ax);
  }
  n += (ix >> 20) - 0x3ff;
  const int32_t j = ix & 0x000fffff;
  ix = j | 0x3ff00000;
  int k;
  if (j <= 0x3988E) {  // |x| < sqrt(3/2)
    k = 0;
  } else if (j < 0xBB67A) {  // |x| < sqrt(3)
    k = 1;
  } else {
    k = 0;
    n += 1;
    ix -= 0x00100000;
  }
  ax = with_high_word(ax, static_cast<uint32_t>(ix));

  // ss = s_h + s_l = (x - 1)/(x + 1) or (x - 1.5)/(x + 1.5)
  double u = ax - bp[k];
  double v = 1.0 / (ax + bp[k]);
  const double ss = u * v;
  const double s_h = truncated(ss);
  double t_h = from_words(
      static_cast<uint32_t>(((ix >> 1) | 0x20000000) + 0x00080000 + (k << 18)),
      0);
  double t_l = ax - (t_h - bp[k]);
  const double s_l = v * ((u - s_h * t_h) - s_h * t_l);
  // log(ax)
  double s2 = ss * ss;
  double r =
      s2 * s2 * (L1 + s2 * (L2 + s2 * (L3 + s2 * (L4 + s2 * (L5 + s2 * L6)))));
  r += s_l * (s_h + ss);
  s2 = s_h * s_h;
  t_h = truncated(3.0 + s2 + r);
  t_l = r - ((t_h - 3.0) - s2);
  u = s_h * t_h;
  v = s_l * t_h + t_l * ss;
  const double p_h = truncated(u + v);
  const double p_l = v - (p_h - u);
  const double z_h = cp_h * p_h;
  const double z_l = cp_l * p_h + p_l * cp + dp_l[k];
  const double t = n;
  *t1 = truncated(((z_h + z_l) + dp_h[k]) + t);
  *t2 = z_l - (((*t1 - t) - dp_h[k]) - z_h);
}

// 2^(p_h + p_l) for p_h + p_l within (-1075, 1024], as computed by pow.
double exp2_split(double p_h, double p_l) {
  constexpr double P1 = 1.66666666666666019037e-01;
  constexpr double P2 = -2.77777777770155933842e-03;
  constexpr double P3 = 6.61375632143793436117e-05;
  constexpr double P4 = -1.65339022054652515390e-06;
  constexpr double P5 = 4.13813679705723846039e-08;
  constexpr double lg2 = 6.93147180559945286227e-01;
  constexpr double lg2_h = 6.93147182464599609375e-01;
  constexpr double lg2_l = -1.90465429995776804525e-09;
  const int32_t j = high_word(p_h + p_l);
  const int32_t i = j & 0x7fffffff;
  int k = (i >> 20) - 0x3ff;
  int n = 0;
  if (i > 0x3fe00000) {  // |z| > 0.5: n = [z + 0.5]
    n = j + (0x00100000 >> (k + 1));
    k = ((n & 0x7fffffff) >> 20) - 0x3ff;
    const double t =
        from_words(static_cast<uint32_t>(n & ~(0x000fffff >> k)), 0);
    n = ((n & 0x000fffff) | 0x00100000) >> (20 - k);
    if (j < 0) n = -n;
    p_h -= t;
  }
  const double t = truncated(p_l + p_h);
  const double u = t * lg2_h;
  const double v = (p_l - (t - p_h)) * lg2 + t * lg2_l;
  double z = u + v;
  const double w = v - (z - u);
  const double tt = z * z;
  const double t1 = z - tt * (P1 + tt * (P2 + tt * (P3 + tt * (P4 + tt * P5))));
  const double r = (z * t1) / (t1 - 2.0) - (w + z * w);
  z = 1.0 - (r - z);
  return scale(z, n);
}

}  // namespace

double integer_power(double x, int n) {
  double power;
  if (small_integer_power(x, n, &power)) return power;
  return pow(x, n);
}

double pow(double x, double y) {
  double power;
  if (small_integer_power(x, y, &power)) return power;
  constexpr double ivln2 = 1.44269504088896338700e+00;
  constexpr double ivln2_h = 1.44269502162933349609e+00;
  constexpr double ivln2_l = 1.92596299112661746887e-08;
  // -(1024 - log2(largest double + half an ulp))
  constexpr double ovt = 8.0085662595372944372e-17;
  const int32_t hx = high_word(x), hy = high_word(y);
  const uint32_t lx = low_word(x), ly = low_word(y);
  const int32_t ix = hx & 0x7fffffff, iy = hy & 0x7fffffff;

  if ((iy | ly) == 0) return 1.0;               // x^0 = 1
  if (hx == 0x3ff00000 && lx == 0) return 1.0;  // 1^y = 1
  if (ix > 0x7ff00000 || (ix == 0x7ff00000 && lx != 0) || iy > 0x7ff00000 ||
      (iy == 0x7ff00000 && ly != 0)) {
    return x + y;  // NaN
  }
  const int y_kind = hx < 0 ? integer_kind(y) : 0;

  if (ly == 0) {
    if (iy == 0x7ff00000) {                           // y = ±inf
      if (((ix - 0x3ff00000) | lx) == 0) return 1.0;  // (-1)^±inf
      if (ix >= 0x3ff00000) return hy >= 0 ? y : 0.0;
      return hy < 0 ? -y : 0.0;
    }
    if (iy == 0x3ff00000) return hy < 0 ? 1.0 / x : x;  // y = ±1
    if (hy == 0x40000000) return x * x;                 // y = 2
    if (hy == 0x3fe00000 && hx >= 0) return sqrt(x);    // y = 0.5
  }

  const double ax = magnitude(x);
  if (lx == 0 && (ix == 0x7ff00000 || ix == 0 || ix == 0x3ff00000)) {
    double z = ax;  // ±0, ±inf, -1
    if (hy < 0) z = 1.0 / z;
    if (hx < 0) {
      if (((ix - 0x3ff00000) | y_kind) == 0) return kNaN;  // (-1)^non-integer
      if (y_kind == 1) z = -z;
    }
    return z;
  }
  if (hx < 0 && y_kind == 0) return kNaN;  // (x < 0)^non-integer
  const double sign = (hx < 0 && y_kind == 1) ? -1.0 : 1.0;

  double t1, t2;
  if (iy > 0x41e00000) {    // |y| > 2^31
    if (iy > 0x43f00000) {  // |y| > 2^64: overflow or underflow
      if (ix <= 0x3fefffff) return hy < 0 ? kInfinity : 0.0;
      return hy > 0 ? kInfinity : 0.0;
    }
    if (ix < 0x3fefffff) return hy < 0 ? sign * kInfinity : sign * 0.0;
    if (ix > 0x3ff00000) return hy > 0 ? sign * kInfinity : sign * 0.0;
    // |1 - x| <= 2^-20: log(x) by x - x²/2 + x³/3 - x⁴/4
    const double t = ax - 1.0;
    const double w =
        (t * t) * (0.5 - t * (0.3333333333333333333333 - t * 0.25));
    // t has up to 32 bits and ivln2_h 24: the product needs its low part,
    // which y up to 2^64 would otherwise magnify to hundreds of ulps.
    const Double2 u = two_product(ivln2_h, t);
    const double v = (t * ivln2_l - w * ivln2) + u.lo;
    t1 = truncated(u.hi + v);
    t2 = v - (t1 - u.hi);
  } else {
    log2_split(ax, ix, &t1, &t2);
  }

  // (y1 + y2)·(t1 + t2) with y1 the high part of y
  const double y1 = truncated(y);
  const double p_l = (y - y1) * t1 + y * t2;
  const double p_h = y1 * t1;
  const double z = p_l + p_h;
  const int32_t j = high_word(z);
  const uint32_t i = low_word(z);
  if (j >= 0x40900000) {  // z >= 1024
    if (((j - 0x40900000) | static_cast<int32_t>(i)) != 0)
      return sign * kInfinity;
    if (p_l + ovt > z - p_h) return sign * kInfinity;
  } else if ((j & 0x7fffffff) >= 0x4090cc00) {  // z <= -1075
    if (((j - static_cast<int32_t>(0xc090cc00)) | static_cast<int32_t>(i)) !=
        0) {
      return sign * 0.0;
    }
    if (p_l <= z - p_h) return sign * 0.0;
  }
  return sign * exp2_split(p_h, p_l);
}

}  // namespace eval::math
