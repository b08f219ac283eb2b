#!/usr/bin/env bash
# Builds and runs the benchmarks (release build in build-bench/); extra arguments go to Google
# Benchmark, e.g. scripts/bench.sh --benchmark_filter=CalcCarLocation.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-bench"
"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAMVEL_BENCH=ON \
  -DRAMVEL_TESTS=OFF -DRAMVEL_UI=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target ramvel_bench
"$build/bin/ramvel_bench" "$@"
