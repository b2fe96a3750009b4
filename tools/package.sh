#!/usr/bin/env bash
# Builds the Windows packages:
#   tools/package.sh
# Installs what is missing, cross-builds the program and the library
# (Release, without the tests) in build/package/win and runs CPack, which
# leaves in build/package
#   kurvana-<version>-setup.exe   the installer (NSIS)
#   kurvana-<version>-win32.zip   the same files, for use without setup
#
# Knobs: PACKAGE_DIR (default build/package); PACKAGE_FROM, a cross build
# folder to package instead (e.g. build/win, which the tests build; it is
# brought up to date, not reconfigured); and those of tools/lib.sh
# (BUILD_ROOT, JOBS).
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

out=${PACKAGE_DIR:-$BUILD_ROOT/package}
mkdir -p "$out"
out=$(cd "$out" && pwd)

kv_begin
kv_setup
if [ -n "${PACKAGE_FROM:-}" ]; then
  build=$(realpath "$PACKAGE_FROM")
  [ -f "$build/CPackConfig.cmake" ] ||
    kv_die "$build is no configured cross build"
  kv_build "$build" "$kv_tmp/build.log" kurvana eval ||
    kv_die "build failed"
else
  build="$out/win"
  kv_configure "$build" "$kv_tmp/configure.log" \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
    -DKURVANA_WERROR=ON -DKURVANA_TESTS=OFF || kv_die "configure failed"
  kv_build "$build" "$kv_tmp/build.log" || kv_die "build failed"
fi

rm -f "$out"/kurvana-*-setup.exe "$out"/kurvana-*-win32.zip
if ! (cd "$build" && cpack -B "$out") >"$kv_tmp/cpack.log" 2>&1; then
  kv_show_log "$kv_tmp/cpack.log" >&2
  kv_die "cpack failed"
fi
rm -rf "$out/_CPack_Packages"
for package in "$out"/kurvana-*-setup.exe "$out"/kurvana-*-win32.zip; do
  echo "package.sh: wrote $package"
done
