#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz", clang with libFuzzer and the address
# and undefined-behaviour sanitizers) and runs each for SECONDS, one after the
# other and at the lowest priority, so that they use only idle time.
#
#   scripts/fuzz.sh                   every target, 60 s each
#   scripts/fuzz.sh name_pattern      one target, 60 s
#   scripts/fuzz.sh all 20            every target, 20 s each
#
# A run starts from the seeds in fuzz/corpus/TARGET and keeps what it learns
# in build-fuzz/corpus/TARGET, so the next run goes on from there. An input
# that breaks a target is saved in build-fuzz/crashes/TARGET/ and the script
# fails once every target has run. Each run's output is in
# build-fuzz/logs/TARGET.log; a summary line per target ends the output.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(ini_file listing_import name_pattern stored_texts volume_marker mount_table catalog_open)
wanted=${1:-all}
seconds=${2:-60}
if [[ "$wanted" != all ]]; then
  [[ " ${targets[*]} " == *" $wanted "* ]] || {
    echo "unknown target '$wanted'; the targets: ${targets[*]}" >&2
    exit 2
  }
  targets=("$wanted")
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake --preset fuzz "${launcher[@]}" >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

out=build-fuzz
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
failed=()
summary=()
for target in "${targets[@]}"; do
  mkdir -p "$out/corpus/$target" "$out/crashes/$target" "$out/logs"
  log="$out/logs/$target.log"
  echo "== fuzz_$target for ${seconds}s" >&2
  status=0
  # One process, no forks or jobs; a hang is an input running 10 s or more.
  TIMEFORMAT='%U %S'
  { time nice -n 19 "$out/fuzz/fuzz_$target" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$out/crashes/$target/" \
      "$out/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?; } 2>"$log.cpu"
  if [[ $status -ne 0 ]]; then
    failed+=("$target")
    tail -n 40 "$log" >&2
  fi
  cpuSeconds=$(awk '{printf "%.0f", $1 + $2}' "$log.cpu")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)
  summary+=("fuzz_$target: ${cpuSeconds:-?} s CPU, ${runs:-?} executions, ${coverage:-no coverage}$([[ $status -eq 0 ]] || echo ', FAILED')")
done
printf '%s\n' "${summary[@]}"
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "broken: ${failed[*]} (inputs in $out/crashes/)" >&2
  exit 1
fi
