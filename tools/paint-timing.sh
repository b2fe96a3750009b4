#!/usr/bin/env bash
# Times Kurvana's repaints under Wine for a document:
#   tools/paint-timing.sh [document.kvn]     (default: examples/waves.kvn)
# Installs what is missing, builds the program in the cross build
# (build/win) and a small timer program, uses the display named by DISPLAY
# (a private Xvfb when there is none) and a fresh Wine prefix, runs the
# program and prints the time of a scroll step, a full repaint and a
# recalculation.
#
# Knobs: those of tools/lib.sh (BUILD_ROOT, JOBS, WAIT_SECONDS: the bound
# of the program's start-up and of each measurement).
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

document=${1:-$kv_root/examples/waves.kvn}
[ -f "$document" ] || kv_die "no such file: $document"
document=$(realpath "$document")

kv_begin
kv_setup
kv_build_program kurvana || kv_die "building the plotter failed"
timer="$kv_tmp/paint_timing.exe"
kv_cross_compile "$timer" "$kv_root/tools/paint_timing.cpp" ||
  kv_die "cannot build the timer"
kv_use_display >&2 || kv_die "no display"
kv_locale ja_JP.UTF-8
kv_fresh_prefix || kv_die "preparing the Wine prefix failed"

# The timer must share the program's desktop, so no virtual desktop here.
wine "$kv_win_dir/bin/kurvana.exe" "Z:${document//\//\\}" \
  >"$kv_tmp/wine.log" 2>&1 &
program_pid=$!
kv_track "$program_pid"
kv_wait_window "Kurvana - " "$program_pid" >&2 || {
  tail -n 20 "$kv_tmp/wine.log" >&2
  kv_die "the program did not show its window"
}
# The timer waits for the first paint itself; each of its steps is bounded.
timeout $((4 * kv_wait_seconds)) wine "$timer"
