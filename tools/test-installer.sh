#!/usr/bin/env bash
# Tests the Windows packages as a user meets them:
#   tools/test-installer.sh PACKAGE_DIR     (what tools/package.sh made)
# Checks that the zip holds the program, its library, the examples, the
# read-me and the SDK; then, in a fresh Wine prefix on a private display,
# installs silently (setup.exe /S) into the default folder, whose path has
# a blank, checks the files, the Start-menu shortcut, the uninstall entry
# and the quoted open command, opens a document whose path has a blank
# through the shell's open verb and waits for the program's window, and
# uninstalls silently, after which nothing of it may remain.  Prints one
# line per check and ends with "N passed, N failed"; exits 0 only when
# every check passed.
set -uo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

[ "$#" -eq 1 ] || kv_die "usage: test-installer.sh PACKAGE_DIR"
packages=$(realpath "$1")

install_dir='C:\Program Files\Kurvana'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kurvana'
command_key='HKCR\KurvanaFile\shell\open\command'
# Every registry key the installed program owns, removed by the uninstaller.
product_keys=("$uninstall_key" 'HKLM\Software\Kurvana' 'HKCR\.kvn'
  'HKCR\KurvanaFile')
program_files=(kurvana.exe eval.dll readme.txt Uninstall.exe
  examples/sine.kvn examples/gallery.kvn)
zip_files=(kurvana.exe eval.dll readme.txt examples/sine.kvn include/eval.h
  lib/libeval.dll.a lib/cmake/KurvanaEval/KurvanaEvalConfig.cmake
  lib/pkgconfig/kurvana-eval.pc examples/sdk/table.c)

# one_package PATTERN: the single file in the package folder that matches.
one_package() {
  local matches
  matches=$(find "$packages" -maxdepth 1 -name "$1")
  [ "$(wc -l <<<"$matches")" -eq 1 ] && [ -n "$matches" ] &&
    echo "$matches"
}

zip_holds() {
  python3 - "$1" "${zip_files[@]}" <<'EOF'
import sys, zipfile
names = {n.split("/", 1)[1] for n in zipfile.ZipFile(sys.argv[1]).namelist()}
missing = [f for f in sys.argv[2:] if f not in names]
print("\n".join(f"missing {f}" for f in missing))
sys.exit(1 if missing else 0)
EOF
}

# run_and_wait COMMAND...: runs a Windows program and waits until every
# process of the prefix has ended (an uninstaller runs on as a copy).
run_and_wait() {
  local status
  timeout "$kv_wait_seconds" wine "$@"
  status=$?
  timeout "$kv_wait_seconds" wineserver -w && return "$status"
}

files_installed() {
  local dir file missing=0
  dir=$(winepath -u "$install_dir")
  for file in "${program_files[@]}"; do
    [ -f "$dir/$file" ] || { echo "missing $dir/$file"; missing=1; }
  done
  # Notepad tells UTF-8 by the byte-order mark.
  [ "$(head -c 3 "$dir/readme.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
    { echo "readme.txt has no byte-order mark"; missing=1; }
  return "$missing"
}

# The shortcuts of an installation for all users.
start_menu_folder() {
  local programs="ProgramData/Microsoft/Windows/Start Menu/Programs"
  echo "$WINEPREFIX/drive_c/$programs/Kurvana"
}

shortcut_present() { ls -l "$(start_menu_folder)/Kurvana.lnk"; }

# registry_has KEY [REG-QUERY-ARGS...] TEXT: the query shows TEXT (compared
# byte for byte: wine reg prints the default value's name in code page 932).
registry_has() {
  local key=$1 text=${*: -1}
  wine reg query "$key" "${@:2:$#-2}" >"$kv_tmp/reg.out" 2>&1
  tr -d '\r' <"$kv_tmp/reg.out"
  LC_ALL=C grep -qF -- "$text" "$kv_tmp/reg.out"
}

# opens_document PATH: the shell's open verb on PATH shows the program's
# window titled with the document's name.
opens_document() {
  wine start /unix "$1" >"$kv_tmp/start.log" 2>&1 || return 1
  kv_wait_window "Kurvana - [$(basename "$1")]" || return 1
  # Ends the program (this prefix's processes are all the script's own).
  wineserver -k
  wineserver -w
}

nothing_left() {
  local key left=0 dir
  dir=$(winepath -u "$install_dir")
  [ ! -e "$dir" ] || { echo "left: $dir"; ls -R "$dir"; left=1; }
  [ ! -e "$(start_menu_folder)" ] ||
    { echo "left: $(start_menu_folder)"; left=1; }
  for key in "${product_keys[@]}"; do
    if wine reg query "$key" >/dev/null 2>&1; then
      echo "left: $key"
      left=1
    fi
  done
  return "$left"
}

kv_begin
setup=$(one_package 'kurvana-*-setup.exe') ||
  kv_die "no single kurvana-*-setup.exe in $packages"
zip=$(one_package 'kurvana-*-win32.zip') ||
  kv_die "no single kurvana-*-win32.zip in $packages"
kv_check "zip holds the program, examples, read-me and SDK" zip_holds "$zip"

kv_start_display >&2 || kv_die "no display"
kv_locale ja_JP.UTF-8
kv_fresh_prefix || kv_die "preparing the Wine prefix failed"

kv_check "silent install (/S)" run_and_wait "$setup" /S
kv_check "files in $install_dir" files_installed
kv_check "Start-menu shortcut" shortcut_present
kv_check "uninstall entry" registry_has "$uninstall_key" /v UninstallString \
  "\"$install_dir\\Uninstall.exe\""
kv_check "open command quotes the program path" registry_has "$command_key" \
  /ve "\"$install_dir\\kurvana.exe\" %1"

document="$kv_tmp/my documents/sine wave.kvn"
mkdir -p "$(dirname "$document")"
cp "$kv_root/examples/sine.kvn" "$document"
kv_check "opening \"my documents/sine wave.kvn\" shows its window" \
  opens_document "$document"

kv_check "silent uninstall (/S)" \
  run_and_wait "$(winepath -u "$install_dir")/Uninstall.exe" /S
kv_check "uninstall removes files, shortcut, entry and association" nothing_left

kv_check_summary
