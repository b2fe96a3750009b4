#!/usr/bin/env bash
# Runs every test of Kurvana and prints a summary:
#   native   Release build with warnings as errors (benchmarks included),
#            and its ctest suites
#   asan     the same suites built with AddressSanitizer and UBSan
#   valgrind memcheck over the native test programs
#   fuzz     the libFuzzer targets (clang), each for FUZZ_SECONDS
#   windows  the MinGW-w64 i686 cross build, its ctest suites under Wine
#   packages the SDK installed and used natively and for Windows, and the
#            setup and zip installed and removed under Wine
# Arguments pick stages by those names (default: all); the set-up always
# runs.  tools/fuzz.sh runs the fuzzers alone for longer.
# Builds live in build/<name> and only stale work is redone.  Exits non-zero
# when anything fails.
#
# Knobs: BUILD_ROOT (default build), FUZZ_SECONDS (default 30), JOBS
# (default 2), VALGRIND_GTEST_FILTER (default: all tests but the very slow
# ones named *Million*).
set -uo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$kv_root" || exit 1

FUZZ_SECONDS=${FUZZ_SECONDS:-30}
VALGRIND_GTEST_FILTER=${VALGRIND_GTEST_FILTER:--*Million*}

log_dir="$BUILD_ROOT/test-logs"
wineboot_pid=""

stage_names=()
stage_results=()
stage_times=()
stage_notes=()
total_passed=0
total_failed=0
stage_counted=0
stage_note=""
overall=0

# --- helpers ---------------------------------------------------------------

note() { printf '%s\n' "$*"; }

show_log() { kv_show_log "$1" "${2:-80}"; }

# Adds a result to the totals of the stage in progress.
count() {
  total_passed=$((total_passed + $1))
  total_failed=$((total_failed + $2))
  stage_counted=1
}

# configure DIR LOGNAME CMAKE-ARGS...: (re)configures a Ninja build.
configure() {
  local dir=$1 name=$2
  shift 2
  kv_configure "$dir" "$log_dir/$name-configure.log" "$@"
}

# build DIR LOGNAME [TARGET...]
build() {
  local dir=$1 name=$2
  shift 2
  kv_build "$dir" "$log_dir/$name-build.log" "$@" || return 1
  note "built $dir ($(grep -c '^\[' "$log_dir/$name-build.log") steps)"
}

# run_ctest DIR LOGNAME [CTEST-ARGS...]: runs the suites and counts them.
run_ctest() {
  local dir=$1 name=$2 log="$log_dir/$2-ctest.log" status summary
  shift 2
  ctest --test-dir "$dir" -j "$kv_jobs" --output-on-failure --no-tests=error \
    --timeout 900 "$@" >"$log" 2>&1
  status=$?
  # Passing tests make one line each; show everything else.
  grep -vE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed +[0-9.]+ sec$|^ *Start +[0-9]+:|^Internal ctest changing' "$log"
  summary=$(sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$log" | tail -n 1)
  if [ -n "$summary" ]; then
    set -- $summary
    count $(($2 - $1)) "$1"
    stage_note="$2 tests"
  fi
  return "$status"
}

# run_stage NAME FUNCTION: runs one stage, timing it and recording its result.
run_stage() {
  local name=$1 start=$SECONDS result
  shift
  note ""
  note "=== $name ==="
  stage_counted=0
  stage_note=""
  if "$@"; then
    result=PASS
  else
    result=FAIL
    overall=1
    # A stage that failed before running its tests counts as one failure.
    [ "$stage_counted" -eq 1 ] || count 0 1
  fi
  stage_names+=("$name")
  stage_results+=("$result")
  stage_times+=($((SECONDS - start)))
  stage_notes+=("$stage_note")
}

# --- display and Wine prefix -----------------------------------------------

start_display() {
  if kv_display_usable; then
    note "using DISPLAY=$DISPLAY"
    return 0
  fi
  kv_start_display || return 1
  note "started Xvfb on DISPLAY=$DISPLAY"
}

# Makes the run's fresh Wine prefix in the background while the native
# stages build; wait_wine_prefix collects it before the Windows tests.
start_wine_prefix() {
  kv_own_prefix "$kv_tmp/wineprefix"
  kv_prepare_prefix "$WINEPREFIX" >"$log_dir/wineboot.log" 2>&1 </dev/null &
  wineboot_pid=$!
  kv_track "$wineboot_pid"
}

wait_wine_prefix() {
  local status=0
  if [ -n "$wineboot_pid" ]; then
    wait "$wineboot_pid" || status=$?
    wineboot_pid=""
  fi
  if [ "$status" -ne 0 ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
    note "making the Wine prefix failed"
    show_log "$log_dir/wineboot.log" 20
    return 1
  fi
}

# --- stages ----------------------------------------------------------------

stage_setup() {
  kv_setup || return 1
  start_display || return 1
  start_wine_prefix
}

stage_native() {
  # The benchmarks are built too, so that they keep compiling cleanly.
  kv_configure_native "$log_dir/native-configure.log" || return 1
  build "$kv_native_dir" native || return 1
  run_ctest "$kv_native_dir" native
}

stage_asan() {
  configure "$BUILD_ROOT/asan" asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKURVANA_SANITIZE=address,undefined || return 1
  build "$BUILD_ROOT/asan" asan || return 1
  ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest "$BUILD_ROOT/asan" asan
}

# Prints the distinct test programs of a build, one per line.
test_programs() {
  cmake -DBUILD_DIR="$1" -P "$kv_root/tools/test-programs.cmake"
}

stage_valgrind() {
  local programs program name passed=0 failed=0
  programs=$(test_programs "$kv_native_dir") || return 1
  if [ -z "$programs" ]; then
    note "no test programs in $kv_native_dir"
    return 1
  fi
  while IFS= read -r program; do
    name=$(basename "$program")
    # The tests that starve the library of memory replace operator new and
    # delete in their program: valgrind must leave those to them.
    if GTEST_FILTER="$VALGRIND_GTEST_FILTER" valgrind --tool=memcheck -q \
      --soname-synonyms=somalloc=nouserintercepts \
      --error-exitcode=99 --leak-check=full \
      --show-leak-kinds=definite,indirect,possible \
      --errors-for-leak-kinds=definite,indirect,possible \
      "$program" >"$log_dir/valgrind-$name.log" 2>&1; then
      note "ok   $name ($(sed -n 's/^\[  PASSED  \] *\([0-9]* tests\{0,1\}\).*/\1/p' "$log_dir/valgrind-$name.log"))"
      passed=$((passed + 1))
    else
      note "FAIL $name"
      show_log "$log_dir/valgrind-$name.log" 60
      failed=$((failed + 1))
    fi
  done <<<"$programs"
  count "$passed" "$failed"
  stage_note="$((passed + failed)) programs"
  [ "$failed" -eq 0 ]
}

# fuzz_start NAME SEEDS ARGS...: starts a fuzzer for FUZZ_SECONDS on its
# growing corpus and its seeds, in the background ($! is its pid), so that
# the two targets run side by side, one per core.
fuzz_start() {
  local name=$1 seeds=$2
  shift 2
  local fuzz_dir=$BUILD_ROOT/fuzz
  local corpus=$fuzz_dir/corpus/$name artifacts=$fuzz_dir/artifacts/$name-
  mkdir -p "$corpus" "$fuzz_dir/artifacts"
  note "fuzzing $name for ${FUZZ_SECONDS} s"
  ASAN_OPTIONS=detect_leaks=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$fuzz_dir/tests/fuzz/${name}_fuzz" -max_total_time="$FUZZ_SECONDS" \
    "$@" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$artifacts" "$corpus" "$seeds" \
    >"$log_dir/fuzz-$name.log" 2>&1 &
}

# fuzz_finish NAME PID: waits for a fuzzer and counts its outcome.
fuzz_finish() {
  local name=$1 fuzz_dir=$BUILD_ROOT/fuzz
  if wait "$2"; then
    grep -E '^stat::number_of_executed_units|^Done ' "$log_dir/fuzz-$name.log" |
      sed "s/^/$name: /"
    note "$name: $(ls "$fuzz_dir/corpus/$name" | wc -l) inputs in the corpus"
    count 1 0
  else
    note "the $name fuzzer failed; reproducer in $fuzz_dir/artifacts/"
    show_log "$log_dir/fuzz-$name.log" 80
    count 0 1
    return 1
  fi
}

stage_fuzz() {
  configure "$BUILD_ROOT/fuzz" fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DKURVANA_FUZZ=ON -DKURVANA_SANITIZE=address,undefined || return 1
  build "$BUILD_ROOT/fuzz" fuzz eval_fuzz document_fuzz || return 1
  # The example documents are the document fuzzer's seeds.
  local document_seeds=$BUILD_ROOT/fuzz/seeds/document
  mkdir -p "$document_seeds" && cp examples/*.kvn "$document_seeds/"
  fuzz_start eval tests/fuzz/corpus -dict=tests/fuzz/eval.dict -max_len=512
  local eval_pid=$!
  fuzz_start document "$document_seeds" -max_len=4096
  local document_pid=$! ok=0
  fuzz_finish eval "$eval_pid" || ok=1
  fuzz_finish document "$document_pid" || ok=1
  return $ok
}

stage_windows() {
  kv_configure_win "$log_dir/win-configure.log" || return 1
  build "$kv_win_dir" win || return 1
  wait_wine_prefix || return 1
  run_ctest "$kv_win_dir" win
}

# run_checks LOGNAME COMMAND...: runs a script that ends with the line
# "N passed, N failed" and counts what it says.
run_checks() {
  local name=$1 log="$log_dir/$1.log" status summary
  shift
  "$@" >"$log" 2>&1
  status=$?
  summary=$(sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$log" |
    tail -n 1)
  if [ -z "$summary" ]; then
    show_log "$log" 40
    count 0 1
    return 1
  fi
  set -- $summary
  count "$1" "$2"
  note "$name: $1 passed, $2 failed"
  [ "$status" -eq 0 ] || show_log "$log" 40
  return "$status"
}

# The SDK as callers install it, and the setup and zip as users get them,
# made from the cross build of the Windows stage.
stage_packages() {
  local ok=0
  run_checks sdk "$kv_root/tools/test-sdk.sh" "$kv_native_dir" \
    "$kv_win_dir" || ok=1
  if PACKAGE_FROM="$kv_win_dir" "$kv_root/tools/package.sh" \
    >"$log_dir/package.log" 2>&1; then
    run_checks installer "$kv_root/tools/test-installer.sh" \
      "$BUILD_ROOT/package" || ok=1
  else
    note "packaging failed"
    show_log "$log_dir/package.log" 40
    count 0 1
    ok=1
  fi
  return $ok
}

# --- main ------------------------------------------------------------------

mkdir -p "$log_dir"
kv_begin

run_stage "setup" stage_setup
if [ "$overall" -ne 0 ]; then
  note "setup failed; nothing was tested"
  note "0 passed, 1 failed"
  exit 1
fi
# Arguments name the stages to run after the set-up (default: all).
wanted=${*:-native asan valgrind fuzz windows packages}
wants() { grep -qw -- "$1" <<<"$wanted"; }
wants native && run_stage "native Release" stage_native
wants asan && run_stage "native ASan+UBSan" stage_asan
wants valgrind && run_stage "valgrind memcheck" stage_valgrind
wants fuzz && run_stage "libFuzzer" stage_fuzz
wants windows && run_stage "Windows (Wine)" stage_windows
wants packages && run_stage "SDK and installer" stage_packages

note ""
note "=== summary (logs in ${log_dir#"$kv_root"/}) ==="
for i in "${!stage_names[@]}"; do
  printf '%-20s %-4s %5d s  %s\n' "${stage_names[$i]}" "${stage_results[$i]}" \
    "${stage_times[$i]}" "${stage_notes[$i]}"
done
printf '%-20s %-4s %5d s\n' "total" "$([ "$overall" -eq 0 ] && echo PASS || echo FAIL)" "$SECONDS"
note "$total_passed passed, $total_failed failed"
exit "$overall"
