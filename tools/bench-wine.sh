#!/usr/bin/env bash
# tools/bench-wine.sh TARGET: builds a benchmark program of tests/bench and runs it under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
target=$1
bash tools/install-deps.sh
cmake --preset windows -B "$build/windows" >/dev/null
cmake --build "$build/windows" --target "$target"
wine_env_start "$build"
trap wine_env_stop EXIT
wine "$build/windows/bin/$target.exe"
