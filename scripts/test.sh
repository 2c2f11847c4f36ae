#!/usr/bin/env bash
# Builds Nivalo and runs the whole test suite. Installs what is missing first.
#   scripts/test.sh            release build with debug info, all tests
#   scripts/test.sh --asan     AddressSanitizer + UndefinedBehaviorSanitizer build
#   scripts/test.sh --tsan     ThreadSanitizer build: the threaded tests (ctest label
#                              "threaded", built by the target threaded_tests)
set -euo pipefail
cd "$(dirname "$0")/.."

preset=default
case "${1:-}" in
  --asan) preset=asan ;;
  --tsan) preset=tsan ;;
  "") ;;
  *) echo "usage: scripts/test.sh [--asan|--tsan]" >&2; exit 2 ;;
esac

scripts/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset "$preset" >/dev/null
if [[ $preset == tsan ]]; then
  cmake --build --preset "$preset" -j "$jobs" --target threaded_tests
  ctest --preset "$preset" -j "$jobs" -L threaded
else
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
fi
