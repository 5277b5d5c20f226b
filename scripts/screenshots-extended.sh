#!/usr/bin/env bash
# Screenshots of extended reading for a person to look at: starts tickvane --extended under
# Xvfb on the real database exactly as its vendor wrote it (215 securities, EMASTER, no layout
# files), shows a security with a long name, Go To with the whole list, and a security far down
# the list, and the Chart menu with its marks; saves PNGs in screenshots/ (24-extended-*.png).
#
#   scripts/screenshots-extended.sh [BUILD_DIR] [REAL_DATABASE_DIR]
#
# Needs xvfb, imagemagick (import), xdotool and x11-utils. Nothing is written beside the
# database.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
real=${2:-$root/../shared/realdata/asx-mining}
tag=tvextshots
source "$root/scripts/screenshot-lib.sh"

need_real

open_real
shot 24-extended-first 1.5
key Right; key Right
shot 25-extended-long-name 1
import -window "$win" "$out/25-extended-long-name-window.png"
key alt+s; key g; sleep 1
xdotool search --onlyvisible --name '.' | tail -1 | xargs -r xdotool windowfocus --sync || true
shot 26-extended-goto 0.5
key Escape
xdotool windowfocus --sync "$win"
for _ in $(seq 1 200); do xdotool key Right; sleep 0.02; done
shot 27-extended-203rd 1.5
key alt+c; sleep 0.5
shot 28-extended-chart-menu 0.5
key Escape
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
