#!/usr/bin/env python3
"""Measures the elementary functions against the correctly rounded value
(python3-mpmath) on the hard arguments of tools/math_reference.py and on
random ones, for each given build of tools/math_accuracy.cpp:

    tools/math_accuracy.py [--count N] LABEL=COMMAND ...

e.g. native=build/h1-native/tools/math_accuracy
     mingw64="tools/wine-run.sh build/win/bin/math_accuracy.exe"
     mingw53="tools/wine-run.sh build/win/bin/math_accuracy.exe --x87-precision 53"

Each program reports the library's result (eval::math) and the platform
runtime's (std::, glibc or MinGW); the table shows, per function and
implementation, the largest error in ulps and how many results are not
correctly rounded (> 0.5 ulp) or more than 1 ulp off."""
import argparse
import math
import random
import shlex
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import math_reference as ref  # noqa: E402

FUNCTIONS = ["sin", "cos", "tan", "asin", "acos", "atan", "sinh", "cosh",
             "tanh", "log", "exp", "sqrt", "pow"]


def log_uniform(rng, low_exp, high_exp):
    return rng.uniform(1, 2) * 2.0 ** rng.randint(low_exp, high_exp - 1)


def signed(rng, x):
    return -x if rng.random() < 0.5 else x


def random_argument(rng, name):
    pick = rng.random()
    if name in ("sin", "cos", "tan"):
        if pick < 0.4:
            return rng.uniform(-10, 10)
        if pick < 0.6:
            return rng.uniform(-1e6, 1e6)
        return signed(rng, log_uniform(rng, -30, 1024))
    if name in ("asin", "acos"):
        if pick < 0.6:
            return rng.uniform(-1, 1)
        if pick < 0.8:
            return signed(rng, 1 - log_uniform(rng, -53, -2))
        return signed(rng, log_uniform(rng, -60, -1))
    if name == "atan":
        return signed(rng, log_uniform(rng, -30, 100))
    if name in ("sinh", "cosh"):
        if pick < 0.7:
            return rng.uniform(-710.4, 710.4)
        return signed(rng, log_uniform(rng, -30, 3))
    if name == "tanh":
        if pick < 0.7:
            return rng.uniform(-20, 20)
        return signed(rng, log_uniform(rng, -30, 0))
    if name == "log":
        if pick < 0.3:
            return 1 + rng.uniform(-0.3, 0.3)
        return log_uniform(rng, -1074, 1024)
    if name == "exp":
        if pick < 0.8:
            return rng.uniform(-745, 709.7)
        return signed(rng, log_uniform(rng, -30, 0))
    if name == "sqrt":
        return log_uniform(rng, -1074, 1024)
    # pow
    if pick < 0.5:
        return (log_uniform(rng, -20, 20), rng.uniform(-50, 50))
    if pick < 0.7:
        return (1 + signed(rng, log_uniform(rng, -40, -5)),
                signed(rng, log_uniform(rng, 10, 40)))
    if pick < 0.85:
        return (-log_uniform(rng, -3, 3), float(rng.randint(-300, 300)))
    return (rng.uniform(0, 10), rng.uniform(-3, 3))


def arguments(count, seed):
    rng = random.Random(seed)
    for name in FUNCTIONS:
        for arg in ref.HARD[name]:
            yield name, arg
        for _ in range(count):
            yield name, random_argument(rng, name)


def run(command, lines):
    result = subprocess.run(shlex.split(command), input="".join(lines),
                            capture_output=True, text=True, check=True)
    rows = []
    for line in result.stdout.splitlines():
        _, _, _, library, platform = line.split()
        rows.append((ref.from_bits(int(library, 16)),
                     ref.from_bits(int(platform, 16))))
    return rows


class Tally:
    def __init__(self):
        self.worst, self.worst_arg = 0.0, None
        self.inexact = self.beyond_one = 0

    def add(self, error, arg):
        if error > self.worst:
            self.worst, self.worst_arg = error, arg
        self.inexact += error > 0.5
        self.beyond_one += error > 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--count", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("builds", nargs="+", help="LABEL=COMMAND")
    options = parser.parse_args()

    cases = list(arguments(options.count, options.seed))
    lines = []
    for name, arg in cases:
        x, y = arg if isinstance(arg, tuple) else (arg, 0.0)
        lines.append(f"{name} {ref.bits(x):x} {ref.bits(y):x}\n")
    exact = [ref.reference(name, *(arg if isinstance(arg, tuple) else (arg,)))
             for name, arg in cases]

    columns = []
    for build in options.builds:
        label, command = build.split("=", 1)
        rows = run(command, lines)
        for side, title in ((0, "library"), (1, "runtime")):
            tallies = {name: Tally() for name in FUNCTIONS}
            for (name, arg), value, row in zip(cases, exact, rows):
                tallies[name].add(ref.ulp_error(row[side], value), arg)
            columns.append((f"{label} {title}", tallies))

    print(f"{len(cases)} arguments ({options.count} random per function "
          "and the hard ones); cells: largest error in ulps / results not "
          "correctly rounded / results more than 1 ulp off")
    print(f"{'':6}" + "".join(f"{title:>24}" for title, _ in columns))
    for name in FUNCTIONS:
        cells = []
        for _, tallies in columns:
            t = tallies[name]
            worst = "inf" if math.isinf(t.worst) else f"{t.worst:.3g}"
            cells.append(f"{worst} / {t.inexact} / {t.beyond_one}")
        print(f"{name:6}" + "".join(f"{c:>24}" for c in cells))
    print("\nworst arguments:")
    for title, tallies in columns:
        for name in FUNCTIONS:
            t = tallies[name]
            if t.worst > 1:
                print(f"  {title} {name}{t.worst_arg!r}: {t.worst:.3g} ulp")


if __name__ == "__main__":
    main()
