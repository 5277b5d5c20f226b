# Shared by the screenshot scripts: sourced after `root`, `build` and `tag` are set. Re-runs
# the calling script under Xvfb, makes the output and work directories and defines the helpers
# the scripts drive the program with. Needs xvfb, imagemagick (import) and xdotool.

exe=$(cd "$root" && realpath "$build/app/tickvane")
out=$root/screenshots

if [ -z "${TICKVANE_IN_XVFB:-}" ]; then
  TICKVANE_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 ${TICKVANE_SCREEN:-1024x768}x24" "$0" "$@"
fi

mkdir -p "$out"
work=$(mktemp -d "/tmp/$tag.XXXXXX")
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

shot() { sleep "${2:-0.6}"; import -window root "$out/$1.png"; echo "screenshots/$1.png"; }
key() { xdotool key --clearmodifiers "$@"; sleep 0.4; }

# Waits for a visible window whose title matches the pattern and gives it the keyboard;
# prints its id.
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

# The scripts on the real database: end with a note when there is none at $real.
need_real() {
  if [ ! -f "$real/MASTER" ]; then
    echo "screenshots: no real database at $real; skipped" >&2
    exit 0
  fi
}

# Starts the viewer with extended reading on the real database and the settings file
# $work/$1 (default settings.ini); sets pid and win.
open_real() {
  "$exe" --profile "$work/${1:-settings.ini}" --extended "$real/MASTER" &
  pid=$!
  win=$(window '^Tickvane$')
}

# Ends the viewer and says whether shots $1 and $2 are the same picture: $3 if so, else $4.
stop_and_compare() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if cmp -s "$out/$1.png" "$out/$2.png"; then echo "$3"; else echo "$4"; fi
}
