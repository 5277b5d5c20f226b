#!/usr/bin/env bash
# The extended chart's numbers for a person to check: exports of the cases where a figure was
# once wrong or missing (an index without opens or volume in ohlc and candles, float noise,
# prices under a cent, a log axis over one decade, a band below zero on a log scale, a short
# history, four study panes, a log axis over a tall pane) and, in the window on a 2560x1440
# screen, the four studies at a scale of 2 and a security paged back with its print preview.
# Saves PNGs (and the four-study SVG, with its size) in screenshots/ (40-numbers-*).
#
#   scripts/screenshots-numbers.sh [BUILD_DIR] [REAL_DATABASE_DIR]
#
# Needs xvfb, imagemagick (import) and xdotool. Nothing is written beside the databases.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
real=${2:-$root/../shared/realdata/asx-mining}
tag=tvnumbershots
export TICKVANE_SCREEN=${TICKVANE_SCREEN:-2560x1440}
source "$root/scripts/screenshot-lib.sh"

sample=$root/data/sample/MASTER
four=(--study bollinger --study rsi --study macd --study stochastic)
export_png() {
  local name=$1
  shift
  "$exe" --extended --export-png "$out/40-numbers-$name.png" "$@"
  echo "screenshots/40-numbers-$name.png"
}
export_png idx-ohlc --style ohlc --symbol IDX "$sample"
export_png idx-candles --style candles --symbol IDX "$sample"
export_png zen-short --symbol ZEN "$sample"
if [ ! -f "$real/MASTER" ]; then
  echo "screenshots: no real database at $real; the rest skipped" >&2
  exit 0
fi
export_png aao-2010 --symbol AAO --until 2010-06-08 "$real/MASTER"
export_png aam-log --log --symbol AAM "$real/MASTER"
export_png ald-log-bollinger --log --study bollinger --symbol ALD "$real/MASTER"
export_png ddd-log-tall --log --size 900x1400 --symbol DDD "$real/MASTER"
export_png bhp-four --size 1280x720 --symbol BHP "${four[@]}" "$real/MASTER"
"$exe" --extended --export-svg "$out/40-numbers-bhp-four.svg" --size 1280x720 --symbol BHP \
  "${four[@]}" "$real/MASTER"
echo "screenshots/40-numbers-bhp-four.svg: $(stat -c %s "$out/40-numbers-bhp-four.svg") bytes"

start() {
  printf "$1" > "$work/settings.ini"
  "$exe" --profile "$work/settings.ini" --extended "$real/MASTER" &
  pid=$!
  win=$(window '^Tickvane$')
  xdotool windowmove --sync "$win" 0 0 windowsize --sync "$win" 2560 1440 || true
  sleep 1.5
}
stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
# The list entry `n` (1 is the first).
to_entry() {
  for _ in $(seq 2 "$1"); do xdotool key Right; sleep 0.02; done
  sleep 1
}

QT_SCALE_FACTOR=2 start '[Chart]\nStudies=bollinger:20,2 rsi:14 macd:12,26,9 stochastic:14,3\n'
to_entry 106
shot 41-numbers-bhp-four-scale-2 1
stop

start '[Chart]\nStyle=candles\n'
to_entry 23
key Prior
key Prior
shot 42-numbers-ags-paged-back 1
key alt+f
key v
shot 43-numbers-ags-print-preview 2
key Escape
shot 44-numbers-ags-after-preview 0.5
stop

# A data file cut to 10 bytes: the chart says why it is empty, and the log scale is no excuse.
cp -r "$root/data/sample" "$work/cut"
truncate -s 10 "$work/cut/F1.DAT"
printf '[Chart]\nLog=1\n' > "$work/settings.ini"
"$exe" --profile "$work/settings.ini" --extended "$work/cut/MASTER" &
pid=$!
win=$(window '^Tickvane$')
shot 45-numbers-cut-file 1.5
stop

# Go To on the sample: its folders, apart from their "(folder)".
"$exe" --profile "$work/settings.ini" --extended "$root/data/sample/MASTER" &
pid=$!
win=$(window '^Tickvane$')
sleep 1
key alt+s; key g; sleep 1
key End
shot 46-numbers-goto-folders 0.5
key Escape
stop
