# Shared steps of scripts/test and scripts/demo: build, a fresh Wine prefix, a virtual screen when
# there is none, and a wineserver that lives for the whole run. Source it; it defines functions
# only, plus the paths below.

RIG_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
RIG_BUILD=$RIG_ROOT/build
RIG_NATIVE=$RIG_BUILD/native
RIG_ARTIFACTS=$RIG_BUILD/artifacts

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

# Starts Xvfb on a free display when there is no DISPLAY, and stops it at exit.
rig_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local fdfile pid
  fdfile=$(mktemp)
  # -displayfd lets the server pick a free display and tells us which.
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  pid=$!
  rig_on_exit "kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -f '$fdfile'"
  local i
  for i in $(seq 100); do
    if [ -s "$fdfile" ]; then break; fi
    kill -0 "$pid" 2>/dev/null || { echo "Xvfb did not start" >&2; return 1; }
    sleep 0.1
  done
  [ -s "$fdfile" ] || { echo "Xvfb gave no display within 10 s" >&2; return 1; }
  export DISPLAY=":$(head -n1 "$fdfile")"
  rig_log "Xvfb on $DISPLAY"
}

# A fresh 32-bit prefix: unmanaged windows (no 2 s per DestroyWindow without a window manager;
# RIG_X11_MANAGED=Y lets a real desktop's window manager frame them) and the panel library's
# registry path pointing at the stand-in in build/bin.
rig_prefix() {
  rig_log "fresh Wine prefix (build/wineprefix)"
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  local start=$SECONDS
  # The server is kept alive for the whole run so that each test does not pay for a start; it
  # is started before wineboot, which would otherwise leave a short-lived one of its own.
  mkdir -p "$WINEPREFIX"
  wineserver -p
  rig_on_exit "WINEPREFIX='$WINEPREFIX' wineserver -k 2>/dev/null"
  wineboot -i >/dev/null 2>&1
  local dll regfile
  dll=$(winepath -w "$RIG_BUILD/bin/DirectOutput.dll" 2>/dev/null)
  regfile=$WINEPREFIX/panelcast-rig.reg
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="%s"\r\n\r\n' \
           "${RIG_X11_MANAGED:-N}"
    printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zivovi\\DirectOutput]\r\n"DirectOutput"="%s"\r\n' \
           "${dll//\\/\\\\}"
  } >"$regfile"
  wine regedit /S "$(winepath -w "$regfile")" >/dev/null 2>&1
  local got
  got=$(wine reg query 'HKLM\SOFTWARE\Zivovi\DirectOutput' /v DirectOutput 2>/dev/null | tr -d '\r')
  case "$got" in
    *"$dll"*) ;;
    *) echo "registry set-up failed: $got" >&2; return 1 ;;
  esac
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
  rig_prefix
}
