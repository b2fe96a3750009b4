#!/usr/bin/env bash
# Installs what building and testing Kurvana needs on Debian 12: the native
# and MinGW-w64 toolchains, clang with libFuzzer, Wine (32-bit) with Xvfb,
# the Japanese locale and font, and the test and benchmark libraries.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

export DEBIAN_FRONTEND=noninteractive

PACKAGES=(
  g++ cmake ninja-build clang clang-format libclang-rt-14-dev
  g++-mingw-w64-i686 wine wine32:i386 fonts-wine xvfb locales
  fonts-ipafont-gothic nsis pkg-config python3
  libgtest-dev libbenchmark-dev libmuparser-dev valgrind imagemagick x11-utils
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo -n "$@"
  else
    echo "setup.sh: root is needed to run: $*" >&2
    return 1
  fi
}

missing_packages() {
  local package status
  for package in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null ||
      true)
    [ "$status" = installed ] || echo "$package"
  done
}

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup.sh: adding the i386 architecture"
  as_root dpkg --add-architecture i386
  need_update=1
fi

mapfile -t missing < <(missing_packages)
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup.sh: installing ${missing[*]}"
  need_update=1
fi
if [ "$need_update" -eq 1 ]; then
  as_root apt-get update -q
fi
# With their recommended packages, as the tests were made on.
if [ "${#missing[@]}" -gt 0 ]; then
  as_root apt-get install -y -q "${missing[@]}" \
    </dev/null
fi

# Wine gives a program the Japanese code page (932) only when the system
# has the ja_JP.UTF-8 locale; without it Wine silently falls back to 1252.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  echo "setup.sh: generating the ja_JP.UTF-8 locale"
  if grep -q '^# *ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    as_root sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' \
      /etc/locale.gen
  elif ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen
fi
