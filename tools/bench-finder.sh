#!/usr/bin/env bash
# Prints the finder's figures: move handler time over two windows and within one, frame paints, ReadProcessMemory calls.
exec bash "$(dirname "$0")/bench-wine.sh" finder_bench
