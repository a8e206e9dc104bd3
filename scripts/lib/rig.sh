# Shared steps of scripts/test and scripts/demo: which build runs here, the builds, fresh Wine
# prefixes, a virtual screen when there is none, and wineservers that live for the whole run.
# Source it; it defines functions only, plus the paths below.
#
# Two builds of one source: build/ is the 32-bit program users get (i686), build/x64 the same
# program for 64-bit Windows (x86_64). Where this machine runs 32-bit code the end-to-end tests
# run on the i686 build in a 32-bit prefix, and the 64-bit program's own cases in a 64-bit one;
# where it cannot, they run on the x86_64 build in a 64-bit prefix, and the 32-bit program is
# checked without running it. PANELCAST_TEST_ARCH=x86_64 asks for the second kind anywhere.

RIG_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
RIG_BUILD=$RIG_ROOT/build
RIG_BUILD64=$RIG_BUILD/x64
RIG_NATIVE=$RIG_BUILD/native
RIG_ARTIFACTS=$RIG_BUILD/artifacts
RIG_PREFIX32=$RIG_BUILD/wineprefix
RIG_PREFIX64=$RIG_BUILD/wineprefix64
RIG_WINE32=/usr/lib/wine/wine
RIG_WINE64=/usr/lib/wine/wine64

# Commands run at exit, last registered first; a failing step still stops what earlier steps started.
RIG_CLEANUPS=()
rig_on_exit() { RIG_CLEANUPS=("$1" "${RIG_CLEANUPS[@]}"); }
rig_run_cleanups() {
  local c
  for c in "${RIG_CLEANUPS[@]}"; do eval "$c" || true; done
  RIG_CLEANUPS=()
}
trap rig_run_cleanups EXIT
trap 'exit 130' INT TERM

rig_log() { echo "== $*" >&2; }

# rig_step <what> <command...>: runs one step; when it fails, says which step and with what status.
rig_step() {
  local what=$1 status=0 start=$SECONDS
  shift
  rig_log "$what"
  "$@" || status=$?
  [ "$status" -eq 0 ] || echo "step failed: $what (status $status)" >&2
  [ "$status" -eq 0 ] && rig_log "$what: $((SECONDS - start)) s"
  return "$status"
}

# rig_step_behind <log> <what> <command...>: the same step in the background at the lowest
# priority, so that it takes only what the foreground (the end-to-end tests) leaves of the
# processors; its output goes to <log>. rig_step_join waits for it and says how it went.
rig_step_behind() {
  local log=$1 what=$2
  shift 2
  rig_log "$what (in the background, output in ${log#$RIG_ROOT/})"
  ( renice -n 19 -p "$BASHPID" >/dev/null; "$@" >"$log" 2>&1 ) &
  RIG_BEHIND_PID=$! RIG_BEHIND_LOG=$log RIG_BEHIND_WHAT=$what RIG_BEHIND_START=$SECONDS
  rig_on_exit "kill $RIG_BEHIND_PID 2>/dev/null"
}
rig_step_join() {
  local status=0
  wait "$RIG_BEHIND_PID" || status=$?
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$RIG_BEHIND_LOG" >&2
    echo "step failed: $RIG_BEHIND_WHAT (status $status; whole output in ${RIG_BEHIND_LOG#$RIG_ROOT/})" >&2
    return "$status"
  fi
  rig_log "$RIG_BEHIND_WHAT: done $((SECONDS - RIG_BEHIND_START)) s after it started"
}

source "$RIG_ROOT/scripts/lib/prefix.sh"

# Installs what is missing; its output goes to build/setup.log and is shown only when it fails.
rig_setup() {
  mkdir -p "$RIG_BUILD"
  bash "$RIG_ROOT/scripts/setup" >"$RIG_BUILD/setup.log" 2>&1 && return 0
  tail -n 30 "$RIG_BUILD/setup.log" >&2
  echo "(the whole output of scripts/setup is in build/setup.log)" >&2
  return 1
}

# Sets RIG_ARCH (i686 or x86_64), the build the end-to-end tests run on, and RIG_ARCH_WHY.
# Fails with a message when PANELCAST_TEST_ARCH asks for what this machine cannot do.
rig_choose_arch() {
  local runs32=1 why32
  why32=$("$RIG_WINE32" --version 2>&1 >/dev/null) || runs32=
  # bash's own words, without the script line it puts before them
  why32=$(sed -E 's/^.*line [0-9]+: //' <<<"${why32:-no 32-bit Wine loader at $RIG_WINE32}")
  case "${PANELCAST_TEST_ARCH:-}" in
    "")
      if [ -n "$runs32" ]; then
        RIG_ARCH=i686 RIG_ARCH_WHY="this machine runs 32-bit code"
      else
        RIG_ARCH=x86_64
        RIG_ARCH_WHY="this machine cannot run 32-bit code ($why32)"
      fi ;;
    x86_64) RIG_ARCH=x86_64 RIG_ARCH_WHY="PANELCAST_TEST_ARCH=x86_64 asks for it" ;;
    i686)
      if [ -z "$runs32" ]; then
        echo "PANELCAST_TEST_ARCH=i686, but this machine cannot run 32-bit code ($why32): here" \
             "the end-to-end tests can run only on the x86_64 build (leave PANELCAST_TEST_ARCH" \
             "unset or set it to x86_64)" >&2
        return 1
      fi
      RIG_ARCH=i686 RIG_ARCH_WHY="PANELCAST_TEST_ARCH=i686 asks for it" ;;
    *)
      echo "PANELCAST_TEST_ARCH=$PANELCAST_TEST_ARCH: the builds are i686 and x86_64" >&2
      return 1 ;;
  esac
  if [ ! -x "$RIG_WINE64" ] && [ "$RIG_ARCH" = x86_64 ]; then
    echo "no 64-bit Wine loader at $RIG_WINE64 (Debian package wine64)" >&2
    return 1
  fi
}

# The folder of the build the end-to-end tests run on.
rig_e2e_build() { [ "$RIG_ARCH" = i686 ] && echo "$RIG_BUILD" || echo "$RIG_BUILD64"; }

# rig_build <i686|x86_64> [target... | @label]: configures build/ or build/x64 and builds
# everything, or only the targets named (and what they depend on); @label names the targets that
# the tests of a CTest label need, as the configuration lists them in <label>-targets.txt.
rig_build() {
  local arch=$1 dir=$RIG_BUILD
  shift
  [ "$arch" = x86_64 ] && dir=$RIG_BUILD64
  mkdir -p "$dir"
  cmake -S "$RIG_ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$RIG_ROOT/cmake/toolchain-mingw-$arch.cmake" \
        >"$dir/configure.log" 2>&1 || { cat "$dir/configure.log" >&2; return 1; }
  if [ $# -eq 0 ]; then
    cmake --build "$dir" -j2
  elif [ "${1:0:1}" = @ ]; then
    # shellcheck disable=SC2046
    cmake --build "$dir" -j2 --target $(cat "$dir/${1:1}-targets.txt")
  else
    cmake --build "$dir" -j2 --target "$@"
  fi
}

rig_build_native() {
  cmake -S "$RIG_ROOT/tests/unit" -B "$RIG_NATIVE" >"$RIG_BUILD/native.configure.log" 2>&1 \
    || { cat "$RIG_BUILD/native.configure.log" >&2; return 1; }
  cmake --build "$RIG_NATIVE" -j2
}

# rig_use_prefix <32|64>: Wine settings for everything that follows, in the build's own prefix
# of that bitness, run by the loader of that bitness.
rig_use_prefix() {
  if [ "$1" = 64 ]; then
    export WINEPREFIX=$RIG_PREFIX64 WINEARCH=win64 PANELCAST_WINE=$RIG_WINE64
    # Test programs that start a Unix program (another X screen) start it through this loader.
    export WINELOADER=$RIG_WINE64
  else
    export WINEPREFIX=$RIG_PREFIX32 WINEARCH=win32 PANELCAST_WINE=$RIG_WINE32
    unset WINELOADER
  fi
  export WINEDEBUG=-all
  # No Mono or Gecko install dialogs in a fresh prefix; from the prefix's first boot on, a
  # stand-in setupapi.dll beside a program replaces Wine's own (Wine falls back to its built-in
  # one where there is none).
  export WINEDLLOVERRIDES="mscoree,mshtml=;setupapi=n,b"
  # The 32-bit program's cases on a 64-bit system find the 64-bit prefix here.
  export PANELCAST_WINE64_PREFIX=$RIG_PREFIX64
  mkdir -p "$RIG_ARTIFACTS"
  export PANELCAST_ARTIFACTS=$RIG_ARTIFACTS
}

# Starts an Xvfb of the given depth on a free display, stopped at exit; sets RIG_XVFB_DISPLAY.
rig_start_xvfb() {
  local depth=$1 fdfile pid i
  fdfile=$(mktemp)
  # -displayfd lets the server pick a free display and tells us which.
  Xvfb -displayfd 3 -screen 0 "1920x1080x$depth" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  pid=$!
  rig_on_exit "kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -f '$fdfile'"
  for i in $(seq 100); do
    if [ -s "$fdfile" ]; then break; fi
    kill -0 "$pid" 2>/dev/null || { echo "Xvfb (depth $depth) did not start" >&2; return 1; }
    sleep 0.1
  done
  [ -s "$fdfile" ] || { echo "Xvfb (depth $depth) gave no display within 10 s" >&2; return 1; }
  RIG_XVFB_DISPLAY=":$(head -n1 "$fdfile")"
}

# The main screen: Xvfb at depth 24 (a 32-bit desktop for Wine) when there is no DISPLAY.
rig_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  rig_start_xvfb 24 || return 1
  export DISPLAY=$RIG_XVFB_DISPLAY
  rig_log "Xvfb on $DISPLAY"
}

# A second screen at depth 16 for the tests of other desktop depths: a program started with
# DISPLAY=$PANELCAST_DISPLAY16 gets a 16-bit desktop while sharing the prefix (and the
# wineserver) with the tests.
rig_display16() {
  rig_start_xvfb 16 || return 1
  export PANELCAST_DISPLAY16=$RIG_XVFB_DISPLAY
  rig_log "16-bit screen on $PANELCAST_DISPLAY16"
}

# rig_make_prefix <32|64>: a fresh prefix of that bitness with the settings of prefix.sh (the
# stand-in panel libraries of both builds; RIG_X11_MANAGED=Y for a real desktop's window
# manager), marked ready for scripts/lib/wine64-test-run. Its server is kept alive until the run
# ends, so that each test does not pay for a start; it is started before wineboot, which would
# otherwise leave a short-lived one of its own.
rig_make_prefix() (
  rig_use_prefix "$1"
  # The paths are written whether or not that build is there yet (it may be building still).
  local views=("32=$RIG_BUILD/bin/DirectOutput.dll") log=$WINEPREFIX.boot.log
  [ "$1" = 64 ] && views+=("64=$RIG_BUILD64/bin/DirectOutput.dll")
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  mkdir -p "$WINEPREFIX"
  wineserver -p
  "$PANELCAST_WINE" wineboot -i >"$log" 2>&1 ||
    { echo "wineboot failed in $WINEPREFIX:" >&2; tail -n 20 "$log" >&2; return 1; }
  rig_prefix_settings "${RIG_X11_MANAGED:-N}" "${views[@]}" || return 1
  touch "$WINEPREFIX/.panelcast-ready"
)

# The prefixes a test run needs, made side by side: the 32-bit one where the i686 build is tested,
# and always the 64-bit one (the 64-bit program's cases, and the 32-bit program's on a 64-bit
# system). With "own", only the one of the end-to-end build (the demo).
rig_prefixes() {
  local start=$SECONDS pids=() kinds=(64) pid status=0
  [ "$RIG_ARCH" = i686 ] && kinds=(32 64)
  [ "$RIG_ARCH" = i686 ] && [ "${1:-}" = own ] && kinds=(32)
  rig_on_exit "WINEPREFIX='$RIG_PREFIX32' wineserver -k 2>/dev/null"
  rig_on_exit "WINEPREFIX='$RIG_PREFIX64' wineserver -k 2>/dev/null"
  [ "$RIG_ARCH" = i686 ] || rm -rf "$RIG_PREFIX32"   # no stale prefix of another run
  for kind in "${kinds[@]}"; do
    rig_make_prefix "$kind" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
  RIG_PREFIX_SECONDS=$((SECONDS - start))
  [ "$status" -eq 0 ] && rig_log "prefixes (${kinds[*]}-bit) ready in ${RIG_PREFIX_SECONDS} s"
  return "$status"
}

# Everything a Wine run needs, in order; ends in the prefix of the end-to-end build. With "own",
# one screen and one prefix (the demo).
rig_wine_session() {
  rig_display || return 1
  if [ "${1:-}" != own ]; then rig_display16 || return 1; fi
  rig_prefixes "${1:-}" || return 1
  if [ "$RIG_ARCH" = i686 ]; then rig_use_prefix 32; else rig_use_prefix 64; fi
}
