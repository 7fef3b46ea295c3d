#!/usr/bin/env bash
# Prints the alien lookup's figures: ReadProcessMemory calls, lookup time over 1,000 windowless children.
exec bash "$(dirname "$0")/bench-wine.sh" alien_bench
