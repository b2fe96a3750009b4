#!/usr/bin/env bash
# Makes the Wine prefix named by WINEPREFIX ready for Kurvana (32-bit):
# creates it when missing and applies the settings every run relies on.
# The tools call it through kv_prepare_prefix (tools/lib.sh).
#   - A crashing program ends with a backtrace instead of opening Wine's
#     crash dialog, which would wait for a click.
#   - Wine finds its own fonts (fonts-wine).  Debian's Wine looks for them
#     under a path it cannot open (Z:\usr\share\wine\../fonts), so without
#     this it lacks Marlett and draws the caption buttons as "0 1 r".
#   - The dialogs ask for "ＭＳ Ｐゴシック"; IPA P Gothic stands in for it,
#     without which Wine falls back to a wider font that cuts labels off.
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

wine_fonts=/usr/share/wine/fonts

[ -n "${WINEPREFIX:-}" ] || kv_die "WINEPREFIX names no prefix"
kv_wine_env "$WINEPREFIX"
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1

reg_add() { wine reg add "$@" /f >/dev/null 2>&1; }

reg_add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
[ -f "$wine_fonts/marlett.ttf" ] ||
  kv_die "no $wine_fonts/marlett.ttf: install fonts-wine (tools/setup.sh)"
reg_add 'HKCU\Software\Wine\Fonts' /v Path /t REG_SZ \
  /d "Z:${wine_fonts//\//\\}"
reg_add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' \
  /t REG_SZ /d 'IPAPGothic'
wineserver -w
