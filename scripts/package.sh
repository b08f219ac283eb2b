#!/usr/bin/env bash
# Builds the Debian package of Ramvel: installs what is missing (deps.sh), configures and builds
# the programs into build/ (RAMVEL_BUILD_DIR chooses another folder) and makes
# build/package/ramvel_VERSION_ARCH.deb with CPack. Its last line of output is the package's path.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${RAMVEL_BUILD_DIR:-$root/build}"

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target ramvel ramvel-cli ramvel_desktop >&2
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package" >&2)
debs=("$build"/package/*.deb)
[ -f "${debs[0]}" ] || { echo "package: no package was made" >&2; exit 1; }
echo "${debs[0]}"
