#!/usr/bin/env python3
"""Hard arguments of the elementary functions and their correctly rounded
values, from python3-mpmath at several hundred bits.

    tools/math_reference.py    prints the rows of the tables in
                               tests/eval/math_accuracy_test.cpp

tools/math_accuracy.py imports the argument lists and the reference."""
import math
import struct
import sys

from mpmath import mp, mpf

mp.prec = 400
DBL_MAX = sys.float_info.max
TINY = 5e-324  # the smallest subnormal


def bits(x):
    return struct.unpack("<Q", struct.pack("<d", x))[0]


def from_bits(b):
    return struct.unpack("<d", struct.pack("<Q", b))[0]


def closest_to_half_pi_multiple(exponent):
    """The double in [2^e, 2^(e+1)) closest to a multiple of pi/2, from the
    convergents of the continued fraction of (pi/2)/2^(e-52)."""
    c = (mp.pi / 2) / mpf(2) ** (exponent - 52)
    best, best_distance = None, None
    h0, h1, k0, k1 = 0, 1, 1, 0
    value = c
    for _ in range(200):
        a = int(mp.floor(value))
        h0, h1 = h1, a * h1 + h0
        k0, k1 = k1, a * k1 + k0
        for m in (h1 - 1, h1, h1 + 1):
            if 2**52 <= m < 2**53 and k1 > 0:
                x = math.ldexp(m, exponent - 52)
                distance = abs(mpf(x) - k1 * mp.pi / 2) / mpf(x)
                if best is None or distance < best_distance:
                    best, best_distance = x, distance
        if h1 >= 2**53:
            break
        frac = value - a
        if frac == 0:
            break
        value = 1 / frac
    return best


def odd_huge_arguments():
    """Huge doubles with an odd significand m whose bit of 2/pi at the
    position that multiplies m by 2 is set: it decides n mod 4."""
    with mp.workprec(1600):
        bits = int(mp.floor((2 / mp.pi) * mpf(2) ** 1500))
    args = []
    for start in (3, 40, 150, 500, 960):
        q = next(q for q in range(start, 972) if bits >> (1500 - (q - 1)) & 1)
        m = 2**52 + (q * 0x9E3779B97F4A7C15) % 2**52 | 1
        args.append(math.ldexp(m, q))
    return args


def nearest_double(value):
    return float(value)


def trig_arguments():
    args = [math.pi, math.pi / 2, math.pi / 4, 2 * math.pi,
            6.0 ** 10, 1e16 / math.e, 1e22, 2.0 ** 1023, DBL_MAX, -DBL_MAX,
            TINY, 2.0 ** -1022, 1e-300, 1e300, -1e22,
            823549.6, 6381956970095103 * 2.0 ** 797, 1e6, 2.0 ** 20 + 0.5]
    args += odd_huge_arguments()
    for k in (3, 5, 10, 100, 10**6):
        args.append(nearest_double(k * mp.pi / 2))
    for exponent in (1, 5, 12, 19, 20, 21, 30, 52, 60, 100, 300, 797, 1000,
                     1023):
        x = closest_to_half_pi_multiple(exponent)
        if x is not None and x not in args:
            args.append(x)
    return args


HARD = {
    "sin": trig_arguments(),
    "cos": trig_arguments(),
    "tan": trig_arguments(),
    "asin": [1.0, -1.0, 0.5, -0.5, from_bits(bits(1.0) - 1), 0.975,
             0.9750000000000001, 0.4999999999999999, 1e-300, TINY,
             2.0 ** -26, -0.7],
    "acos": [1.0, -1.0, 0.5, -0.5, from_bits(bits(1.0) - 1),
             -from_bits(bits(1.0) - 1), 1e-300, TINY, 2.0 ** -57, 0.7,
             -0.7, 0.4999999999999999],
    "atan": [1e300, DBL_MAX, -DBL_MAX, TINY, 2.0 ** -27, 0.4375, 1.1875,
             2.4375, 1.0, -1.0, 2.0 ** 66, 0.6875, 1e10],
    "sinh": [710.4758600739439, -710.4758600739439, 709.782712893384, 22.0,
             21.999999999999996, 0.34657359027997264, 1e-300, TINY, 1.0,
             2.0 ** -28, 0.5, 3.0, -15.0, 711.0],
    "cosh": [710.4758600739439, -710.4758600739439, 709.782712893384, 22.0,
             0.34657359027997264, 0.3465735902799727, 1e-300, TINY, 1.0,
             2.0 ** -27, 3.0, 711.0],
    "tanh": [22.0, 19.06, 18.714973875118524, 0.55, 1e-300, TINY, -1.0,
             1.0, 2.0 ** -28, 1e-4, 0.25, -3.0, 1e300],
    "log": [TINY, 2.0 ** -1022, DBL_MAX, 1.0 + 2.0 ** -52, 1.0 - 2.0 ** -53,
            0.7071067811865476, 1.4142135623730951, 2.0, 1e-300, math.e,
            1e300, 1.0000009536743164, 0.9999990463256836, 10.0],
    "exp": [709.782712893384, -745.1332191019411, -708.4, -740.0, 1e-300,
            0.34657359027997264, 1.0397207708399179, 1.0, -1.0, 100.0,
            -100.0, 2.0 ** -28, -2.0 ** -28, 709.0, -744.5],
    "sqrt": [TINY, 2.0 ** -1022, DBL_MAX, 2.0, 1e-300, 3.0, 1e300,
             from_bits(bits(1.0) - 1)],
    "pow": [(-1.001, 600126.0), (2.0, 1023.99), (2.0, -1074.0),
            (10.0, 308.25), (1.0000000000000002, 2.0 ** 62),
            (0.9999999999999999, -2.0 ** 60), (10.0, -323.3),
            (math.e, 709.78), (1e300, 1.0266), (3.0, 646.5), (1.5, 1750.3),
            (2.0, 0.5), (-2.0, 1023.0), (-2.0, 1025.0), (1e-10, 30.8),
            (-1.0000001, 2.0 ** 31 + 1), (7.0, 0.3333333333333333),
            (1.0000002215186605, -2727538474.0414977),
            (0.5, 1074.0), (0.5, 1075.0), (TINY, 0.5), (DBL_MAX, 0.5),
            (10.0, 22.0), (1.1, -7100.0), (-0.9, 6999.0)],
}


def reference(name, x, y=None):
    """The exact value as an mpf (or None for NaN)."""
    with mp.workprec(400):
        X = mpf(x)
        if name == "pow":
            Y = mpf(y)
            if X < 0:
                if Y != int(Y):
                    return None
                value = abs(X) ** Y
                return -value if int(Y) % 2 else value
            return X ** Y
        if name in ("asin", "acos") and abs(X) > 1:
            return None
        if name in ("log", "sqrt") and X < 0:
            return None
        if name == "log" and X == 0:
            return mpf("-inf")
        return getattr(mp, name)(X)


def correctly_rounded(value):
    """The double nearest to the exact value (inf beyond the range)."""
    if value is None:
        return math.nan
    if mp.isinf(value):
        return float(value)
    limit = mpf(DBL_MAX) + mpf(2) ** (1023 - 53)
    if abs(value) >= limit:
        return math.inf if value > 0 else -math.inf
    return float(value)  # mpmath rounds to nearest, subnormals included


def ulp_error(computed, value):
    """|computed - exact| in ulps of the exact value's binade."""
    if value is None:
        return 0.0 if math.isnan(computed) else math.inf
    expected = correctly_rounded(value)
    if math.isinf(expected) or math.isinf(computed) or math.isnan(computed):
        return 0.0 if computed == expected else math.inf
    if value == 0:
        return 0.0 if computed == 0 else math.inf
    exponent = max(int(mp.floor(mp.log(abs(value), 2))), -1022)
    return float(abs(mpf(computed) - value) / mpf(2) ** (exponent - 52))


def hex_literal(x):
    if math.isnan(x):
        return "kNaN"
    if math.isinf(x):
        return "kInf" if x > 0 else "-kInf"
    mantissa, exponent = x.hex().split("p")
    return mantissa.rstrip("0").rstrip(".") + "p" + exponent


def expected(name, x, y=None):
    return correctly_rounded(reference(name, x, y))


def print_table_rows():
    """Trigonometric rows {x, sin, cos, tan}, then {function, x, y, value}."""
    for x in HARD["sin"]:
        values = ", ".join(hex_literal(expected(name, x))
                           for name in ("sin", "cos", "tan"))
        print(f"    {{{hex_literal(x)}, {values}}},")
    print()
    for name, args in HARD.items():
        if name in ("sin", "cos", "tan"):
            continue
        for arg in args:
            x, y = arg if isinstance(arg, tuple) else (arg, None)
            value = hex_literal(expected(name, x, y))
            y_text = hex_literal(y) if y is not None else "0"
            print(f"    {{{name.upper()}, {hex_literal(x)}, {y_text}, {value}}},")


if __name__ == "__main__":
    print_table_rows()
