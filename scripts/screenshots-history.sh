#!/usr/bin/env bash
# Browsing a long history under Xvfb: pages back through the sample database's index (6000
# bars), checks that End gives back the first view pixel for pixel, hovers a bar for its tool
# tip, zooms with Ctrl+wheel and checks that the settings file is untouched, and shows an
# intraday bar's tool tip. Saves PNGs in screenshots/ and prints what it checked.
#
#   scripts/screenshots-history.sh [BUILD_DIR]
#
# Needs xvfb, imagemagick (import, compare) and xdotool. Exits 1 when a check fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
tag=tvhistory
source "$root/scripts/screenshot-lib.sh"

failed=0
# Number of pixels that differ between two shots.
differ() { compare -metric AE "$out/$1.png" "$out/$2.png" null: 2>&1 || true; }
check() {
  if [ "$2" = ok ]; then echo "ok:   $1"; else echo "FAIL: $1"; failed=1; fi
}

settings=$work/settings.ini
"$exe" --profile "$settings" "$root/data/sample/MASTER" &
pid=$!
win=$(window '^Tickvane$')
xdotool mousemove 0 0  # off the window: no tool tip in the shots
for _ in $(seq 1 8); do key Right; done  # IDX, the ninth security
shot h01-newest 1
key Prior
shot h02-page-back
key End
shot h03-end
[ "$(differ h01-newest h02-page-back)" != 0 ] && r=ok || r=no
check "PageUp changes the chart" $r
[ "$(differ h01-newest h03-end)" = 0 ] && r=ok || r=no
check "End gives back the first view pixel for pixel" $r

key Prior; key Prior; key Prior; key Prior; key Prior; key Prior
shot h04-scrolled
xdotool mousemove --window "$win" 520 330
shot h05-tooltip 1
xdotool mousemove --window "$win" 940 330  # over the scale column, inside the view
shot h06-tooltip-gone 1
[ "$(differ h04-scrolled h06-tooltip-gone)" = 0 ] && r=ok || r=no
check "the tool tip goes off the bars and the chart is unchanged" $r
# What the tool tip covered is the only change.
box=$(compare "$out/h04-scrolled.png" "$out/h05-tooltip.png" -compose src -highlight-color white \
      -lowlight-color black miff:- 2>/dev/null | convert - -trim -format '%wx%h%O' info: || true)
echo "      pixels changed by the tool tip lie in $box"

before=$(md5sum <"$settings" 2>/dev/null || echo none)
xdotool keydown ctrl click 4 keyup ctrl; sleep 0.5
xdotool keydown ctrl click 4 keyup ctrl; sleep 0.5
shot h07-zoomed
after=$(md5sum <"$settings" 2>/dev/null || echo none)
[ "$(differ h04-scrolled h07-zoomed)" != 0 ] && r=ok || r=no
check "Ctrl+wheel changes the spacing" $r
[ "$before" = "$after" ] && r=ok || r=no
check "Ctrl+wheel leaves the settings file untouched" $r
key ctrl+minus; key ctrl+minus
shot h08-unzoomed
[ "$(differ h04-scrolled h08-unzoomed)" = 0 ] && r=ok || r=no
check "Ctrl+Minus back to the stored spacing gives the same chart" $r
key Home
shot h09-oldest
key alt+f; key v
shot h10-preview-oldest 2  # the preview prints the bars on screen
xdotool key Escape; sleep 0.5
xdotool windowfocus --sync "$win"

for _ in $(seq 1 15); do key Right; done  # XDAY, half-hourly bars
xdotool mousemove --window "$win" 600 300
shot h11-intraday-tooltip 1
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
exit $failed
