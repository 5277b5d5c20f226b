#!/usr/bin/env bash
# `make bench`: runs every benchmark of the build (the tickvane_bench binary gathers all
# bench/*_bench.cpp files). Extra arguments go to Google Benchmark, e.g.
#   scripts/bench.sh build --benchmark_filter=Read
set -euo pipefail
build=${1:-build}
shift || true
cmake --build "$build" --target tickvane_bench
"$build/bench/tickvane_bench" "$@"
