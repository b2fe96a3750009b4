#!/usr/bin/env bash
# Takes a screenshot of each of Kurvana's three dialogs:
#   tools/dialog-screenshots.sh [document.kvn]   (default: examples/gallery.kvn)
# Builds the program in the cross build when needed, starts a private Xvfb,
# runs the program under Wine in a 1024x768 virtual desktop, opens the
# function list, the definition of the list's second function and the
# graph settings in turn through tools/dialog-shot-helper.cpp (compiled
# here), and writes docs/dialog-list.png, docs/dialog-definition.png and
# docs/dialog-settings.png, each cropped to its dialog.
#
# Knobs: SHOTS_BUILD (cross build folder, default build/win), SHOTS_PREFIX
# (Wine prefix of its own, default build/dialog-shots-prefix), SHOTS_OUT
# (default docs), SHOTS_WAIT (seconds for the program to start, default 5),
# JOBS (default 2).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

build_dir=${SHOTS_BUILD:-$root/build/win}
out_dir=${SHOTS_OUT:-$root/docs}
wait_seconds=${SHOTS_WAIT:-5}
jobs=${JOBS:-2}
work_dir=$(mktemp -d "${TMPDIR:-/tmp}/kurvana-dialogs.XXXXXX")
xvfb_pid=""
program_pid=""

export WINEPREFIX=${SHOTS_PREFIX:-$root/build/dialog-shots-prefix}
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
unset LC_ALL LC_CTYPE LC_MESSAGES

cleanup() {
  if [ -n "$program_pid" ]; then
    # Ends the processes of this script's own prefix: the desktop, the
    # program and the helper.
    wineserver -k >/dev/null 2>&1 || true
    wait "$program_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work_dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
  echo "dialog-screenshots.sh: $*" >&2
  exit 1
}

# --- the document -----------------------------------------------------------
document=${1:-$root/examples/gallery.kvn}
[ -f "$document" ] || fail "no such file: $document"
document=$(cd "$(dirname "$document")" && pwd)/$(basename "$document")

# --- the program and the helper ---------------------------------------------
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build_dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release >"$work_dir/configure.log" 2>&1 ||
    { tail -n 40 "$work_dir/configure.log" >&2; exit 1; }
fi
cmake --build "$build_dir" -j "$jobs" --target kurvana >"$work_dir/build.log" 2>&1 ||
  { tail -n 40 "$work_dir/build.log" >&2; exit 1; }
program="$build_dir/bin/kurvana.exe"
helper="$work_dir/dialog-shot-helper.exe"
i686-w64-mingw32-g++ -std=c++20 -O1 -Wall -Wextra -municode -static \
  -o "$helper" "$root/tools/dialog-shot-helper.cpp" -luser32 ||
  fail "cannot build the helper"

# --- display and prefix -----------------------------------------------------
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
  3>"$work_dir/display" >"$work_dir/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work_dir/display" ] && break
  sleep 0.1
done
[ -s "$work_dir/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work_dir/display")"

"$root/tools/prepare-wine-prefix.sh"

# --- the shots --------------------------------------------------------------
desktop() {
  wine explorer /desktop=kurvana,1024x768 "$@"
}

desktop "$(winepath -w "$program")" "$(winepath -w "$document")" \
  >"$work_dir/wine.log" 2>&1 &
program_pid=$!
sleep "$wait_seconds"
kill -0 "$program_pid" 2>/dev/null || fail "the program ended early"

# Runs the helper on the program's desktop; prints what it wrote.
helper_run() {
  local result="$work_dir/$1.txt"
  rm -f "$result"
  desktop "$(winepath -w "$helper")" "$1" "$(winepath -w "$result")" \
    >>"$work_dir/wine.log" 2>&1 || true
  for _ in $(seq 100); do
    [ -f "$result" ] && break
    sleep 0.1
  done
  [ -f "$result" ] || fail "the helper did not answer ($1)"
  tr -d '\r' <"$result"
}

shoot() {
  local name=$1 what=$2 geometry
  geometry=$(helper_run "$what")
  [[ "$geometry" =~ ^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+$ ]] ||
    fail "no $what dialog ($geometry)"
  import -window root "$work_dir/screen.png"
  convert "$work_dir/screen.png" -crop "$geometry" +repage \
    "$out_dir/dialog-$name.png"
  echo "dialog-screenshots.sh: wrote $out_dir/dialog-$name.png ($geometry)"
}

mkdir -p "$out_dir"
shoot list list
shoot definition definition
[ "$(helper_run close)" = ok ] || fail "the dialogs did not close"
shoot settings settings
[ "$(helper_run close)" = ok ] || fail "the dialogs did not close"
