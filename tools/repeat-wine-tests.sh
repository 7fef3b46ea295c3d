#!/usr/bin/env bash
# Runs the Wine tests N times in a row (default 10) in a fresh Wine prefix, to find tests that fail now
# and then. Build first (bash tools/test.sh, or cmake --build build/windows). Prints each run's result
# and the count of runs that passed; the logs stay in $build/repeat-N.log.
set -uo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
runs=${1:-10}
rm -rf "$build/wineprefix" "$build"/wineprefix-dpi*
trap wine_env_stop EXIT
wine_env_start "$build"
passed=0
for i in $(seq 1 "$runs"); do
  if (cd "$build/windows" && ctest --output-on-failure >"$build/repeat-$i.log" 2>&1); then
    passed=$((passed + 1)); echo "run $i: passed"
  else
    echo "run $i: FAILED (see $build/repeat-$i.log)"
  fi
  grep -h "did not arrive" "$build/repeat-$i.log" | sed "s/^/run $i: /"
done
echo "$passed of $runs runs passed"
[ "$passed" = "$runs" ]
