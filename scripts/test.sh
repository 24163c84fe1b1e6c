#!/usr/bin/env bash
# Builds Pelmora and runs its whole test suite through CTest, headless.
#   scripts/test.sh          normal build in build/
#   scripts/test.sh --asan   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."

mode="normal"
[ "${1:-}" = "--asan" ] && mode="asan"

bash scripts/deps.sh ${1:-}

# Every C++ source follows the root .clang-format; a file that does not fails the run.
if git rev-parse --git-dir >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
fi

if [ "$mode" = "asan" ]; then
  dir=build-asan
  flags=(-DCMAKE_BUILD_TYPE=Debug -DPELMORA_SANITIZE=ON -DPELMORA_BENCH=OFF)
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  dir=build
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi

cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure -j "$(nproc)"
