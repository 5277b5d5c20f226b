#!/usr/bin/env bash
# `make lint`: clang-format over every C++ file of ours, then clang-tidy (.clang-tidy at the
# root) over the program's own sources through the build's compile database. The tests and
# benchmarks are formatted but not tidied: they are most of the parsing time (GoogleTest and Qt
# Test headers) and hold no code that ships.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."

git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

[ -f "$build/compile_commands.json" ] || { echo "lint: no $build/compile_commands.json (build first)" >&2; exit 1; }
mapfile -t sources < <(git ls-files 'quotelib/*.cpp' 'platform/*.cpp' 'chart/*.cpp' 'studies/*.cpp' 'app/*.cpp' 'tools/*.cpp')
python3 scripts/tidy_cached.py "$build" "$build/clang-tidy.log" "${sources[@]}" || {
  sed 's/\x1b\[[0-9;]*m//g' "$build/clang-tidy.log" | grep -E 'error:|warning:' >&2 || cat "$build/clang-tidy.log" >&2
  echo "lint: clang-tidy found problems (whole output in $build/clang-tidy.log)" >&2
  exit 1
}
echo "lint: clang-format and clang-tidy clean (${#sources[@]} sources tidied)"
