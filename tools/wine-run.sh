#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest (the cross build's emulator)
# and returns the program's exit code.
#
# The program sees the Japanese code page (LANG=ja_JP.UTF-8) unless LANG is
# set, so a test can ask for another one with ENVIRONMENT LANG=C.UTF-8.  LANG
# is the only locale knob: any LC_* setting is dropped.  The prefix is
# $WINEPREFIX (tools/test.sh makes one per run); without it a prefix under
# build/ is made once and reused.
set -euo pipefail

if [ "$#" -eq 0 ]; then
  echo "usage: wine-run.sh program.exe [arguments...]" >&2
  exit 2
fi

export LANG="${LANG:-ja_JP.UTF-8}"
unset LC_ALL LC_CTYPE LC_MESSAGES LC_COLLATE LC_NUMERIC LC_TIME LC_MONETARY
export WINEDEBUG=-all
export WINEARCH="${WINEARCH:-win32}"
# No downloads of the .NET and HTML runtimes when a prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

if [ -z "${WINEPREFIX:-}" ]; then
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  mkdir -p "$root/build"
  export WINEPREFIX="$root/build/wineprefix"
  # Tests may start in parallel: only one of them makes the prefix.
  exec 9>"$root/build/wineprefix.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/.kurvana-ready" ]; then
    "$root/tools/prepare-wine-prefix.sh"
    touch "$WINEPREFIX/.kurvana-ready"
  fi
  flock -u 9
  exec 9>&-
fi

exec wine "$@"
