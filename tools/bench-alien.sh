#!/usr/bin/env bash
# Prints the main window's figures: ReadProcessMemory calls and lookup time over 1,000 windowless children (under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
bash tools/install-deps.sh
cmake --preset windows -B "$build/windows" >/dev/null
cmake --build "$build/windows" --target alien_bench
wine_env_start "$build"
trap wine_env_stop EXIT
wine "$build/windows/bin/alien_bench.exe"
