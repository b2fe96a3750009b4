// Reduction modulo π/2.  Moderate arguments (|x| <= 2^19·π/2) use Cody and
// Waite's method with π/2 in 33-bit pieces, so that n times a piece is
// exact; up to three pieces keep 85, 118 or 151 bits when x lies close to a
// multiple of π/2.  Larger arguments use Payne and Hanek's method: only the
// bits of 2/π that reach the last two integer bits of x·2/π and the next
// 190 fraction bits are multiplied, in exact integer arithmetic.  The
// closest any double comes to a multiple of π/2 is about 2^-61 relative, so
// the reduced argument keeps more than 100 correct bits.
#include "trig_reduction.h"

#include <algorithm>
#include <bit>

#include "math_exact.h"

namespace eval::math {

namespace {

// 2/π = 0.A2F9836E 4E441529 ... in hexadecimal, 1408 bits, from
// python3-mpmath: floor(frac(2/pi * 2^(32 k)) * 2^32) at mp.prec = 1600.
constexpr uint32_t kTwoOverPiBits[] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041,
    0xFE5163AB, 0xDEBBC561, 0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C,
    0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484, 0xE99C7026, 0xB45F7E41,
    0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D,
    0x7527BAC7, 0xEBE5F17B, 0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08,
    0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D, 0xA9E39161, 0x5EE61B08,
    0x6599855F, 0x14A06840,
};

constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
constexpr double kRoundShift = 0x1.8p52;  // adding it rounds to an integer
// π/2 = kPio2_1 + kPio2_2 + kPio2_3 + kPio2_3t, each piece of 33 bits; the
// "t" constants are the rest of π/2 after the pieces before them.
constexpr double kPio2_1 = 0x1.921fb54400000p+0;
constexpr double kPio2_1t = 0x1.0b4611a626331p-34;
constexpr double kPio2_2 = 0x1.0b4611a600000p-34;
constexpr double kPio2_2t = 0x1.3198a2e037073p-69;
constexpr double kPio2_3 = 0x1.3198a2e000000p-69;
constexpr double kPio2_3t = 0x1.b839a252049c1p-104;
constexpr double kPio2Hi = 0x1.921fb54442d18p+0;
constexpr double kPio2Lo = 0x1.1a62633145c07p-54;

constexpr uint32_t kMediumLimitHigh = 0x413921fb;  // 2^19·π/2
constexpr int kWindowWords = 7;
constexpr int kFractionWords = 6;

int exponent_field(double x) {
  return static_cast<int>((std::bit_cast<uint64_t>(x) >> 52) & 0x7ff);
}

Reduced reduce_medium(double x) {
  const double fn = (x * kTwoOverPi + kRoundShift) - kRoundShift;
  const int n = static_cast<int>(fn);
  double r = x - fn * kPio2_1;  // exact
  double w = fn * kPio2_1t;
  double y0 = r - w;
  const int exponent = exponent_field(x);
  if (exponent - exponent_field(y0) > 16) {  // cancellation: 118 bits
    double t = r;
    w = fn * kPio2_2;
    r = t - w;
    w = fn * kPio2_2t - ((t - r) - w);
    y0 = r - w;
    if (exponent - exponent_field(y0) > 49) {  // more of it: 151 bits
      t = r;
      w = fn * kPio2_3;
      r = t - w;
      w = fn * kPio2_3t - ((t - r) - w);
      y0 = r - w;
    }
  }
  return {n & 3, y0, (r - y0) - w};
}

// The 32 bits of |words| (little-endian) starting at bit |low|.
uint32_t bits_at(const uint32_t* words, int count, int low) {
  const int word = low / 32, shift = low % 32;
  uint32_t value = words[word] >> shift;
  if (shift != 0 && word + 1 < count) value |= words[word + 1] << (32 - shift);
  return value;
}

Reduced reduce_large(double x) {
  const uint64_t bits = std::bit_cast<uint64_t>(x);
  const int q = exponent_field(x) - 1075;  // x = m·2^q
  const uint64_t m = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  // Bits of 2/π before |first| only add multiples of 4 to x·2/π.
  const int first = std::max(1, q - 1);
  const int point = first + 32 * kWindowWords - 1 - q;  // binary point in P

  uint32_t window[kWindowWords];  // little-endian
  const int word = (first - 1) / 32, shift = (first - 1) % 32;
  for (int t = 0; t < kWindowWords; ++t) {
    const int source = word + kWindowWords - 1 - t;
    uint32_t value = kTwoOverPiBits[source] << shift;
    if (shift != 0) value |= kTwoOverPiBits[source + 1] >> (32 - shift);
    window[t] = value;
  }

  constexpr int kProductWords = kWindowWords + 2;
  uint32_t product[kProductWords] = {};
  const uint32_t halves[2] = {static_cast<uint32_t>(m),
                              static_cast<uint32_t>(m >> 32)};
  for (int i = 0; i < 2; ++i) {
    uint64_t carry = 0;
    for (int t = 0; t < kWindowWords; ++t) {
      const uint64_t sum =
          uint64_t{halves[i]} * window[t] + product[i + t] + carry;
      product[i + t] = static_cast<uint32_t>(sum);
      carry = sum >> 32;
    }
    product[i + kWindowWords] = static_cast<uint32_t>(carry);
  }

  int n = static_cast<int>(bits_at(product, kProductWords, point) & 3);
  uint32_t fraction[kFractionWords];  // big-endian
  for (int c = 0; c < kFractionWords; ++c) {
    fraction[c] = bits_at(product, kProductWords, point - 32 * (c + 1));
  }
  // A fraction of one half or more rounds n up and leaves fraction - 1.
  const bool round_up = (fraction[0] >> 31) != 0;
  if (round_up) {
    ++n;
    uint32_t carry = 1;
    for (int c = kFractionWords - 1; c >= 0; --c) {
      const uint32_t negated = ~fraction[c] + carry;
      carry = (carry != 0 && negated == 0) ? 1 : 0;
      fraction[c] = negated;
    }
  }

  // The fraction as hi + lo, summed from its smallest word up.
  constexpr double kWordScale[kFractionWords] = {0x1p-32,  0x1p-64,  0x1p-96,
                                                 0x1p-128, 0x1p-160, 0x1p-192};
  double hi = 0.0, lo = 0.0;
  for (int c = kFractionWords - 1; c >= 0; --c) {
    const double term = static_cast<double>(fraction[c]) * kWordScale[c];
    const double sum = term + hi;
    const double rounded_term = sum - hi;
    lo += (term - rounded_term) + (hi - (sum - rounded_term));
    hi = sum;
  }
  const double f_hi = hi + lo;
  const double f_lo = lo - (f_hi - hi);

  const Double2 scaled = two_product(f_hi, kPio2Hi);
  const double tail = scaled.lo + (f_hi * kPio2Lo + f_lo * kPio2Hi);
  double r_hi = scaled.hi + tail;
  double r_lo = tail - (r_hi - scaled.hi);
  if (round_up != (x < 0)) {
    r_hi = -r_hi;
    r_lo = -r_lo;
  }
  if (x < 0) n = -n;
  return {n & 3, r_hi, r_lo};
}

}  // namespace

Reduced reduce_half_pi(double x) {
  const auto high = static_cast<uint32_t>(std::bit_cast<uint64_t>(x) >> 32);
  if ((high & 0x7fffffff) <= kMediumLimitHigh) return reduce_medium(x);
  return reduce_large(x);
}

}  // namespace eval::math
