#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively with ASan/UBSan (and its fuzz
# targets for a bounded time), then Scrutel.exe's tests under Wine on an X display (Xvfb if none), then
# the Delphi-VCL page against real programs fetched from npm (said SKIPPED when the registry is away).
# Installs what it needs first. SCRUTEL_BUILD names the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh

bash tools/install-deps.sh

status=0
echo "== formatting"
files=$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 2>/dev/null || true)
if [ -n "$files" ]; then
  # shellcheck disable=SC2086
  if ! clang-format --dry-run --Werror $files; then
    echo "formatting: the files above differ from .clang-format (clang-format -i FILE)"
    status=1
  fi
fi

echo "== includes"
bash tools/check-includes.sh || status=1

echo "== native build (clang, ASan+UBSan)"
cmake --preset native -B "$build/native" >/dev/null
cmake --build "$build/native"

echo "== windows build (MinGW-w64 i686)"
cmake --preset windows -B "$build/windows" >/dev/null
cmake --build "$build/windows"

echo "== native tests"
(cd "$build/native" && ctest --output-on-failure) || status=1

echo "== windows tests under Wine"
trap wine_env_stop EXIT
wine_env_start "$build"
(cd "$build/windows" && ctest --output-on-failure) || status=1

echo "== real programs of the component library under Wine"
real=0
bash tests/real/check-vcl-programs.sh || real=$?
case "$real" in
  0) ;;
  77) echo "== real programs: SKIPPED (the npm registry could not be reached; nothing was checked)" ;;
  *) status=1 ;;
esac
exit $status
