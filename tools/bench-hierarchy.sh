#!/usr/bin/env bash
# Prints the window tree's figures: building it for 300, 3,000 and 10,000 windows, a filter keystroke, the working set.
exec bash "$(dirname "$0")/bench-wine.sh" hierarchy_bench
