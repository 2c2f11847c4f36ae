#!/usr/bin/env bash
# Builds the fuzz preset, makes the seed files and runs every fuzz target
# the preset builds for a fixed time on its corpus. Fails when a target
# crashes, hangs or a sanitizer reports; the input that did it is kept under
# build-fuzz/findings/<target>/.
#   scripts/fuzz.sh [SECONDS]   seconds per target (default 20)
# Two targets run at a time. NIVALO_FUZZ_JOBS sets how many.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
jobs=${NIVALO_FUZZ_JOBS:-2}

scripts/install-deps.sh --fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target fuzz_targets
scripts/fuzz-seeds.sh build-fuzz build-fuzz/seeds >/dev/null

mapfile -t targets < <(grep -v '^$' build-fuzz/fuzz_targets.txt)
rm -rf build-fuzz/corpus build-fuzz/findings build-fuzz/logs
mkdir -p build-fuzz/corpus build-fuzz/findings build-fuzz/logs

seed_dirs() {
  local t=$1 kinds
  kinds=$(awk -v t="$t" '$1 == t { $1 = ""; print }' fuzz/seeds.txt)
  for k in $kinds; do echo "build-fuzz/seeds/$k"; done
  [[ -d fuzz/corpus/$t ]] && echo "fuzz/corpus/$t"
  return 0
}

# One target: a fresh working corpus first (new inputs land there), the
# seeds after it; a crash input is written to findings/.
run_target() {
  local t=$1 dict=()
  mkdir -p "build-fuzz/corpus/$t" "build-fuzz/findings/$t"
  [[ -f fuzz/$t.dict ]] && dict=("-dict=fuzz/$t.dict")
  mapfile -t seeds < <(seed_dirs "$t")
  timeout $((seconds + 120)) "build-fuzz/bin/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$t/" "${dict[@]}" \
    "build-fuzz/corpus/$t" "${seeds[@]}" >"build-fuzz/logs/$t.log" 2>&1
}

# A line per target: runs, coverage, corpus size and the outcome.
summary() {
  local t=$1 rc=$2 log=build-fuzz/logs/$1.log runs cov units
  runs=$(awk '/stat::number_of_executed_units:/ { print $2 }' "$log" | tail -1)
  cov=$({ grep -o 'cov: [0-9]*' "$log" || true; } | tail -1 | cut -d' ' -f2)
  units=$(find "build-fuzz/corpus/$t" -type f | wc -l)
  local seeds=0 d
  for d in $(seed_dirs "$t"); do seeds=$((seeds + $(find "$d" -type f | wc -l))); done
  printf '%-24s %s  %8s runs  cov %5s  seeds %3d  new corpus %4d\n' "$t" \
    "$([[ $rc == 0 ]] && echo ok || echo "FAILED ($rc)")" "${runs:-?}" "${cov:-?}" "$seeds" "$units"
}

echo "fuzz: ${#targets[@]} targets, ${seconds} s each, $jobs at a time"
declare -A pid_of=()
failed=0
finish_one() {
  local done_pid rc t
  set +e
  wait -n -p done_pid
  rc=$?
  set -e
  t=${pid_of[$done_pid]}
  unset "pid_of[$done_pid]"
  summary "$t" "$rc"
  if [[ $rc != 0 ]]; then
    failed=1
    sed -n '/==ERROR\|runtime error\|deadly signal\|ALARM\|Test unit written/,+25p' "build-fuzz/logs/$t.log" | head -60
  fi
}
for t in "${targets[@]}"; do
  while (( ${#pid_of[@]} >= jobs )); do finish_one; done
  run_target "$t" &
  pid_of[$!]=$t
done
while (( ${#pid_of[@]} > 0 )); do finish_one; done
if (( failed )); then
  echo "fuzz: FAILED (inputs under build-fuzz/findings/, logs under build-fuzz/logs/)"
  exit 1
fi
echo "fuzz: every target ran clean"
