#!/usr/bin/env bash
# Builds Nivalo and runs the whole test suite. Installs what is missing first.
#   scripts/test.sh            release build with debug info, all tests
#   scripts/test.sh --asan     AddressSanitizer + UndefinedBehaviorSanitizer build
#   scripts/test.sh --tsan     ThreadSanitizer build
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
cmake --build --preset "$preset" -j "$jobs"
ctest --preset "$preset" -j "$jobs"
