#!/usr/bin/env bash
# Takes a screenshot of each of Kurvana's three dialogs:
#   tools/dialog-screenshots.sh [document.kvn]   (default: examples/gallery.kvn)
# Installs what is missing, builds the program in the cross build
# (build/win), starts a private Xvfb and a fresh Wine prefix, runs the
# program in a 1024x768 virtual desktop, opens the function list, the
# definition of the list's second function and the graph settings in turn
# through tools/dialog-shot-helper.cpp (compiled here), and writes
# docs/dialog-list.png, docs/dialog-definition.png and
# docs/dialog-settings.png, each cropped to its dialog.
#
# Knobs: SHOTS_OUT (default docs), and those of tools/lib.sh (BUILD_ROOT,
# JOBS, WAIT_SECONDS).
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

out_dir=${SHOTS_OUT:-$kv_root/docs}
document=${1:-$kv_root/examples/gallery.kvn}
[ -f "$document" ] || kv_die "no such file: $document"
document=$(realpath "$document")

kv_begin
kv_setup
kv_build_program kurvana || kv_die "building the plotter failed"
helper="$kv_tmp/dialog-shot-helper.exe"
kv_cross_compile "$helper" "$kv_root/tools/dialog-shot-helper.cpp" \
  -municode -luser32 || kv_die "cannot build the helper"
kv_start_display >&2 || kv_die "no display"
kv_locale ja_JP.UTF-8
kv_fresh_prefix || kv_die "preparing the Wine prefix failed"

# Programs started on the same named desktop share it.
desktop() {
  wine explorer /desktop=kurvana,1024x768 "$@"
}

desktop "$(winepath -w "$kv_win_dir/bin/kurvana.exe")" \
  "$(winepath -w "$document")" >"$kv_tmp/wine.log" 2>&1 &
program_pid=$!
kv_track "$program_pid"
kv_wait_window "Kurvana - " "$program_pid" >&2 || {
  tail -n 20 "$kv_tmp/wine.log" >&2
  kv_die "the program did not show its window"
}

# helper_run COMMAND: runs the helper on the program's desktop, which keeps
# no standard output, and prints what it wrote to its result file.
helper_run() {
  local result="$kv_tmp/$1.txt" deadline=$((SECONDS + kv_wait_seconds))
  rm -f "$result"
  desktop "$(winepath -w "$helper")" "$1" "$(winepath -w "$result")" \
    >>"$kv_tmp/wine.log" 2>&1 || true
  until [ -f "$result" ]; do
    [ "$SECONDS" -lt "$deadline" ] || kv_die "the helper did not answer ($1)"
    sleep 0.1
  done
  tr -d '\r' <"$result"
}

shoot() {
  local name=$1 what=$2 geometry
  geometry=$(helper_run "$what")
  [[ "$geometry" =~ ^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+$ ]] ||
    kv_die "no $what dialog ($geometry)"
  import -window root "$kv_tmp/screen.png"
  convert "$kv_tmp/screen.png" -crop "$geometry" +repage \
    "$out_dir/dialog-$name.png"
  echo "dialog-screenshots.sh: wrote $out_dir/dialog-$name.png ($geometry)"
}

mkdir -p "$out_dir"
shoot list list
shoot definition definition
[ "$(helper_run close)" = ok ] || kv_die "the dialogs did not close"
shoot settings settings
[ "$(helper_run close)" = ok ] || kv_die "the dialogs did not close"
