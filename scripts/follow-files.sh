#!/usr/bin/env bash
# Looks at the viewer following a data file while it changes, under Xvfb:
#   scripts/follow-files.sh [BUILD_DIR] [OUT_DIR]
# On a copy of the sample database whose first security lacks its last 40 bars, the viewer
# starts; the bars are appended (then the header), the file is cut to 10 bytes, and the
# complete file is renamed into place. PNGs of each step go to OUT_DIR (default
# screenshots/follow), and the last one is compared with a fresh start on the same files.
# Run it as: xvfb-run -a -s "-screen 0 1024x768x24" scripts/follow-files.sh
set -euo pipefail
build=${1:-build}
out=${2:-screenshots/follow}
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(cd "$build" && pwd)/app/tickvane
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/data/sample" "$work/db"
db=$work/db

# Splits F1.DAT into the file without its last 40 bars (in place) and those 40 records.
python3 - "$db" <<'PY'
import sys, pathlib
db = pathlib.Path(sys.argv[1])
master = (db / "MASTER").read_bytes()
length = master[53 + 3]                      # record length of the first security
data = (db / "F1.DAT").read_bytes()
(db.parent / "F1.DAT.complete").write_bytes(data)
records = len(data) // length - 1
short = records - 40
header = bytearray(data[:length])
header[2:4] = (short + 1).to_bytes(2, "little")
(db / "F1.DAT").write_bytes(bytes(header) + data[length:length * (short + 1)])
(db.parent / "tail").write_bytes(data[length * (short + 1):])
(db.parent / "header").write_bytes(data[:length])
PY

start() {
  "$program" --profile "$work/profile.ini" "$db/MASTER" &
  pid=$!
  sleep 4
  xdotool mousemove 500 400 click 1   # the splash goes at a click
  sleep 1
  xdotool mousemove 2 766             # no tool tip over the bars
  sleep 1
}
shot() { import -window root "$out/$1.png"; }

start
shot 1-short
cat "$work/tail" >> "$db/F1.DAT"
sleep 0.1
python3 - "$db/F1.DAT" "$work/header" <<'PY'
import sys
header = open(sys.argv[2], "rb").read()
with open(sys.argv[1], "r+b") as f:
    f.write(header)
PY
sleep 3                                                 # no key pressed
shot 2-appended
truncate -s 10 "$db/F1.DAT"
sleep 2
shot 3-cut
kill -0 "$pid" && echo "follow-files: still running after the cut"
echo "follow-files: top-level windows after the cut: $(xwininfo -root -children | grep -c '"Tickvane"')"
cp "$work/F1.DAT.complete" "$db/F1.DAT.new"
mv "$db/F1.DAT.new" "$db/F1.DAT"
sleep 2
shot 4-renamed
kill "$pid"
wait "$pid" 2>/dev/null || true
start
shot 5-fresh
kill "$pid"
wait "$pid" 2>/dev/null || true
for step in 2-appended 3-cut 4-renamed; do
  echo "follow-files: pixels differing from a fresh start, $step: $(compare -metric AE "$out/$step.png" "$out/5-fresh.png" /dev/null 2>&1 || true)"
done
