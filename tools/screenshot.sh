#!/usr/bin/env bash
# Takes a screenshot of Kurvana showing a document:
#   tools/screenshot.sh [document.kvn]      (default: examples/gallery.kvn)
# Installs what is missing, builds the program in the cross build
# (build/win), starts a private Xvfb and a fresh Wine prefix, runs the
# program in a 1024x768 virtual desktop, waits for its window and for the
# picture to settle, and saves docs/screenshot.png.
#
# Knobs: SCREENSHOT_OUT (default docs/screenshot.png), and those of
# tools/lib.sh (BUILD_ROOT, JOBS, WAIT_SECONDS).
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

out=${SCREENSHOT_OUT:-$kv_root/docs/screenshot.png}
document=${1:-$kv_root/examples/gallery.kvn}
[ -f "$document" ] || kv_die "no such file: $document"
document=$(realpath "$document")

kv_begin
kv_setup
kv_build_program kurvana || kv_die "building the plotter failed"
kv_start_display >&2 || kv_die "no display"
kv_locale ja_JP.UTF-8
kv_fresh_prefix || kv_die "preparing the Wine prefix failed"

# The program takes its whole command-line tail as the document path.
wine explorer /desktop=kurvana,1024x768 \
  "$(winepath -w "$kv_win_dir/bin/kurvana.exe")" "$(winepath -w "$document")" \
  >"$kv_tmp/wine.log" 2>&1 &
program_pid=$!
kv_track "$program_pid"
kv_wait_window "Kurvana - " "$program_pid" >&2 || {
  tail -n 20 "$kv_tmp/wine.log" >&2
  kv_die "the program did not show its window"
}
mkdir -p "$(dirname "$out")"
kv_shoot_still "$out" >&2 || kv_die "no still picture"
echo "screenshot.sh: wrote $out ($(basename "$document"))"
