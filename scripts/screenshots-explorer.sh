#!/usr/bin/env bash
# Screenshots of the Explorer for a person to look at: starts tickvane --extended under Xvfb on
# the real database, opens Tools > Explorer with Ctrl+E, shows a malformed expression's error,
# runs a scan with an RSI column, charts the first result with Enter and steps to the second
# with Right; saves PNGs in screenshots/ (40-explorer-*.png), the last also as the picture of
# the README and the user guide when asked (--docs).
#
#   scripts/screenshots-explorer.sh [BUILD_DIR] [REAL_DATABASE_DIR] [--docs]
#
# Needs xvfb, imagemagick (import), xdotool and x11-utils. Nothing is written beside the
# database.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
real=${2:-$root/../shared/realdata/asx-mining}
docs=${3:-}
tag=tvexplorershots
source "$root/scripts/screenshot-lib.sh"

need_real

type_text() { xdotool type --delay 5 "$1"; sleep 0.3; }

open_real
key ctrl+e
explorer=$(window '^Explorer$')
xdotool windowmove "$explorer" 40 260 windowsize "$explorer" 940 400
key ctrl+a
type_text 'close > sma(close)'
key Return
shot 40-explorer-error 0.8
key ctrl+a
type_text 'rsi(14) < 40 and close > 0.05'
key alt+o
type_text 'rsi=rsi(14); chg=change(close, 20)'
key Return
shot 41-explorer-results 2
import -window "$explorer" "$out/41-explorer-window.png"
# The RSI column, lowest first (its heading is the sixth).
xdotool mousemove --window "$explorer" 505 125 click 1
sleep 0.5
import -window "$explorer" "$out/42-explorer-sorted.png"
xdotool mousemove --window "$explorer" 200 142 click --repeat 2 1
sleep 1
xdotool windowfocus --sync "$win"
shot 43-explorer-first-result 1
key Right
shot 44-explorer-second-result 1
if [ "$docs" = --docs ]; then
  cp "$out/42-explorer-sorted.png" "$root/docs/screenshot-explorer.png"
fi
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
