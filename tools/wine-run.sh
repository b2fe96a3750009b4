#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest (the cross build's emulator)
# and returns the program's exit code.
#
# The program sees the Japanese code page (LANG=ja_JP.UTF-8) unless LANG is
# set, so a test can ask for another one with ENVIRONMENT LANG=C.UTF-8.  LANG
# is the only locale knob: any LC_* setting is dropped.  The prefix is
# $WINEPREFIX (tools/test.sh makes a fresh one per run); without it, the one
# prefix under the build root, prepared on first use.
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [ "$#" -eq 0 ]; then
  echo "usage: wine-run.sh program.exe [arguments...]" >&2
  exit 2
fi

kv_locale "${LANG:-ja_JP.UTF-8}"
if [ -n "${WINEPREFIX:-}" ]; then
  kv_wine_env "$WINEPREFIX"
else
  kv_wine_env "$kv_prefix"
  kv_prepare_prefix
fi

exec wine "$@"
