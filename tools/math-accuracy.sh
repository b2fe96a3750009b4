#!/usr/bin/env bash
# Measures the elementary functions of the library and of each platform's
# runtime (glibc natively, the MinGW-w64 runtime under Wine at 64-bit and at
# 53-bit x87 precision) against the correctly rounded values:
#   tools/math-accuracy.sh [--count N]
# Needs g++, i686-w64-mingw32-g++, wine and python3-mpmath.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/math-accuracy.XXXXXX")
trap 'rm -rf "$work"' EXIT

sources=("$root/tools/math_accuracy.cpp" "$root/eval/math_functions.cpp"
  "$root/eval/trig_reduction.cpp")
flags=(-std=c++20 -O2 -Wall -Wextra -ffp-contract=off -I"$root/eval")
g++ "${flags[@]}" "${sources[@]}" -o "$work/math_accuracy"
# The Windows build's code generation: SSE2 arithmetic, static runtime.
i686-w64-mingw32-g++ "${flags[@]}" -msse2 -mfpmath=sse -static \
  "${sources[@]}" -o "$work/math_accuracy.exe"

wine_run="$root/tools/wine-run.sh"
python3 "$root/tools/math_accuracy.py" "$@" \
  "glibc=$work/math_accuracy" \
  "mingw-x87-64=$wine_run $work/math_accuracy.exe" \
  "mingw-x87-53=$wine_run $work/math_accuracy.exe --x87-precision 53"
