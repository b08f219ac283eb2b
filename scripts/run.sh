#!/usr/bin/env bash
# The run command: installs what is missing, builds the program and starts it. Without a display
# it says so in one line, renders the sample board at 08:00 to a PNG with ramvel-cli and prints
# the PNG's path.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${RAMVEL_BUILD_DIR:-$root/build}"

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

# Build only what running needs.
cmake --build "$build" --parallel "$(nproc)" --target ramvel ramvel_data
bin="$build/bin"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$bin/ramvel"
fi

echo "run: no display (DISPLAY and WAYLAND_DISPLAY are unset), so the window cannot open; rendering the sample board at 08:00 instead"
# The sample board: a board folder of the program folder, or one copied there from data/boards/.
board=""
for dir in "$bin"/boards/*/ "$bin"/*/; do
  if [ -f "$dir/Board.txt" ] && [ -f "$dir/Land.bmp" ]; then
    board="${dir%/}"
    break
  fi
done
if [ -z "$board" ]; then
  echo "run: there is no sample board under data/boards/ yet, so there is nothing to render" >&2
  exit 1
fi
if ! cmake --build "$build" --target help | grep -q '^ramvel-cli:'; then
  echo "run: ramvel-cli is not part of this tree yet, so the board cannot be rendered" >&2
  exit 1
fi
log="$build/ramvel-cli-build.log"
if ! cmake --build "$build" --parallel "$(nproc)" --target ramvel-cli >"$log" 2>&1; then
  echo "run: ramvel-cli could not be built; see $log" >&2
  exit 1
fi
out="$build/$(basename "$board")-0800.png"
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="*.warning=false" "$bin/ramvel-cli" render "$board" "$out" --time 8:00 >/dev/null
echo "$out"
