#!/usr/bin/env bash
# Builds the Release benchmarks and runs them with repetitions:
#   tools/bench.sh [extra benchmark flags, e.g. --benchmark_filter=Sin]
# BUILD_DIR (default build) chooses the build directory.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build_dir=${BUILD_DIR:-build}

"$root/tools/setup.sh"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DKURVANA_BENCH=ON >/dev/null
cmake --build "$build_dir" -j "${JOBS:-2}" --target eval_bench
"$build_dir/bench/eval_bench" --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true "$@"
