#!/usr/bin/env bash
# Builds and runs the benchmarks (release build in build-bench/); extra arguments go to Google
# Benchmark, e.g. scripts/bench.sh --benchmark_filter=CalcCarLocation.
# scripts/bench.sh chart [...] runs the drawing benchmarks of the time-space diagram and the
# platform chart instead (they need the windows library, built in build-bench-ui/);
# scripts/bench.sh view [...] runs those of the board view's picture (BM_DrawFrame...).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-bench"
"$root/scripts/deps.sh"
if [ "${1:-}" = "chart" ] || [ "${1:-}" = "view" ]; then
  target="ramvel_bench_$1"
  shift
  build="$root/build-bench-ui"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAMVEL_BENCH=ON \
    -DRAMVEL_TESTS=OFF >/dev/null
  cmake --build "$build" --parallel "$(nproc)" --target "$target"
  exec "$build/bin/$target" "$@"
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAMVEL_BENCH=ON \
  -DRAMVEL_TESTS=OFF -DRAMVEL_UI=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target ramvel_bench
"$build/bin/ramvel_bench" "$@"
