#!/usr/bin/env bash
# Makes the Wine prefix named by WINEPREFIX ready for Kurvana (32-bit):
# creates it when missing and applies the settings every run relies on.
#   - A crashing program ends with a backtrace instead of opening Wine's
#     crash dialog, which would wait for a click.
#   - The dialogs ask for "ＭＳ Ｐゴシック"; IPA P Gothic stands in for it,
#     without which Wine falls back to a wider font that cuts labels off.
set -euo pipefail
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
  /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' \
  /t REG_SZ /d 'IPAPGothic' /f >/dev/null 2>&1
wineserver -w
