#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour sanitizers) and runs
# each for the given number of seconds (default 60) on a copy of its seed corpus.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
secs="${1:-60}"
build="$root/build-fuzz"
"$root/scripts/deps.sh" fuzz
san="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fsanitize=fuzzer-no-link"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DRAMVEL_FUZZ=ON -DRAMVEL_TESTS=OFF -DRAMVEL_UI=OFF \
  -DCMAKE_CXX_FLAGS="$san" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
status=0
for exe in "$build"/bin/fuzz_*; do
  [ -x "$exe" ] || continue
  name="$(basename "$exe")"
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  [ -d "$root/fuzz/corpus/$name" ] && cp -n "$root/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null || true
  echo "== $name for ${secs}s"
  if ! (cd "$build" && "$exe" -max_total_time="$secs" -rss_limit_mb=2048 -timeout=10 \
        -max_len=65536 "$corpus" 2>&1 | tail -n 5); then
    status=1
  fi
done
exit $status
