#!/usr/bin/env bash
# tools/wine-at-dpi.sh DPI PROGRAM [ARGUMENTS...]: runs a Windows program under Wine with the display at
# DPI pixels per inch. Wine takes the DPI from the prefix's registry when its server starts, so the
# program gets a prefix of its own beside the usual one ($WINEPREFIX-dpiDPI, a copy of it with
# LogPixels set, made once) and a server of its own for as long as it runs. DISPLAY is used as it is.
set -euo pipefail
dpi=$1
shift
base=${WINEPREFIX:-$HOME/.wine}
prefix="$base-dpi$dpi"
export WINEDEBUG=${WINEDEBUG:--all} WINEARCH=win32 WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree=;winedbg.exe=d"}
if [ ! -f "$prefix/.scrutel-dpi-ready" ]; then
  if [ ! -f "$base/.scrutel-ready" ]; then echo "wine-at-dpi: $base is not a ready Wine prefix" >&2; exit 1; fi
  rm -rf "$prefix"
  # A copy costs a second where a new prefix costs a quarter of a minute.
  cp -a "$base" "$prefix"
  WINEPREFIX=$prefix wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  touch "$prefix/.scrutel-dpi-ready"
fi
export WINEPREFIX=$prefix
wineserver -p >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT
# Wine's services start now, on /dev/null, so that they do not keep the caller's output open.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
wine "$@"
