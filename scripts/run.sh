#!/usr/bin/env bash
# `make run`: opens the viewer on the bundled sample database when there is a display; without
# one, renders the first chart to a PNG file and says where.
set -euo pipefail
build=${1:-build}
tickvane="$build/app/tickvane"
master="$(pwd)/data/sample/MASTER"
if [[ ! -x "$tickvane" ]]; then
  echo "tickvane was not built (Qt off?); listing the sample database instead."
  exec "$build/tools/quotedump" list data/sample/MASTER
fi
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "$tickvane" "$master"
fi
out="$build/sample-chart.png"
echo "No display: rendering the first chart of data/sample/MASTER to a PNG file."
"$tickvane" --export-png "$out" data/sample/MASTER
echo "Chart written to $out"
