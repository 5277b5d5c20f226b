#!/usr/bin/env bash
# Screenshots of moving through time in extended mode, for a person to look at: the real
# database's first security as it opens, after a drag, after End, after two wheel notches up,
# after End again (the zoom kept), after Ctrl+0 (the whole history, which starts where the
# file does), then zoomed in after Home and after Page Down; then, with four
# studies and three averages, the crosshair at two places and away again, and the Averages and
# Studies dialog. Saves PNGs in screenshots/ (40-navigation-*.png, 46-crosshair-*.png,
# 49-averages-studies.png) and says whether End brought back the first picture, the year the
# time axis of the fitted chart should start in, and whether the crosshair left the chart as
# it found it.
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

need_real

open_real
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
# Over the whole history, not the window of bars the classic chart holds: zoomed in, Home
# goes to the file's first bar and Page Down a page on from there.
xdotool mousemove 500 300 click 4 click 4 click 4 click 4 click 4 click 4
key Home
away
shot 45-navigation-home 1
key Next
away
shot 45-navigation-page-down 1
stop_and_compare 40-navigation-first 42-navigation-end "End brought back the first picture" \
  "End did not bring back the first picture"
dump=$(cd "$root" && realpath "$build/tools/quotedump/quotedump" 2>/dev/null || true)
if [ -x "$dump" ]; then
  first=$("$dump" --extended list "$real/MASTER" | awk -F'\t' '$5 == "security" {print $7; exit}')
  from=$("$dump" --extended read "$real" "$first" | sed -n '2s/-.*//p')
  echo "45-navigation-fit.png and 45-navigation-home.png: the time axis starts in $from ($first's first bar)"
fi

# The crosshair over the kept chart: moved twice and taken away, the picture is the one it
# started from, with no pixel of a crosshair left behind.
cat >"$work/studies.ini" <<'INI'
[Chart]
Studies=bollinger:20,2 rsi:14 macd:12,26,9 stochastic:14,3
MovingAverages=sma:50 sma:200 ema:20
INI
open_real studies.ini
away
shot 46-crosshair-none 1.5
xdotool mousemove 400 300
shot 47-crosshair-a 0.6
xdotool mousemove 650 520
shot 48-crosshair-b 0.6
away
shot 46-crosshair-away 0.6
key alt+c
key a
shot 49-averages-studies 1
key Escape
stop_and_compare 46-crosshair-none 46-crosshair-away \
  "The crosshair left the chart as it found it" "The crosshair left pixels behind"
