// The elementary functions the evaluators call, computed by the library
// itself in SSE2 double arithmetic, so that the results do not depend on
// the platform's runtime nor on the caller's x87 precision or rounding
// control.  Every function is within 1 ulp of the correctly rounded value
// (tests/eval/math_accuracy_test.cpp checks hard arguments against a
// high-precision reference).
//
// Source of each function, identical in the native and the Windows build,
// so that both give the same bits (neither calls the platform's libm):
//   sin, cos, tan     own reduction modulo π/2 (trig_reduction.cpp: Cody and
//                     Waite, then Payne and Hanek), exact for every finite
//                     double, then polynomial kernels on |r| <= π/4 that
//                     take the reduced argument's tail
//   exp               own: e^x = 2^(k/32)·e^r with a table of 2^(j/32) and r
//                     carried as a double-double, about 0.5 ulp
//   sinh, cosh, tanh  own: from the same double-double e^x (Taylor series
//                     near 0), about 0.5 ulp
//   asin, acos, atan  rational and polynomial approximations on reduced
//   log, pow          ranges, extra precision carried in split doubles
//   sqrt              the processor's correctly rounded square root (sqrtsd)
// The kernels of sin, cos, tan, asin, acos, atan, log and pow follow the
// algorithms and minimax coefficients of the freely distributable fdlibm
// (Copyright (C) 1993 by Sun Microsystems, Inc.  Developed at SunSoft, a Sun
// Microsystems, Inc. business.  Permission to use, copy, modify, and
// distribute this software is freely granted, provided that this notice is
// preserved.).
#pragma once

namespace eval::math {

double sin(double x);
double cos(double x);
double tan(double x);
double asin(double x);
double acos(double x);
double atan(double x);
double sinh(double x);
double cosh(double x);
double tanh(double x);
double exp(double x);
double log(double x);
double sqrt(double x);
double pow(double x, double y);
// pow(x, n) for an integer 1 <= |n| <= 64, with the same value.
double integer_power(double x, int n);

// Whether the exact products of pow, sinh and cosh use the processor's
// fused multiply-add, which gives the same bits in fewer operations; set at
// load time where the processor has one.  Tests turn it off to run the
// plain kernels as well.
bool has_fused_multiply_add();
extern bool use_fused_multiply_add;

}  // namespace eval::math
