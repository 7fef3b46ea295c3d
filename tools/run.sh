#!/usr/bin/env bash
# Builds Scrutel.exe and starts it under Wine on the user's display; with no display it starts
# Xvfb, starts Scrutel there and says how to look at it. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh

bash tools/install-deps.sh
cmake --preset windows -B "$build/windows" >/dev/null
cmake --build "$build/windows" --target Scrutel

had_display=${DISPLAY:-}
trap wine_env_stop EXIT
wine_env_start "$build"
if [ -z "$had_display" ]; then
  echo "Scrutel runs on the virtual display $DISPLAY (no display was set)."
  echo "See it with:  DISPLAY=$DISPLAY import -window root scrutel.png   (or connect a VNC server such as x11vnc to $DISPLAY)"
  echo "Close it with Escape in its window, or Ctrl+C here."
fi
wine "$build/windows/bin/Scrutel.exe"
