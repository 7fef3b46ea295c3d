#!/usr/bin/env bash
# Prints the pipette's and the magnifier's figures: time per pipette move, time to show the magnifier at each zoom.
exec bash "$(dirname "$0")/bench-wine.sh" color_bench
