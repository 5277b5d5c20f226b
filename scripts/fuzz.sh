#!/usr/bin/env bash
# `make fuzz`: runs every fuzz target of the sanitizer build for SECONDS each, starting from
# the checked-in seeds and regression inputs. New corpus entries stay in the build tree;
# crashes are written to BUILD/tests/fuzz/artifacts and make the script fail. Copy a crash
# into tests/fuzz/regressions/<target>/ and add a unit test for it.
set -euo pipefail
build=${1:-build-san}
seconds=${2:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
fuzzdir="$build/tests/fuzz"
[ -d /dev/shm ] && export TMPDIR=/dev/shm

# Every target the build made, so a new fuzzer gets long runs without being listed here.
binaries=()
for binary in "$fuzzdir"/fuzz_*; do
  [ -f "$binary" ] && [ -x "$binary" ] && binaries+=("$binary")
done
if [ ${#binaries[@]} -eq 0 ]; then
  echo "fuzz: no fuzz targets in $fuzzdir (configure with -DTICKVANE_FUZZ=ON)" >&2
  exit 1
fi

status=0
for binary in "${binaries[@]}"; do
  target=${binary##*/fuzz_}
  mkdir -p "$fuzzdir/corpus/$target" "$fuzzdir/artifacts"
  echo "fuzz: $target for ${seconds}s"
  if ! "$binary" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
      -artifact_prefix="$fuzzdir/artifacts/$target-" \
      "$fuzzdir/corpus/$target" "$here/tests/fuzz/corpus/$target" \
      "$here/tests/fuzz/regressions/$target" 2> "$fuzzdir/$target.log"; then
    echo "fuzz: $target FAILED, see $fuzzdir/$target.log" >&2
    status=1
  fi
  grep -E '^stat::number_of_executed_units|^Done' "$fuzzdir/$target.log" || true
done
exit $status
