# Sourced by the tools' scripts from the top folder: the build folder, a Wine prefix under it, an X
# display and a kept wineserver. Usage: . tools/wine-env.sh; wine_env_start "$build"; ...; wine_env_stop
# SCRUTEL_BUILD names the build folder (default: build).
build=${SCRUTEL_BUILD:-$PWD/build}
case "$build" in /*) ;; *) build=$PWD/$build ;; esac

wine_env_start() {
  local build=$1
  export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEARCH=win32
  export WINEDLLOVERRIDES="mscoree=;winedbg.exe=d"
  SCRUTEL_XVFB_PID=
  if [ -z "${DISPLAY:-}" ]; then
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    SCRUTEL_XVFB_PID=$!
    export DISPLAY=":$n"
    local waited=0
    until xdpyinfo >/dev/null 2>&1; do
      sleep 0.1; waited=$((waited + 1))
      if [ "$waited" -gt 100 ]; then echo "wine-env: Xvfb did not start on $DISPLAY" >&2; return 1; fi
    done
  fi
  if [ ! -f "$WINEPREFIX/.scrutel-ready" ]; then
    rm -rf "$WINEPREFIX"; mkdir -p "$build"
    # mshtml stays enabled here: a prefix made without it lacks the HKCR entries of .txt and .exe.
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.scrutel-ready"
  fi
  # Keeps the server between programs; a server already kept for this prefix is fine too.
  wineserver -p >/dev/null 2>&1 || true
  # Start Wine's own services now, on /dev/null: started later by a test program they would inherit
  # the test runner's output pipe and keep it open for as long as the server lives.
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

wine_env_stop() {
  wineserver -k 2>/dev/null || true
  if [ -n "${SCRUTEL_XVFB_PID:-}" ]; then kill "$SCRUTEL_XVFB_PID" 2>/dev/null || true; fi
}
