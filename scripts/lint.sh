#!/usr/bin/env bash
# `make lint`: clang-format over every C++ file of ours, then clang-tidy (.clang-tidy at the
# root) over the program's own sources and clazy (Qt's own pitfalls, levels 0 and 1) over those
# that use Qt, through the build's compile database. The tests and
# benchmarks are formatted but not tidied: they are most of the parsing time (GoogleTest and Qt
# Test headers) and hold no code that ships.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."

# The C++ files of the tree, found without git so that a tree without its metadata (a release
# tarball) is linted too: hidden folders and build folders (any holding a CMakeCache.txt) are
# not ours.
mapfile -t files < <(find . -mindepth 1 -type d \( -name '.*' -o -exec test -e '{}/CMakeCache.txt' \; \) -prune \
  -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||' | LC_ALL=C sort)
[ "${#files[@]}" -gt 0 ] || { echo "lint: no C++ files found" >&2; exit 1; }
printf '%s\0' "${files[@]}" | xargs -0 clang-format --dry-run -Werror

[ -f "$build/compile_commands.json" ] || { echo "lint: no $build/compile_commands.json (build first)" >&2; exit 1; }
mapfile -t sources < <(printf '%s\n' "${files[@]}" | grep -E '^(quotelib|platform|chart|studies|scan|plot|app|tools)/.*\.cpp$')
python3 scripts/tidy_cached.py "$build" "$build/clang-tidy.log" "${sources[@]}" || {
  sed 's/\x1b\[[0-9;]*m//g' "$build/clang-tidy.log" | grep -E 'error:|warning:' >&2 || cat "$build/clang-tidy.log" >&2
  echo "lint: clang-tidy found problems (whole output in $build/clang-tidy.log)" >&2
  exit 1
}

# The Qt layers: everything under app/ but its Qt-free core, and platform/qt/.
mapfile -t qtSources < <(printf '%s\n' "${sources[@]}" | grep -E '^(app|platform/qt)/' | grep -v '^app/core/')
python3 scripts/tidy_cached.py --clazy "$build" "$build/clazy.log" "${qtSources[@]}" || {
  sed 's/\x1b\[[0-9;]*m//g' "$build/clazy.log" | grep -E 'error:|warning:' >&2 || cat "$build/clazy.log" >&2
  echo "lint: clazy found problems (whole output in $build/clazy.log)" >&2
  exit 1
}
echo "lint: clang-format, clang-tidy and clazy clean (${#sources[@]} sources tidied, ${#qtSources[@]} through clazy)"
