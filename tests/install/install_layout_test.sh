#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop and a packager expect to
# find there; runs the desktop, AppStream and man-page validators that are on the machine,
# and the installed program's export from the prefix.
#   install_layout_test.sh BUILD_DIR SAMPLE_MASTER APP_ID
set -uo pipefail
build=$1 master=$2 id=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/usr
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi

for f in bin/tickvane bin/quotedump \
  "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
  "share/icons/hicolor/scalable/apps/$id.svg" "share/icons/hicolor/48x48/apps/$id.png" \
  "share/icons/hicolor/256x256/apps/$id.png" \
  share/man/man1/tickvane.1.gz share/man/man1/quotedump.1.gz \
  share/doc/tickvane/user-guide.html share/doc/tickvane/changelog.gz; do
  [ -s "$prefix/$f" ] || fail "$f is missing"
done
for f in bin/tickvane bin/quotedump; do [ -x "$prefix/$f" ] || fail "$f is not executable"; done
grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop" || fail "desktop entry names another icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
  "$prefix/share/metainfo/$id.metainfo.xml" || fail "AppStream data launches another desktop entry"

# The validators say nothing about files they accept.
if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1) || fail "desktop-file-validate"
  [ -z "$out" ] || fail "desktop-file-validate: $out"
else
  echo "desktop-file-validate not installed: not run"
fi
if command -v appstreamcli >/dev/null; then
  out=$(appstreamcli validate --no-net --pedantic --no-color "$prefix/share/metainfo/$id.metainfo.xml" 2>&1) ||
    fail "appstreamcli validate"
  [ "$(grep -cv 'Validation was successful\.$' <<<"$out")" -eq 0 ] || fail "appstreamcli: $out"
else
  echo "appstreamcli not installed: not run"
fi
if command -v man >/dev/null; then
  for page in tickvane quotedump; do
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$out" ] || fail "man --warnings $page.1.gz: $out"
  done
else
  echo "man not installed: not run"
fi

# The installed programs run from the prefix, wherever it is.
"$prefix/bin/quotedump" list "$master" >/dev/null || fail "installed quotedump list"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
  "$prefix/bin/tickvane" --export-png "$work/chart.png" --size 320x200 "$master" ||
  fail "installed tickvane --export-png"
[ "$(head -c 8 "$work/chart.png" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  fail "installed tickvane wrote no PNG"

# Without an export the installed program starts its viewer, which asks for the display.
out=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:97 XAUTHORITY=/nonexistent \
  "$prefix/bin/tickvane" "$master" 2>&1)
grep -q "cannot open display :97" <<<"$out" || fail "installed tickvane did not start its viewer: $out"

[ "$failures" -eq 0 ] && echo "install layout: all checks passed"
exit $((failures != 0))
