# shellcheck shell=bash
# Shared by the tool scripts; source it, do not run it:
#   . "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# It knows the build folders, configures them, starts a display, sets up
# Wine and its one prefix, waits for windows with a bound, and on exit ends
# exactly what the script started (by process id and by the script's own
# Wine prefix, never by name).
#
# BUILD_ROOT (default build/ in the source tree) holds every build folder,
# the Wine prefix and the logs.  JOBS (default 2) is the build parallelism;
# WAIT_SECONDS (default 60) bounds every wait for a window or a picture.

kv_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${BUILD_ROOT:-$kv_root/build}
mkdir -p "$BUILD_ROOT"
BUILD_ROOT=$(cd "$BUILD_ROOT" && pwd)
# Tests started by ctest (tools/wine-run.sh) see the same folder.
export BUILD_ROOT

kv_jobs=${JOBS:-2}
kv_wait_seconds=${WAIT_SECONDS:-60}
kv_native_dir="$BUILD_ROOT/native"
kv_win_dir="$BUILD_ROOT/win"
# The one Wine prefix: the program started by hand and ctest run by hand
# use it; scripts that need a clean state make a fresh one the same way.
kv_prefix="$BUILD_ROOT/wineprefix"

kv_script=$(basename "$0")
kv_tmp=""
kv_xvfb_pid=""
kv_pids=()
kv_prefixes=()

# --- messages --------------------------------------------------------------

kv_say() { printf '%s: %s\n' "$kv_script" "$*" >&2; }
kv_die() {
  kv_say "$@"
  exit 1
}

# kv_show_log FILE [LINES]: shows the end of a log after a failure.
kv_show_log() {
  printf -- '--- last lines of %s ---\n' "$1"
  tail -n "${2:-40}" "$1"
}

# --- checks that print one line each ---------------------------------------

kv_passed=0
kv_failed=0

# kv_check NAME COMMAND...: one result line; a failure shows COMMAND's
# output (needs kv_begin's scratch folder).
kv_check() {
  local name=$1
  shift
  if "$@" >"$kv_tmp/check.log" 2>&1; then
    echo "ok   $name"
    kv_passed=$((kv_passed + 1))
  else
    echo "FAIL $name"
    tail -n 15 "$kv_tmp/check.log" | sed 's/^/     /'
    kv_failed=$((kv_failed + 1))
  fi
}

# kv_check_summary: the closing line "N passed, N failed"; fails when a
# check did.
kv_check_summary() {
  echo "$kv_passed passed, $kv_failed failed"
  [ "$kv_failed" -eq 0 ]
}

# --- the script's own scratch folder and cleanup ---------------------------

# kv_begin: makes the scratch folder kv_tmp and arranges the cleanup.
kv_begin() {
  kv_tmp=$(mktemp -d "${TMPDIR:-/tmp}/kurvana-${kv_script%.sh}.XXXXXX")
  trap kv_cleanup EXIT
  trap 'exit 130' INT TERM
}

# kv_track PID: ends process PID when the script exits.
kv_track() { kv_pids+=("$1"); }

# kv_end PID...: ends those of the given processes that are still running
# children of this script (an ended one's number may belong to another).
kv_end() {
  local running pid
  running=$(jobs -pr)
  for pid in "$@"; do
    grep -qx "$pid" <<<"$running" || continue
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}

kv_cleanup() {
  local prefix
  # Everything below runs even when a step fails.
  set +e
  kv_end "${kv_pids[@]}"
  # Only this script's prefixes: their processes are all its own.
  for prefix in "${kv_prefixes[@]}"; do
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
    WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1
  done
  [ -z "$kv_xvfb_pid" ] || kv_end "$kv_xvfb_pid"
  [ -z "$kv_tmp" ] || rm -rf "$kv_tmp"
  return 0
}

# --- packages and builds ---------------------------------------------------

# kv_setup: installs what is missing (quick when nothing is).
kv_setup() { "$kv_root/tools/setup.sh"; }

# kv_configure DIR LOG CMAKE-ARGS...: (re)configures a Ninja build in DIR,
# its output in LOG; starts DIR over when another generator made it.
kv_configure() {
  local dir=$1 log=$2
  shift 2
  if [ -f "$dir/CMakeCache.txt" ] &&
    ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$dir/CMakeCache.txt"; then
    rm -rf "$dir"
  fi
  mkdir -p "$(dirname "$log")"
  if ! cmake -S "$kv_root" -B "$dir" -G Ninja "$@" >"$log" 2>&1; then
    echo "configure of $dir failed"
    kv_show_log "$log"
    return 1
  fi
}

# The one configuration of each shared folder, so that no two scripts
# reconfigure a folder back and forth.
kv_configure_native() {
  kv_configure "$kv_native_dir" "$1" -DCMAKE_BUILD_TYPE=Release \
    -DKURVANA_WERROR=ON -DKURVANA_BENCH=ON
}
kv_configure_win() {
  kv_configure "$kv_win_dir" "$1" \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release -DKURVANA_WERROR=ON
}

# kv_build DIR LOG [TARGET...]: builds (only stale work), output in LOG.
kv_build() {
  local dir=$1 log=$2 target targets=()
  shift 2
  for target in "$@"; do targets+=(--target "$target"); done
  if ! cmake --build "$dir" -j "$kv_jobs" "${targets[@]}" >"$log" 2>&1; then
    echo "build of $dir failed"
    grep -E 'error|FAILED' "$log" | head -n 40
    kv_show_log "$log" 60
    return 1
  fi
}

# kv_build_program TARGET: configures and builds one target of the cross
# build, logs in the scratch folder; prints its failure to stderr.
kv_build_program() {
  { kv_configure_win "$kv_tmp/configure.log" &&
    kv_build "$kv_win_dir" "$kv_tmp/build.log" "$1"; } >&2
}

# kv_cross_compile OUT SOURCE [FLAGS...]: builds a one-file Windows helper.
kv_cross_compile() {
  local out=$1 source=$2
  shift 2
  i686-w64-mingw32-g++ -std=c++20 -O2 -Wall -Wextra -Werror -static \
    -o "$out" "$source" "$@"
}

# --- display ---------------------------------------------------------------

kv_display_usable() { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }

# kv_start_display: starts a private Xvfb (1024x768, 24 bits) on a free
# display number and exports DISPLAY.
kv_start_display() {
  local file="$kv_tmp/display" waited=0
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
    3>"$file" >"$kv_tmp/xvfb.log" 2>&1 &
  kv_xvfb_pid=$!
  while [ ! -s "$file" ] && [ "$waited" -lt 100 ] &&
    kill -0 "$kv_xvfb_pid" 2>/dev/null; do
    sleep 0.1
    waited=$((waited + 1))
  done
  if [ ! -s "$file" ]; then
    echo "Xvfb did not start"
    kv_show_log "$kv_tmp/xvfb.log" 20
    return 1
  fi
  DISPLAY=":$(head -n 1 "$file")"
  export DISPLAY
}

# kv_use_display: keeps DISPLAY when it answers, else starts a private one.
kv_use_display() { kv_display_usable || kv_start_display; }

# --- Wine ------------------------------------------------------------------

# kv_wine_env PREFIX: the environment of every Wine run here: a 32-bit
# prefix, no debug output, and no downloads of the .NET and HTML runtimes
# when a prefix is made.
kv_wine_env() {
  export WINEPREFIX=$1 WINEARCH=win32 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# kv_locale LANG: makes LANG the only locale setting Wine sees (ja_JP.UTF-8
# gives programs the Japanese code page 932).
kv_locale() {
  export LANG=$1
  unset LC_ALL LC_CTYPE LC_MESSAGES LC_COLLATE LC_NUMERIC LC_TIME \
    LC_MONETARY
}

# kv_prepare_prefix [DIR]: makes DIR (default the one prefix) ready through
# tools/prepare-wine-prefix.sh, and again whenever that script changes.
# Callers at the same time wait for each other.
kv_prepare_prefix() {
  local prefix=${1:-$kv_prefix} stamp
  stamp=$(sha1sum <"$kv_root/tools/prepare-wine-prefix.sh")
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    [ "$(cat "$prefix/.kurvana-prepared" 2>/dev/null)" != "$stamp" ] ||
      exit 0
    WINEPREFIX=$prefix "$kv_root/tools/prepare-wine-prefix.sh" 9>&- &&
      echo "$stamp" >"$prefix/.kurvana-prepared"
  ) 9>"$prefix.lock"
}

# kv_own_prefix DIR: makes DIR the current prefix, one whose processes are
# all the script's own: they end with it.
kv_own_prefix() {
  kv_wine_env "$1"
  kv_prefixes+=("$1")
}

# kv_fresh_prefix: a new prefix in the scratch folder, prepared as the one
# prefix is, for a run that needs a clean state and ends its own processes.
kv_fresh_prefix() {
  kv_own_prefix "$kv_tmp/wineprefix"
  kv_prepare_prefix "$WINEPREFIX"
}

# --- waiting ---------------------------------------------------------------

# kv_wait_window TITLE [PID]: waits until a window whose title begins with
# TITLE is on the display, at most WAIT_SECONDS; gives up sooner when
# process PID ends.
kv_wait_window() {
  local title=$1 pid=${2:-} deadline=$((SECONDS + kv_wait_seconds))
  until xwininfo -root -tree 2>/dev/null | grep -qF "\"$title"; do
    if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then
      echo "the program ended before its window \"$title\" appeared"
      return 1
    fi
    if [ "$SECONDS" -ge "$deadline" ]; then
      echo "no window \"$title\" after $kv_wait_seconds s"
      return 1
    fi
    sleep 0.2
  done
}

# kv_shoot_still FILE: takes pictures of the whole display until two in a
# row show the same pixels (the program has finished drawing), at most
# WAIT_SECONDS, and keeps the last one in FILE.
kv_shoot_still() {
  local shot="$kv_tmp/still.png" previous="" current
  local deadline=$((SECONDS + kv_wait_seconds))
  while :; do
    import -window root "$shot" || return 1
    current=$(identify -format '%#' "$shot") || return 1
    if [ "$current" = "$previous" ]; then
      mv "$shot" "$1"
      return 0
    fi
    if [ "$SECONDS" -ge "$deadline" ]; then
      echo "the display kept changing for $kv_wait_seconds s"
      return 1
    fi
    previous=$current
    sleep 0.5
  done
}
