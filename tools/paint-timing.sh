#!/usr/bin/env bash
# Times Kurvana's repaints under Wine for a document:
#   tools/paint-timing.sh [document.kvn]     (default: examples/waves.kvn)
# Builds the cross build (build/win) when needed and a small timer program,
# starts Xvfb when there is no display, runs the program and prints the time of a scroll step, a full repaint and
# a recalculation.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build_dir=${BUILD_DIR:-$root/build/win}
document=$(realpath "${1:-examples/waves.kvn}")
xvfb_pid=""

export WINEPREFIX="$root/build/timing-prefix" WINEARCH=win32 WINEDEBUG=-all
export LANG=ja_JP.UTF-8
unset LC_ALL LC_CTYPE LC_MESSAGES

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

"$root/tools/setup.sh" >/dev/null
cmake -S "$root" -B "$build_dir" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  >/dev/null
cmake --build "$build_dir" --target kurvana >/dev/null
i686-w64-mingw32-g++ -O2 -static -o "$build_dir/bin/paint_timing.exe" \
  tools/paint_timing.cpp

if [ -z "${DISPLAY:-}" ]; then
  Xvfb :97 -screen 0 1024x768x24 >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=:97
  sleep 1
fi
"$root/tools/prepare-wine-prefix.sh"

# The timer must share the program's desktop, so no virtual desktop here.
wine "$build_dir/bin/kurvana.exe" "Z:${document//\//\\}" >/dev/null 2>&1 &
wine "$build_dir/bin/paint_timing.exe"
