#!/usr/bin/env bash
# Tests the eval SDK as a caller meets it:
#   tools/test-sdk.sh NATIVE_BUILD_DIR WINDOWS_BUILD_DIR
# Installs each built folder into a temporary prefix with cmake --install,
# checks the installed files, builds examples/sdk/table.c against each with
# CMake's find_package(KurvanaEval) (natively, and for Windows with the
# MinGW-w64 cross compiler) and natively with pkg-config, runs the programs
# (the Windows one under Wine, in a fresh prefix) and the Python example
# against the native library.  Prints one line per check and ends with
# "N passed, N failed"; exits 0 only when every check passed.
set -uo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

[ "$#" -eq 2 ] ||
  kv_die "usage: test-sdk.sh NATIVE_BUILD_DIR WINDOWS_BUILD_DIR"
native_build=$(realpath "$1")
win_build=$(realpath "$2")
example="$kv_root/examples/sdk"
warnings="-Wall -Wextra -Werror"

# What every build of the example must print: the expression, the exit
# status, and one line of its output.
cases=(
  "x^2-1|0| -1.50  1.25"
  "log(x)|0| -2.00  error 16: log 0 は定義できません。"
  "1+*2|1|error 7 at position 1: 演算子が不正です。"
)

# expect STATUS LINE COMMAND...: COMMAND ends with STATUS and prints LINE
# (on either stream; Windows line ends are dropped).
expect() {
  local want_status=$1 want_line=$2 status
  shift 2
  "$@" >"$kv_tmp/run.out" 2>&1
  status=$?
  tr -d '\r' <"$kv_tmp/run.out" | tee "$kv_tmp/run.txt"
  [ "$status" -eq "$want_status" ] ||
    { echo "exit status $status, expected $want_status"; return 1; }
  grep -qxF -- "$want_line" "$kv_tmp/run.txt" ||
    { echo "no line \"$want_line\""; return 1; }
}

# example_checks LABEL COMMAND...: every case through COMMAND.
example_checks() {
  local label=$1 entry text status line
  shift
  for entry in "${cases[@]}"; do
    IFS='|' read -r text status line <<<"$entry"
    kv_check "$label: table \"$text\"" expect "$status" "$line" "$@" "$text"
  done
}

# files_present PREFIX FILE...: each FILE exists below PREFIX.
files_present() {
  local prefix=$1 file missing=0
  shift
  for file in "$@"; do
    [ -e "$prefix/$file" ] || { echo "missing $file"; missing=1; }
  done
  return "$missing"
}

sdk_install() { cmake --install "$1" --prefix "$2"; }

# build_example DIR CMAKE-ARGS...: configures and builds the example.
build_example() {
  local dir=$1
  shift
  cmake -S "$example" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    "-DCMAKE_C_FLAGS=$warnings" "$@" && cmake --build "$dir"
}

has_soname() { objdump -p "$1" | grep -qE "SONAME +$2\$"; }

native_checks() {
  local prefix="$kv_tmp/native-sdk" lib="$kv_tmp/native-sdk/lib"
  kv_check "native: cmake --install" sdk_install "$native_build" "$prefix"
  kv_check "native: installed files" files_present "$prefix" include/eval.h \
    lib/libeval.so lib/cmake/KurvanaEval/KurvanaEvalConfig.cmake \
    lib/cmake/KurvanaEval/KurvanaEvalConfigVersion.cmake \
    lib/pkgconfig/kurvana-eval.pc
  kv_check "native: SONAME libeval.so.1" has_soname "$lib/libeval.so" libeval.so.1

  kv_check "native: build with find_package" build_example \
    "$kv_tmp/native-example" "-DCMAKE_PREFIX_PATH=$prefix"
  example_checks "native" "$kv_tmp/native-example/table"

  # shellcheck disable=SC2046,SC2086  # the flags are words
  kv_check "native: build with pkg-config" cc $warnings -o "$kv_tmp/table-pc" \
    "$example/table.c" $(PKG_CONFIG_LIBDIR="$lib/pkgconfig" \
      pkg-config --cflags --libs kurvana-eval)
  example_checks "pkg-config" env "LD_LIBRARY_PATH=$lib" "$kv_tmp/table-pc"
  example_checks "python" env "EVAL_LIBRARY=$lib/libeval.so.1" \
    python3 "$example/table.py"
}

windows_checks() {
  local prefix="$kv_tmp/win-sdk" build="$kv_tmp/win-example"
  kv_check "windows: cmake --install" sdk_install "$win_build" "$prefix"
  kv_check "windows: installed files" files_present "$prefix" eval.dll \
    include/eval.h lib/libeval.dll.a \
    lib/cmake/KurvanaEval/KurvanaEvalConfig.cmake \
    lib/pkgconfig/kurvana-eval.pc
  kv_check "windows: build with find_package" build_example "$build" \
    "-DCMAKE_TOOLCHAIN_FILE=$kv_root/cmake/mingw-i686.cmake" \
    "-DCMAKE_PREFIX_PATH=$prefix"
  kv_own_prefix "$kv_tmp/wineprefix"
  example_checks "windows (Wine)" wine "$build/table.exe"
}

kv_begin
kv_locale ja_JP.UTF-8
native_checks
windows_checks
kv_check_summary
