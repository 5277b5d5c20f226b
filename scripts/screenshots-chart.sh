#!/usr/bin/env bash
# Screenshots of the extended chart for a person to look at: starts tickvane --extended under
# Xvfb on the real database, shows a security in candles with the crosshair on the pointer,
# the keyboard cursor, the Chart menu, the log scale, the same chart at a HiDPI scale of 2, and
# three studies (Bollinger bands, RSI and MACD panes) and the RSI's dialog;
# saves PNGs in screenshots/ (30-chart-*.png).
#
#   scripts/screenshots-chart.sh [BUILD_DIR] [REAL_DATABASE_DIR]
#
# Needs xvfb, imagemagick (import), xdotool and x11-utils. Nothing is written beside the
# database.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
real=${2:-$root/../shared/realdata/asx-mining}
tag=tvchartshots
source "$root/scripts/screenshot-lib.sh"

if [ ! -f "$real/MASTER" ]; then
  echo "screenshots: no real database at $real; skipped" >&2
  exit 0
fi

# Starts the program with the [Chart] settings given (printf text) on the real database.
start() {
  printf "$1" > "$work/settings.ini"
  "$exe" --profile "$work/settings.ini" --extended "$real/MASTER" &
  pid=$!
  win=$(window '^Tickvane$')
}
stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
# BHP, the 106th entry.
to_bhp() {
  sleep 1.5
  for _ in $(seq 1 105); do xdotool key Right; sleep 0.02; done
}

start '[Chart]\nStyle=candles\n'
to_bhp
shot 30-chart-candles 1
xdotool mousemove 600 300
shot 31-chart-crosshair 0.8
xdotool mousemove 1010 760
for _ in $(seq 1 8); do key shift+Left; done
shot 32-chart-keyboard-cursor 0.5
key Escape
key alt+c
shot 33-chart-menu 0.5
key Escape
stop

start '[Chart]\nStyle=ohlc\nLog=1\n'
key Right
shot 34-chart-ohlc-log 1.5
stop

QT_SCALE_FACTOR=2 start '[Chart]\nStyle=ohlc\nLog=1\n'
key Right
xdotool mousemove 300 200
shot 35-chart-scale-2 1.5
stop

start '[Chart]\nStyle=candles\nStudies=bollinger:20,2 rsi:14 macd:12,26,9\n'
to_bhp
shot 36-chart-studies 1
key alt+c
shot 37-chart-menu-studies 0.5
key i
shot 38-study-dialog-rsi 0.5
key Escape
stop
