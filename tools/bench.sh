#!/usr/bin/env bash
# Builds the Release benchmarks and runs them with repetitions:
#   tools/bench.sh [extra benchmark flags, e.g. --benchmark_filter=Sin]
# The build is build/native, configured as tools/test.sh configures it
# (BUILD_ROOT, default build, moves it).
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

kv_setup
log_dir="$BUILD_ROOT/bench-logs"
{ kv_configure_native "$log_dir/configure.log" &&
  kv_build "$kv_native_dir" "$log_dir/build.log" eval_bench; } >&2 ||
  kv_die "building the benchmarks failed"
"$kv_native_dir/bench/eval_bench" --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true "$@"
