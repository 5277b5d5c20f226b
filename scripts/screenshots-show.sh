#!/usr/bin/env bash
# Screenshots of the splash window, the About box and the slide show for a person to look at:
# starts tickvane under Xvfb on the bundled sample database and saves PNGs in screenshots/.
#
#   scripts/screenshots-show.sh [BUILD_DIR]
#
# Needs xvfb, imagemagick (import), xdotool and x11-utils.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
tag=tvshowshots
source "$root/scripts/screenshot-lib.sh"

# The full-screen slide show: the one visible window as large as the screen.
show_window() {
  local id geometry
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    geometry=$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/ *Geometry: //p')
    if [ "$geometry" = "1024x768" ]; then echo "$id"; return; fi
  done
}

"$exe" --profile "$work/settings.ini" "$root/data/sample/MASTER" &
pid=$!
main=$(window '^Tickvane$')
# The splash stands over the main window for ten seconds after start-up.
shot show-01-splash 1
xwininfo -root -children | grep -E '"Tickvane"|\(has no name\)' | head -5 || true

# A click on the splash itself: it goes at the next idle moment.
xdotool mousemove 512 384 click 1
shot show-02-splash-clicked 0.8

xdotool windowfocus --sync "$main"
key alt+h; key a
window '^About Tickvane$' >/dev/null
shot show-03-about
key Return

xdotool windowfocus --sync "$main"
key alt+v; key l
dialog=$(window '^Slide Show$')
shot show-04-dialog
# An interval out of range is refused with the standard message.
key ctrl+a; xdotool type 9; key Return
window '^Tickvane$' >/dev/null || true
shot show-05-refused
key Return
xdotool windowfocus --sync "$dialog"
key ctrl+a; xdotool type 2; key Return

sleep 0.8
slide=$(show_window)
[ -n "$slide" ] && xdotool windowfocus --sync "$slide"
shot show-06-slide-first 0.3
shot show-07-slide-second 2.2
key space
# Paused: the same chart stands for longer than two intervals.
shot show-08-slide-paused 0.3
shot show-08b-slide-still-paused 4.5
key space
shot show-09-slide-resumed 2.2
key Escape
shot show-10-after-escape 1

kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
