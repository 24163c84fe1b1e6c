#!/usr/bin/env bash
# Builds Pelmora in Release and starts it. Without a display it runs under
# Xvfb so that the program still comes up.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELMORA_BENCH=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target pelmora

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Pelmora under Xvfb."
  exec xvfb-run -a build-release/app/pelmora "$@"
fi
exec build-release/app/pelmora "$@"
