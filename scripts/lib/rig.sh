# Shared steps of scripts/test and scripts/demo: build, a fresh Wine prefix, a virtual screen when
# there is none, and a wineserver that lives for the whole run. Source it; it defines functions
# only, plus the paths below.

RIG_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
RIG_BUILD=$RIG_ROOT/build
RIG_NATIVE=$RIG_BUILD/native
RIG_ARTIFACTS=$RIG_BUILD/artifacts
RIG_PREFIX64=$RIG_BUILD/wineprefix64

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

source "$RIG_ROOT/scripts/lib/prefix.sh"

rig_setup() { bash "$RIG_ROOT/scripts/setup"; }

rig_build() {
  rig_log "cross build (build/)"
  mkdir -p "$RIG_BUILD"
  cmake -S "$RIG_ROOT" -B "$RIG_BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
        >"$RIG_BUILD/configure.log" 2>&1 || { cat "$RIG_BUILD/configure.log" >&2; return 1; }
  cmake --build "$RIG_BUILD" -j2
}

rig_build_native() {
  rig_log "native unit tests (build/native)"
  cmake -S "$RIG_ROOT/tests/unit" -B "$RIG_NATIVE" >"$RIG_BUILD/native.configure.log" 2>&1 \
    || { cat "$RIG_BUILD/native.configure.log" >&2; return 1; }
  cmake --build "$RIG_NATIVE" -j2
}

# Wine settings for everything that follows; the prefix is the build's own.
rig_wine_env() {
  export WINEPREFIX=$RIG_BUILD/wineprefix
  export WINEARCH=win32
  export WINEDEBUG=-all
  # No Mono or Gecko install dialogs in a fresh prefix.
  export WINEDLLOVERRIDES="mscoree,mshtml="
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

# A fresh 32-bit prefix with the settings of prefix.sh (the stand-in panel library in build/bin;
# RIG_X11_MANAGED=Y for a real desktop's window manager). The 64-bit prefix of the tests that need
# a 64-bit system is removed too: scripts/lib/wine64-test-run makes it afresh on first use.
rig_prefix() {
  rig_log "fresh Wine prefix (build/wineprefix)"
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  if [ -d "$RIG_PREFIX64" ]; then
    WINEPREFIX=$RIG_PREFIX64 wineserver -k 2>/dev/null || true
    WINEPREFIX=$RIG_PREFIX64 wineserver -w 2>/dev/null || true
    rm -rf "$RIG_PREFIX64"
  fi
  export PANELCAST_WINE64_PREFIX=$RIG_PREFIX64
  # Its server, if a test started one, ends with the run.
  rig_on_exit "[ -d '$RIG_PREFIX64' ] && WINEPREFIX='$RIG_PREFIX64' wineserver -k 2>/dev/null"
  local start=$SECONDS
  # The server is kept alive for the whole run so that each test does not pay for a start; it
  # is started before wineboot, which would otherwise leave a short-lived one of its own.
  mkdir -p "$WINEPREFIX"
  wineserver -p
  rig_on_exit "WINEPREFIX='$WINEPREFIX' wineserver -k 2>/dev/null"
  wineboot -i >/dev/null 2>&1
  rig_prefix_settings "$RIG_BUILD/bin/DirectOutput.dll" "${RIG_X11_MANAGED:-N}" || return 1
  # From here on a stand-in setupapi.dll beside a program replaces Wine's own (Wine falls back
  # to its built-in one where there is none).
  export WINEDLLOVERRIDES="mscoree,mshtml=;setupapi=n,b"
  RIG_PREFIX_SECONDS=$((SECONDS - start))
  rig_log "prefix ready in ${RIG_PREFIX_SECONDS} s"
}

# Everything a Wine run needs, in order.
rig_wine_session() {
  rig_wine_env
  rig_display
  rig_display16
  rig_prefix
}
