#!/usr/bin/env bash
# Screenshots of comparisons in extended mode, for a person to look at: BHP of the real
# database exported against AWC as a PNG and an SVG, then the window with the
# settings file's [Chart] Compare, the Compare With dialog over it, the chart dragged back in
# time and weekly bars of the comparison; saves PNGs (and the SVG) in screenshots/ (50- to 55-compare-*).
#
#   scripts/screenshots-compare.sh [BUILD_DIR] [REAL_DATABASE_DIR]
#
# Needs xvfb, imagemagick (import), xdotool and x11-utils. Nothing is written beside
# the database.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
real=${2:-$root/../shared/realdata/asx-mining}
tag=tvcompareshots
source "$root/scripts/screenshot-lib.sh"

need_real

"$exe" --extended --export-png "$out/50-compare-export.png" --size 1024x640 --symbol BHP \
  --compare AWC --compare AQP "$real/MASTER"
echo "screenshots/50-compare-export.png"
"$exe" --extended --export-svg "$out/51-compare.svg" --size 1024x640 --symbol BHP --compare AWC \
  "$real/MASTER"
# No rasteriser for SVG here: say whether its labels name AWC and carry percents.
echo "screenshots/51-compare.svg: AWC $(grep -c '>AWC<' "$out/51-compare.svg") time(s)," \
  "$(grep -o '>[-+0-9.]*%<' "$out/51-compare.svg" | wc -l) percent labels"

printf '[Chart]\nCompare=AWC AQP\n' >"$work/settings.ini"
open_real
xdotool mousemove 1020 760
shot 52-compare-window 1.5
key alt+c
key w
window '^Compare With$' >/dev/null
shot 53-compare-dialog 1
key Escape
# Dragged back in time: every line starts again at 0 % on the new first bar.
xdotool mousemove 300 300 mousedown 1 mousemove 450 300 mousemove 600 300 mouseup 1
xdotool mousemove 1020 760
shot 54-compare-dragged 1
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
"$exe" --extended --export-png "$out/55-compare-weekly.png" --size 1024x640 --symbol BHP \
  --period weekly --compare AWC --compare AQP "$real/MASTER"
echo "screenshots/55-compare-weekly.png"
