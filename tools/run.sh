#!/usr/bin/env bash
# Runs the Kurvana plotter under Wine, optionally opening a document:
#   tools/run.sh [document.kvn]
# Installs what is missing, builds the Windows program in build/win (only
# stale work) and starts it in the Japanese locale on the display named by
# DISPLAY.  The Wine prefix is build/wineprefix, made on first use.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build_dir="$root/build/win"

"$root/tools/setup.sh"

if [ ! -f "$root/app/shell/CMakeLists.txt" ]; then
  echo "run.sh: the Kurvana plotter is not built yet." >&2
  exit 1
fi

document=""
if [ "$#" -ge 1 ]; then
  if [ ! -f "$1" ]; then
    echo "run.sh: no such document: $1" >&2
    exit 1
  fi
  document=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: no display: set DISPLAY to a running X server" \
    "(tools/screenshot.sh takes a picture without one)." >&2
  exit 1
fi

log="$root/build/run.log"
mkdir -p "$root/build"
{
  cmake -S "$root" -B "$build_dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release -DKURVANA_WERROR=ON &&
    cmake --build "$build_dir" -j "${JOBS:-2}" --target kurvana
} >"$log" 2>&1 || {
  tail -n 40 "$log" >&2
  echo "run.sh: building the plotter failed (full log: $log)" >&2
  exit 1
}

# Wine shows the Unix root as drive Z:.
arguments=()
[ -n "$document" ] && arguments+=("Z:${document//\//\\}")
# Without a window manager the windows would have no frames: give them a
# virtual desktop of their own.
launcher=()
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  launcher=(explorer /desktop=kurvana,1024x768)
fi
LANG=ja_JP.UTF-8 exec "$root/tools/wine-run.sh" "${launcher[@]}" \
  "$build_dir/bin/kurvana.exe" "${arguments[@]}"
