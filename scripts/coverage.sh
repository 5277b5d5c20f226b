#!/usr/bin/env bash
# `make coverage`: runs every test of the coverage build (clang source-based coverage, each
# process writing its own profile), merges the profiles and prints the line coverage of each
# library (a source folder: quotelib, chart, app/core, tools/quotedump ...) and the total.
# The per-file report is kept in BUILD/coverage/files.txt; to see which lines a test misses:
#   llvm-cov-14 show -instr-profile=BUILD/coverage/all.profdata $(cat BUILD/coverage/objects) FILE
set -euo pipefail
build=${1:-build-cov}
here=$(cd "$(dirname "$0")/.." && pwd)
out="$build/coverage"
profdata=llvm-profdata-14 cov=llvm-cov-14
for tool in $profdata $cov; do
  command -v "$tool" >/dev/null || { echo "coverage: $tool is missing (make setup-coverage)" >&2; exit 1; }
done

rm -rf "$out"
mkdir -p "$out"
status=0
LLVM_PROFILE_FILE="$PWD/$out/%p-%m.profraw" ctest --test-dir "$build" --output-on-failure || status=1
if ! compgen -G "$out/*.profraw" >/dev/null; then
  echo "coverage: the tests wrote no profiles (configure with -DTICKVANE_COVERAGE=ON)" >&2
  exit 1
fi
"$profdata" merge -sparse "$out"/*.profraw -o "$out/all.profdata"

# Every program of the build (tests, tools) that carries coverage mapping.
objects=()
while IFS= read -r file; do
  [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = 177ELF ] || continue
  objects+=(-object "$file")
done < <(find "$build" -type f -perm -u+x -not -path '*/CMakeFiles/*' | sort)
printf '%s\n' "${objects[@]}" > "$out/objects"

# Our sources only: not the tests, the generated files or the system's headers. A build
# whose compiler saw relative paths (ccache with CCACHE_BASEDIR) names a source
# BUILD/../quotelib/...: that is a source, not a generated file.
"$cov" report -instr-profile="$out/all.profdata" "${objects[@]}" \
  -ignore-filename-regex='(^|/)tests/|(^|/)build[^/]*/[^.]|^/usr/' > "$out/files.txt"

# Columns of the report: file (relative to the sources when they share them), regions (3),
# functions (3), lines, missed lines, cover ...
awk -v root="$here/" '
  $2 ~ /^[0-9]+$/ && $1 != "TOTAL" {
    path = index($1, root) == 1 ? substr($1, length(root) + 1) : $1
    sub(/^(\.\.\/)+/, "", path)
    n = split(path, parts, "/")
    lib = (n > 2 && (parts[1] == "app" || parts[1] == "tools" || parts[1] == "platform")) \
            ? parts[1] "/" parts[2] : (n > 1 ? parts[1] : ".")
    lines[lib] += $8; missed[lib] += $9; all += $8; allMissed += $9
  }
  END {
    printf "%-18s %7s %7s %8s\n", "library", "lines", "missed", "covered"
    for (lib in lines)
      printf "%-18s %7d %7d %7.1f%%\n", lib, lines[lib], missed[lib],
             100 * (lines[lib] - missed[lib]) / lines[lib] | "sort"
    close("sort")
    if (all > 0) printf "%-18s %7d %7d %7.1f%%\n", "total", all, allMissed, 100 * (all - allMissed) / all
  }' "$out/files.txt"
[ $status -eq 0 ] || echo "coverage: some tests failed; the figures are of the tests that ran" >&2
exit $status
