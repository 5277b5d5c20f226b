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
exe=$(cd "$root" && realpath "$build/app/tickvane")
out=$root/screenshots

if [ -z "${TICKVANE_IN_XVFB:-}" ]; then
  TICKVANE_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

mkdir -p "$out"
work=$(mktemp -d /tmp/tvshowshots.XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

shot() { sleep "${2:-0.6}"; import -window root "$out/$1.png"; echo "screenshots/$1.png"; }
key() { xdotool key --clearmodifiers "$@"; sleep 0.4; }

# Waits for a visible window whose title matches and gives it the keyboard; prints its id.
window() {
  local id=""
  for _ in $(seq 1 50); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
    [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || { echo "screenshots: no window named $1" >&2; exit 1; }
  xdotool windowfocus --sync "$id"
  echo "$id"
}

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
