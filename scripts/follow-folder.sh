#!/usr/bin/env bash
# Looks at the viewer following a database folder that a sync tool replaces whole, under Xvfb:
#   scripts/follow-folder.sh [BUILD_DIR] [OUT_DIR] [--extended]
# On a copy of the sample database whose first security lacks its last bars, the viewer
# starts; the folder is deleted and, after a pause, copied back with more bars; then a new
# copy with more bars still is renamed into its place; after each, bars are appended in
# place. Three seconds after each step a PNG goes to OUT_DIR (default screenshots/follow-folder)
# and is compared with a fresh start on the same files: 0 differing pixels means followed.
# Needs xvfb, imagemagick (import, compare) and xdotool. Run it as:
#   xvfb-run -a -s "-screen 0 1024x768x24" scripts/follow-folder.sh
set -euo pipefail
build=${1:-build}
out=${2:-screenshots/follow-folder}
mode=${3:-}
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(cd "$build" && pwd)/app/tickvane
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
db=$work/db

# A copy of the sample at $1 whose first security lacks its last $2 bars.
version() {
  rm -rf "$1"
  cp -r "$root/data/sample" "$1"
  python3 - "$1" "$2" <<'PY'
import sys, pathlib
db, cut = pathlib.Path(sys.argv[1]), int(sys.argv[2])
length = (db / "MASTER").read_bytes()[53 + 3]
data = (db / "F1.DAT").read_bytes()
kept = len(data) // length - 1 - cut
header = bytearray(data[:length])
header[2:4] = (kept + 1).to_bytes(2, "little")
(db / "F1.DAT").write_bytes(bytes(header) + data[length:length * (kept + 1)])
PY
}
start() {
  "$program" $mode --profile "$work/profile.ini" "$db/MASTER" &
  pid=$!
  sleep 4
  xdotool mousemove 500 400 click 1   # the splash goes at a click
  sleep 1
  xdotool mousemove 2 766             # no tool tip over the bars
  sleep 1
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; }
shot() { import -window root "$out/$1.png"; }
# The shot $1 against a fresh start on the files as they are now.
check() {
  start
  shot "$1-fresh"
  stop
  pid=$viewer
  echo "follow-folder: $1: pixels differing from a fresh start: $(compare -metric AE "$out/$1.png" "$out/$1-fresh.png" /dev/null 2>&1 || true)"
}

version "$db" 60
start
viewer=$pid
shot 0-before
rm -rf "$db"
sleep 1
shot 1-gone
version "$work/backup" 40
cp -r "$work/backup" "$db"
sleep 3
shot 2-copied-back
check 2-copied-back
version "$work/next" 30
cp "$work/next/F1.DAT" "$db/F1.DAT"
sleep 3
shot 3-appended
check 3-appended
version "$work/db.new" 20
mv "$db" "$work/db.old"
mv "$work/db.new" "$db"
sleep 3
shot 4-renamed
check 4-renamed
version "$work/next" 10
cp "$work/next/F1.DAT" "$db/F1.DAT"
sleep 3
shot 5-appended
check 5-appended
pid=$viewer
stop
