#!/usr/bin/env bash
# Prints the finder's figures: move handler time over two windows and within one, frame paints and
# ReadProcessMemory calls (under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${SCRUTEL_BUILD:-$PWD/build}
bash tools/install-deps.sh
cmake --preset windows -B "$build/windows" >/dev/null
cmake --build "$build/windows" --target finder_bench
. tools/wine-env.sh
wine_env_start "$build"
trap wine_env_stop EXIT
wine "$build/windows/bin/finder_bench.exe"
