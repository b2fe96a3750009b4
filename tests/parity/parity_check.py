#!/usr/bin/env python3
"""Compares the answers of the native library and of eval.dll to the same
generated expressions (eval_parity).  The Windows program runs at 64-bit and
at 53-bit x87 precision.  Codes, positions, messages and integer results
must be equal; real results may differ by at most 1 ulp."""
import argparse
import os
import subprocess
import sys


def answers(command):
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"{' '.join(command)} failed ({result.returncode}):\n"
                 f"{result.stderr[-2000:]}")
    return result.stdout.splitlines()


def ulps(a, b):
    """Doubles between two bit patterns; NaNs must be identical."""
    def ordered(bits):
        return -(bits & 0x7FFFFFFFFFFFFFFF) if bits >> 63 else bits

    def nan(bits):
        return bits & 0x7FF0000000000000 == 0x7FF0000000000000 and \
            bits & 0x000FFFFFFFFFFFFF != 0
    if nan(a) or nan(b):
        return 0 if a == b else float("inf")
    return abs(ordered(a) - ordered(b))


def compare(native, windows, label):
    """Prints the failures and a summary; returns the number of failures."""
    failures, differing, worst = [], 0, 0
    if len(native) != len(windows):
        failures.append(f"{len(native)} native lines, {len(windows)} Windows")
    for line_n, line_w in zip(native, windows):
        fields_n, fields_w = line_n.split(), line_w.split()
        real = fields_n[-1].startswith("r") and fields_w[-1].startswith("r")
        if fields_n[:-1] != fields_w[:-1] or (not real and line_n != line_w):
            failures.append(f"native  {line_n}\n    windows {line_w}")
        elif real and fields_n[-1] != fields_w[-1]:
            distance = ulps(int(fields_n[-1][1:], 16), int(fields_w[-1][1:], 16))
            differing, worst = differing + 1, max(worst, distance)
            if distance > 1:
                failures.append(f"{distance} ulp apart:\n    native  {line_n}"
                                f"\n    windows {line_w}")
    print(f"{label}: {len(native)} answers, {differing} real values differ "
          f"in their bits (at most {worst} ulp), {len(failures)} failures")
    for failure in failures[:20]:
        print("  " + failure)
    return len(failures)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--native", "--windows", "--runner"):
        parser.add_argument(option, required=True)
    options = parser.parse_args()
    if not os.access(options.native, os.X_OK):
        sys.exit(f"no native {options.native}: build the native tree first, "
                 "or configure this build with -DKURVANA_NATIVE_BUILD=<dir>")
    native = answers([options.native])
    failures = sum(compare(native, answers([options.runner, options.windows,
                                            "--x87-precision", bits]),
                           f"x87 at {bits} bits") for bits in ("64", "53"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
