#!/usr/bin/env bash
# Installs the Debian packages Pelmora builds, tests and runs with, but only
# those that are missing, so a second call is quick.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config ccache clang-format
  qt6-base-dev libsqlite3-dev libxlsxwriter-dev zlib1g-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 fonts-dejavu-core
  xvfb xauth openbox unzip
  poppler-utils
)
if [ "${1:-}" = "--asan" ]; then
  packages+=(libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
