#!/usr/bin/env bash
# Builds Nivalo and runs the whole test suite. Installs what is missing first.
#   scripts/test.sh            release build with debug info, all tests
#   scripts/test.sh --asan     AddressSanitizer + UndefinedBehaviorSanitizer build
#   scripts/test.sh --tsan     ThreadSanitizer build: the threaded tests (ctest label
#                              "threaded", built by the target threaded_tests)
#   scripts/test.sh --clang-asan
#                              the clang build with AddressSanitizer + UndefinedBehavior-
#                              Sanitizer that also holds the fuzz targets (preset fuzz):
#                              every test but those labelled "slow" (the thousand runs of
#                              nivalo over damaged titles, the 8192 x 8192 save), which
#                              take many minutes under the sanitizers
set -euo pipefail
cd "$(dirname "$0")/.."

preset=default
case "${1:-}" in
  --asan) preset=asan ;;
  --tsan) preset=tsan ;;
  --clang-asan) preset=fuzz ;;
  "") ;;
  *) echo "usage: scripts/test.sh [--asan|--tsan|--clang-asan]" >&2; exit 2 ;;
esac

if [[ $preset == fuzz ]]; then scripts/install-deps.sh --fuzz; else scripts/install-deps.sh; fi
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset "$preset" >/dev/null
if [[ $preset == tsan ]]; then
  cmake --build --preset "$preset" -j "$jobs" --target threaded_tests
  ctest --preset "$preset" -j "$jobs" -L threaded
elif [[ $preset == fuzz ]]; then
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs" -LE slow
else
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
fi
