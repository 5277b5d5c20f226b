#!/usr/bin/env bash
# Screenshots of the Go To and View Options dialogs for a person to look at: starts tickvane
# under Xvfb on the bundled sample database, opens Go To in each sort order and View Options
# short, unfolded and with a colour picked, and saves PNGs in screenshots/.
#
#   scripts/screenshots-dialogs.sh [BUILD_DIR]
#
# Needs xvfb, imagemagick (import) and xdotool.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
tag=tvdlgshots
source "$root/scripts/screenshot-lib.sh"

# Clicks at a point of a window, in the window's own pixels.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.4; }

"$exe" --profile "$work/settings.ini" "$root/data/sample/MASTER" &
main=$(window Tickvane)
sleep 1
key Right; key Right  # the third security is current

# --- Go To, in each of the three orders. Tab leaves the list for the sort buttons; the arrow
# keys move through them.
key alt+s; key g
dlg=$(window "^Go To Chart$")
shot 20-goto-master
key Tab; key Down
shot 21-goto-symbol
key Down
shot 22-goto-name
key Escape
xdotool windowfocus --sync "$main"
# The order chosen is remembered, also after Cancel.
key alt+s; key g
dlg=$(window "^Go To Chart$")
shot 23-goto-reopened
key Escape

# --- View Options: short, unfolded, a colour picked, a refused value.
xdotool windowfocus --sync "$main"
key alt+v; key o
dlg=$(window "^View Options$")
shot 24-options-short
# The tab order runs 103, 104, 117, 105, 115, 109, OK, Cancel, Default, "Colors >>".
for _ in $(seq 1 9); do key Tab; done
key space
shot 25-options-expanded
# Into the colour list, down to "Volume", then along the palette to yellow (entry 6).
key Tab; key End
for _ in $(seq 1 7); do key Tab; done
key space
shot 26-options-volume-yellow
# Back along the tab order from the yellow button to "Shrink <<".
for _ in $(seq 1 8); do key shift+Tab; done
key space
shot 27-options-shrunk
key Escape

xdotool windowfocus --sync "$main"
key alt+v; key o
dlg=$(window "^View Options$")
for _ in $(seq 1 5); do key Tab; done
key ctrl+a; xdotool type 11; key Return
window "^Tickvane$" >/dev/null
shot 28-options-bar-spacing-11
key Return
key Escape

# OK commits the colour: the volume band turns yellow.
xdotool windowfocus --sync "$main"
key alt+v; key o
dlg=$(window "^View Options$")
for _ in $(seq 1 9); do key Tab; done
key space
key Tab; key End
for _ in $(seq 1 7); do key Tab; done
key space
key Return
xdotool windowfocus --sync "$main"
shot 29-options-ok-volume-yellow 1
