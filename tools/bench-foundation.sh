#!/usr/bin/env bash
# Prints the main window's figures: refresh latency, start-up time, peak working set.
exec bash "$(dirname "$0")/bench-wine.sh" foundation_bench
