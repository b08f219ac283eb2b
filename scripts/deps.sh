#!/usr/bin/env bash
# Installs with apt-get the Debian packages the build, the tests and the tools need, and only
# those that are missing; a quick no-op when everything is already there.
# Usage: deps.sh [fuzz]   (fuzz adds clang and its sanitizer runtimes)
set -euo pipefail

PACKAGES=(
  cmake
  ninja-build
  g++
  libgtest-dev
  libgmock-dev
  pkg-config
  libzip-dev
  libbenchmark-dev
  qt6-base-dev
  qt6-svg-dev
  qt6-qpa-plugins
  qt6-translations-l10n
  fonts-ipafont-gothic
  xvfb
  xauth
  dpkg-dev
  file
)
if [ "${1:-}" = "fuzz" ]; then
  PACKAGES+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "deps: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
