#!/usr/bin/env bash
# Prints the figures of display scaling and the about box: the main window's start-up time and working
# set at 96 and at 144 pixels per inch (the latter in the prefix of tools/wine-at-dpi.sh), and the
# processor time of the about box's fading logo.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
bash tools/install-deps.sh
cmake --preset windows -B "$build/windows" >/dev/null
cmake --build "$build/windows" --target foundation_bench about_box_bench
trap wine_env_stop EXIT
wine_env_start "$build"
bin="$build/windows/bin"
echo "== 96 DPI"
wine "$bin/foundation_bench.exe" | grep -A1 "Start-up"
wine "$bin/about_box_bench.exe"
echo "== 144 DPI"
bash tools/wine-at-dpi.sh 144 "$bin/foundation_bench.exe" | grep -A1 "Start-up"
bash tools/wine-at-dpi.sh 144 "$bin/about_box_bench.exe"
