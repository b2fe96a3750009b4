#!/usr/bin/env bash
# Takes a screenshot of Kurvana showing a document:
#   tools/screenshot.sh [document.kvn]      (default: examples/gallery.kvn)
# Builds the cross build (build/win) when needed, starts Xvfb when there is
# no usable display, runs the program under Wine in a 1024x768 virtual
# desktop, waits, saves docs/screenshot.png and ends the program.
#
# Knobs: SCREENSHOT_WAIT (seconds before the shot, default 6),
# SCREENSHOT_OUT (default docs/screenshot.png), BUILD_DIR (the cross build,
# default build/win as tools/test.sh makes it), JOBS (default 2).
# The program runs in a Wine prefix of its own (build/screenshot-prefix),
# so that ending it ends nothing else.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

build_dir=${BUILD_DIR:-$root/build/win}
out=${SCREENSHOT_OUT:-$root/docs/screenshot.png}
wait_seconds=${SCREENSHOT_WAIT:-6}
jobs=${JOBS:-2}
work_dir=$(mktemp -d "${TMPDIR:-/tmp}/kurvana-shot.XXXXXX")
xvfb_pid=""
program_pid=""

export WINEPREFIX="$root/build/screenshot-prefix"
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
unset LC_ALL LC_CTYPE LC_MESSAGES

cleanup() {
  if [ -n "$program_pid" ]; then
    # Ends the processes of this script's own prefix: the desktop and the
    # program started below.
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

# Writes a document with y = sin(x) in red over the default view, for when
# no example is at hand. Layout: 112-byte header, one 1120-byte record.
write_fixture() {
  local file=$1
  {
    printf 'KVDF\001\000\001\000'
    printf '\366\377\377\377\012\000\000\000\366\377\377\377\012\000\000\000'
    printf 'd\000\000\000\003\000\002\000\000\000\000\000\002\000\000\000'
    printf '\200\200\200\000\001\000\000\000'
    head -c 64 /dev/zero
    printf '\001\000\000\000\001\000\000\000'
    printf 's\000i\000n\000(\000x\000)\000'
    head -c $((1032 - 8 - 12)) /dev/zero
    printf '\000\000\000\000\000\000\044\300\000\000\000\000\000\000\044\100'
    printf '\377\000\000\000\003\000\000\000'
    head -c 64 /dev/zero
  } >"$file"
}

# --- the document ---------------------------------------------------------
if [ "$#" -ge 1 ]; then
  document=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  [ -f "$document" ] || { echo "screenshot.sh: no such file: $1" >&2; exit 1; }
elif [ -f "$root/examples/gallery.kvn" ]; then
  document="$root/examples/gallery.kvn"
else
  document="$work_dir/sine.kvn"
  write_fixture "$document"
fi

# --- the program ----------------------------------------------------------
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build_dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release -DKURVANA_WERROR=ON >"$work_dir/configure.log" 2>&1 ||
    { tail -n 40 "$work_dir/configure.log" >&2; exit 1; }
fi
cmake --build "$build_dir" -j "$jobs" --target kurvana >"$work_dir/build.log" 2>&1 ||
  { tail -n 40 "$work_dir/build.log" >&2; exit 1; }
program="$build_dir/bin/kurvana.exe"

# --- display and prefix ---------------------------------------------------
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
    3>"$work_dir/display" >"$work_dir/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work_dir/display" ] && break
    sleep 0.1
  done
  [ -s "$work_dir/display" ] || { echo "screenshot.sh: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n 1 "$work_dir/display")"
fi
"$root/tools/prepare-wine-prefix.sh"

# --- the shot -------------------------------------------------------------
# The program takes its whole command-line tail as the document path.
wine explorer /desktop=kurvana,1024x768 "$(winepath -w "$program")" \
  "$(winepath -w "$document")" >"$work_dir/wine.log" 2>&1 &
program_pid=$!
sleep "$wait_seconds"
if ! kill -0 "$program_pid" 2>/dev/null; then
  echo "screenshot.sh: the program ended early" >&2
  tail -n 20 "$work_dir/wine.log" >&2
  exit 1
fi
mkdir -p "$(dirname "$out")"
import -window root "$out"
echo "screenshot.sh: wrote $out ($(basename "$document"))"
