#!/usr/bin/env bash
# Builds the benchmarks with their peers installed and runs each of them.
# Every benchmark prints its figures beside a peer measured in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --bench
cmake --preset default >/dev/null
cmake --build --preset default -j2
for b in script_loop_bench expr_eval_bench pack_bench inflate_bench vizud_compile_bench; do
  [[ -x build/bin/$b ]] || continue
  echo "== $b"
  build/bin/$b
done
for b in build/bin/*_bench; do
  case "$(basename "$b")" in
    script_loop_bench|expr_eval_bench|pack_bench|inflate_bench|vizud_compile_bench) ;;
    *) echo "== $(basename "$b")"; "$b" ;;
  esac
done
