#!/usr/bin/env bash
# usage: parity_check.sh NATIVE_PROGRAM WINDOWS_PROGRAM WINE_RUNNER
# The Windows eval_parity must answer as the native one, bit for bit, at
# 64-bit and at 53-bit x87 precision.
set -uo pipefail
native=$(mktemp) && trap 'rm -f "$native" "$native.diff"' EXIT
"$1" >"$native" || { echo "no native answers: build $1 first"; exit 1; }
status=0
for bits in 64 53; do
  if "$3" "$2" --x87-precision "$bits" |
    diff --strip-trailing-cr -U1 "$native" - >"$native.diff"; then
    echo "x87 at $bits bits: $(wc -l <"$native") answers, all identical"
  else
    echo "x87 at $bits bits: the answers differ:" && head -n 60 "$native.diff"
    status=1
  fi
done
exit "$status"
