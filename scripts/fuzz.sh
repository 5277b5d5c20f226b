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

status=0
for target in data_layout find_security read_security; do
  binary="$fuzzdir/fuzz_$target"
  if [ ! -x "$binary" ]; then
    echo "fuzz: $binary is missing (configure with -DTICKVANE_FUZZ=ON)" >&2
    exit 1
  fi
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
