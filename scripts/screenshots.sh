#!/usr/bin/env bash
# Screenshots of the windowed program for a person to look at: starts tickvane under Xvfb on
# the bundled sample database and on a copy of a real database, steps through securities,
# opens each menu, the context menu, the print preview, Help and About, and saves PNGs in
# screenshots/.
#
#   scripts/screenshots.sh [BUILD_DIR] [REAL_DATABASE_DIR]
#
# Needs xvfb, imagemagick (import), xdotool and x11-utils. The real database is copied to a
# temporary directory and given the layout files it lacks; nothing is written beside it.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
real=${2:-$root/../shared/realdata/asx-mining}
tag=tvshots
source "$root/scripts/screenshot-lib.sh"

# Starts tickvane on a file and waits for the main window; sets $pid and $win.
start() {
  "$exe" --profile "$work/settings.ini" "$@" &
  pid=$!
  win=$(window '^Tickvane$')
}

stop() { kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; }

# Focus whatever window is on top now (a message box, a dialog).
focus_top() {
  local top
  top=$(xdotool search --onlyvisible --name '.' 2>/dev/null | tail -1 || true)
  [ -n "$top" ] && xdotool windowfocus --sync "$top" 2>/dev/null || true
}

# --- the bundled sample database
start "$root/data/sample/MASTER"
shot 01-sample-first 1.5
# At the first security Previous is greyed: the arrow keys still reach it and show its prompt.
key alt+s; key Down; shot 05-menu-select-greyed-prompt; key Escape; key Escape
key Right; key Right; key Right
shot 02-sample-fourth
key alt+f; shot 03-menu-file; key Escape
key alt+v; shot 04-menu-view; key Escape
key alt+s; shot 05-menu-select; key Escape
key alt+h; shot 06-menu-help; key Escape
xdotool mousemove --window "$win" 400 300 click 3
shot 07-context-menu; key Escape
xdotool mousemove --window "$win" 25 34; shot 08-toolbar-hover 1.5
xdotool mousemove --window "$win" 600 400
key alt+f; key v; focus_top; shot 09-print-preview 2; key Escape
xdotool windowfocus --sync "$win"
key F1; help=$(window '^Tickvane Help$'); shot 10-help 1
# A link in the guide, then Back (Alt+Left) to where it came from.
xdotool mousemove --window "$help" 585 145 click 1; shot 10-help-link; key alt+Left; key Escape
xdotool windowfocus --sync "$win"
key alt+h; key a; focus_top; shot 11-about; key Return
xdotool windowfocus --sync "$win"
key alt+v; key t; shot 12-no-toolbar; key alt+v; key t
key alt+s; key g; focus_top; shot 13-goto 1; key Escape
xdotool windowfocus --sync "$win"
key alt+v; key o; focus_top; shot 14-view-options 1; key Escape
xdotool windowfocus --sync "$win"
key alt+f; key r; focus_top; shot 15-print-setup 1; key Escape
xdotool windowfocus --sync "$win"
# The last security: the status bar's pie is a full yellow disc.
for _ in $(seq 1 30); do xdotool key Right; sleep 0.05; done
shot 16-sample-last 1
stop

# --- a real database, with the layout files it lacks
if [ -d "$real" ]; then
  mkdir -p "$work/real"
  cp "$real"/MASTER "$real"/F*.DAT "$work/real/"
  for dat in "$work"/real/F*.DAT; do
    printf '"DATE",0,0\r\n"OPEN",0,0\r\n"HIGH",0,0\r\n"LOW",0,0\r\n"CLOSE",0,0\r\n"VOL",0,0\r\n"OI",0,0\r\n' \
      >"${dat%.DAT}.DOP"
  done
  "$exe" --profile "$work/settings.ini" "$work/real/MASTER" &
  pid=$!
  sleep 1.5
  focus_top
  shot 20-real-too-many 0.5
  key Return
  win=$(xdotool search --onlyvisible --name '^Tickvane$' | head -1)
  xdotool windowfocus --sync "$win"
  shot 21-real-first 1
  for _ in 1 2 3 4 5; do key Right; done
  shot 22-real-sixth
  for _ in $(seq 1 20); do xdotool key Right; sleep 0.1; done
  shot 23-real-26th 1
  stop
else
  echo "screenshots: no real database at $real; skipped" >&2
fi
