#!/usr/bin/env bash
# Measures how many small faults the native suites catch: mutation testing
# of the portable code (the expression library, the document model, the
# file codec and the drawing logic) with a fixed seed and sample, so that
# two runs on the same sources test the same mutants.  Run by hand; it
# takes about ten minutes on two cores.
#   tools/mutate.sh [SAMPLE [SEED]]     (defaults 300 and 1)
# The report lands in build/mutate/report.md.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
sample=${1:-300}
seed=${2:-1}
build=build/mutate

"$root/tools/setup.sh"
# Without link-time optimisation every mutant relinks quickly and an
# unchanged object file is recognised as an equivalent mutant.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKURVANA_IPO=OFF \
  >/dev/null
cmake --build "$build" >/dev/null
exec python3 "$root/../shared/tools/mutate.py" --build-dir "$build" \
  --sample "$sample" --seed "$seed" --report "$build/report.md" \
  --exclude 'app/*/win32/*' --exclude 'app/file/*_win32.cpp' \
  --exclude 'eval/dllmain.cpp' \
  eval app/model app/file app/render
