#!/usr/bin/env bash
# `make run`: shows the bundled sample database's first chart. Without a display (and, until
# the windowed viewer lands, with one too) the chart is rendered to a PNG file.
set -euo pipefail
build=${1:-build}
tickvane="$build/app/tickvane"
out="$build/sample-chart.png"
if [[ ! -x "$tickvane" ]]; then
  echo "tickvane was not built (Qt off?); listing the sample database instead."
  exec "$build/tools/quotedump" list data/sample/MASTER
fi
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: rendering the first chart of data/sample/MASTER to a PNG file."
fi
"$tickvane" --export-png "$out" data/sample/MASTER
echo "Chart written to $out"
