#!/usr/bin/env bash
# The test command: installs what is missing, configures, builds, runs every test through ctest
# and checks that the Debian package installs and runs. Its exit code is the result.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${RAMVEL_BUILD_DIR:-$root/build}"

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --parallel "$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
# The Debian package installs and runs (a few seconds on the build just made).
RAMVEL_BUILD_DIR="$build" "$root/scripts/check_package.sh"
