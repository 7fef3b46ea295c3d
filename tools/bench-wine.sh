#!/usr/bin/env bash
# tools/bench-wine.sh TARGET: builds a benchmark program of tests/bench and runs it under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
target=$1
bash tools/install-deps.sh
cmake --preset windows -B "$build/windows" >/dev/null
cmake --build "$build/windows" --target "$target"
trap wine_env_stop EXIT
wine_env_start "$build"
wine "$build/windows/bin/$target.exe"
