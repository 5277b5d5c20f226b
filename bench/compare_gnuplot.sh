#!/usr/bin/env bash
# Side by side: `tickvane --export-all` against gnuplot drawing the same charts of the real ASX
# directory (the 127 securities the list shows, 1280x720 PNG): high-low bars with close ticks,
# two moving averages and a volume band under a title. The bars each chart shows are dumped
# with quotedump beforehand (not timed), with the averages already computed, so gnuplot is
# timed on drawing and writing alone. Both are timed as whole processes, wall and CPU.
#
#   bench/compare_gnuplot.sh [BUILD]        (default build; needs gnuplot: apt install gnuplot-nox)
set -euo pipefail

build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
real="$here/../shared/realdata/asx-mining"
tickvane="$build/app/tickvane"
quotedump="$build/tools/quotedump/quotedump"
command -v gnuplot >/dev/null || { echo "gnuplot is not installed (apt install gnuplot-nox)"; exit 1; }
[ -d "$real" ] || { echo "no real directory at $real"; exit 1; }
[ -x "$tickvane" ] && [ -x "$quotedump" ] || { echo "build first (make build)"; exit 1; }

work=$(mktemp -d)
[ -n "${KEEP:-}" ] && echo "keeping $work" || trap 'rm -rf "$work"' EXIT
mkdir -p "$work/db" "$work/csv" "$work/gnuplot" "$work/tickvane"
cp "$real"/MASTER "$real"/F*.DAT "$work/db/"
for dat in "$work"/db/F*.DAT; do
  printf '"DATE",0,0\r\n"OPEN",0,0\r\n"HIGH",0,0\r\n"LOW",0,0\r\n"CLOSE",0,0\r\n"VOL",0,0\r\n"OI",0,0\r\n' \
    >"${dat%.DAT}.DOP"
done

# The securities the list shows, and for each the bars a 1280-pixel chart holds (about 300)
# with two simple averages (10 and 40 closes).
bars=300
# quotedump list: number, file number, record length, fields, kind, name, symbol (tab-separated).
mapfile -t symbols < <("$quotedump" list "$work/db/MASTER" | awk -F'\t' '$5 == "security" { print $7 }' | head -127)
[ ${#symbols[@]} -gt 0 ] || { echo "quotedump list printed no securities"; exit 1; }
script="$work/all.gp"
{
  echo "set terminal TERMINAL size 1280,720"
  echo "set datafile separator ','"
  echo "set xdata time; set timefmt '%Y-%m-%d'; set format x '%y%m%d'"
} >"$script"
n=0
for symbol in "${symbols[@]}"; do
  n=$((n + 1))
  csv="$work/csv/$n.csv"
  "$quotedump" read "$work/db" "$symbol" --last $((bars + 40)) 2>/dev/null |
    awk -F, -v bars=$bars 'NR > 1 {
        c[NR] = $6; s10 += $6; s40 += $6
        if (NR > 11) s10 -= c[NR - 10]
        if (NR > 41) s40 -= c[NR - 40]
        rows[NR] = $1 "," $4 "," $5 "," $6 "," $7 "," s10 / (NR - 1 < 10 ? NR - 1 : 10) "," s40 / (NR - 1 < 40 ? NR - 1 : 40)
        last = NR }
      END { for (r = last - bars + 1; r <= last; ++r) if (r > 1) print rows[r] }' >"$csv"
  cat >>"$script" <<EOF
# chart $n
set output '$work/gnuplot/$n.png'
set multiplot
set title '$symbol'
set size 1,0.75; set origin 0,0.25
plot '$csv' using 1:2:3:4 with errorbars notitle, '' using 1:6 with lines notitle, '' using 1:7 with lines notitle
unset title
set size 1,0.25; set origin 0,0
plot '$csv' using 1:5 with impulses notitle
unset multiplot
EOF
done
echo "charts: ${#symbols[@]} securities, $bars bars each, 1280x720"

measure() {  # label, command...
  local label=$1
  shift
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -f "%U %S" -o "$work/cpu" "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  read -r user sys <"$work/cpu"
  printf '%-28s wall %7.2f s   cpu %7.2f s\n' "$label" "$(echo "$end - $start" | bc)" "$(echo "$user + $sys" | bc)"
  echo "$(echo "$end - $start" | bc) $(echo "$user + $sys" | bc)" >"$work/$label.t"
}
# gnuplot's two PNG terminals: libgd (pixels as they fall, like the chart) and cairo
# (antialiased), each writing all the charts from one process; and libgd started once a chart,
# as a script that draws one security at a time runs it.
for terminal in png pngcairo; do
  sed "s/TERMINAL/$terminal/" "$script" >"$work/$terminal.gp"
  measure "gnuplot-$terminal" gnuplot "$work/$terminal.gp"
done
head -3 "$work/png.gp" >"$work/head.gp"
awk -v dir="$work/one" '/^# chart / { file = dir "-" $3 ".gp" } file { print > file }' "$work/png.gp"
measure gnuplot-png-per-chart bash -c 'for f in "$1"/one-*.gp; do gnuplot "$1/head.gp" "$f"; done' _ "$work"
measure tickvane-jobs-1 "$tickvane" --export-all "$work/tickvane/one" --jobs 1 "$work/db/MASTER"
measure tickvane-all-cores "$tickvane" --export-all "$work/tickvane/all" "$work/db/MASTER"
for terminal in png pngcairo png-per-chart; do
  read -r gw gc <"$work/gnuplot-$terminal.t"
  for label in tickvane-jobs-1 tickvane-all-cores; do
    read -r w c <"$work/$label.t"
    printf '%-20s vs gnuplot %-9s %5.1fx faster (wall), %5.1fx less CPU\n' "$label" "$terminal" \
      "$(echo "$gw / $w" | bc -l)" "$(echo "$gc / $c" | bc -l)"
  done
done
