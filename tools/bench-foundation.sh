#!/usr/bin/env bash
# Prints the main window's figures: refresh latency, start-up time, peak working set (under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
bash tools/install-deps.sh
cmake --preset windows -B "$build/windows" >/dev/null
cmake --build "$build/windows" --target foundation_bench
wine_env_start "$build"
trap wine_env_stop EXIT
wine "$build/windows/bin/foundation_bench.exe"
