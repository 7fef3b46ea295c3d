#!/usr/bin/env bash
# Prints the alien lookup's figures: ReadProcessMemory calls, lookup time over 1,000 windowless children
# of the model program; then the same figures for the real programs of tests/real, when they can be
# fetched.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/bench-wine.sh alien_bench
bash tests/real/check-vcl-programs.sh --bench || [ $? = 77 ]
