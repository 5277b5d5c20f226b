#!/usr/bin/env bash
# Screenshots of moving through time in extended mode, for a person to look at: the real
# database's first security as it opens, after a drag, after End, after two wheel notches up,
# after End again (the zoom kept) and after Ctrl+0 (the whole history); saves PNGs in
# screenshots/ (40-navigation-*.png) and says whether End brought back the first picture.
#
#   scripts/screenshots-navigation.sh [BUILD_DIR] [REAL_DATABASE_DIR]
#
# Needs xvfb, imagemagick (import), xdotool and x11-utils. Nothing is written beside the
# database.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
real=${2:-$root/../shared/realdata/asx-mining}
tag=tvnavshots
source "$root/scripts/screenshot-lib.sh"

if [ ! -f "$real/MASTER" ]; then
  echo "screenshots: no real database at $real; skipped" >&2
  exit 0
fi

"$exe" --profile "$work/settings.ini" --extended "$real/MASTER" &
pid=$!
win=$(window '^Tickvane$')
away() { xdotool mousemove 1020 760; sleep 0.3; }  # off the chart: no crosshair in the shot
away
shot 40-navigation-first 1.5
xdotool mousemove 300 300 mousedown 1 mousemove 400 300 mousemove 500 300 mouseup 1
away
shot 41-navigation-dragged 1
key End
away
shot 42-navigation-end 1
xdotool mousemove 500 300 click 4 click 4
away
shot 43-navigation-zoomed 1
key End
away
shot 44-navigation-zoomed-end 1
key ctrl+0
away
shot 45-navigation-fit 1
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
if cmp -s "$out/40-navigation-first.png" "$out/42-navigation-end.png"; then
  echo "End brought back the first picture"
else
  echo "End did not bring back the first picture"
fi
