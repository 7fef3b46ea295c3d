#!/usr/bin/env bash
# Prints the PEInfo page's figures: load times of three files, working set, filling the export list.
exec bash "$(dirname "$0")/bench-wine.sh" peinfo_bench
