#!/usr/bin/env bash
# Runs the Kurvana plotter under Wine, optionally opening a document:
#   tools/run.sh [document.kvn]
# Installs what is missing, builds the Windows program in build/win (only
# stale work) and starts it in the Japanese locale on the display named by
# DISPLAY, in the one Wine prefix build/wineprefix, prepared on first use.
# BUILD_ROOT (default build) moves both.
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

kv_setup

document=""
if [ "$#" -ge 1 ]; then
  [ -f "$1" ] || kv_die "no such document: $1"
  document=$(realpath "$1")
fi

kv_display_usable ||
  kv_die "no display: set DISPLAY to a running X server" \
    "(tools/screenshot.sh takes a picture without one)."

log_dir="$BUILD_ROOT/run-logs"
{ kv_configure_win "$log_dir/configure.log" &&
  kv_build "$kv_win_dir" "$log_dir/build.log" kurvana; } >&2 ||
  kv_die "building the plotter failed"

# Wine shows the Unix root as drive Z:.
arguments=()
[ -n "$document" ] && arguments+=("Z:${document//\//\\}")
# Without a window manager the windows would have no frames: give them a
# virtual desktop of their own.
launcher=()
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  launcher=(explorer "/desktop=kurvana,1024x768")
fi
LANG=ja_JP.UTF-8 exec "$kv_root/tools/wine-run.sh" "${launcher[@]}" \
  "$kv_win_dir/bin/kurvana.exe" "${arguments[@]}"
