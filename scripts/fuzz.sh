#!/bin/bash
# fuzz.sh <fuzz-build-dir> [seconds]: runs every libFuzzer target of tests/fuzz for that many
# seconds (60 by default), one after the other, each from its committed corpus
# (tests/fuzz/corpus/<target>) plus what earlier runs found (<build>/corpus/<target>). Crashing
# inputs are kept as <build>/artifacts/<target>-crash-*. Prints one line per target and fails when
# any target crashed. FUZZ_MERGE=1 afterwards adds the inputs that reach new code to the committed
# corpus (libFuzzer's -merge, which keeps only what adds coverage).
set -uo pipefail
build=$(realpath "$1")
seconds=${2:-60}
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$build/artifacts"
printf '%-10s %12s %8s %8s %10s\n' target executions seconds crashes corpus
failed=0
for target in ini_texts layout bitmap scenario icon; do
  exe="$build/tests/fuzz/${target}_fuzz"
  found="$build/corpus/$target"
  committed="$src/tests/fuzz/corpus/$target"
  log="$build/${target}.log"
  mkdir -p "$found"
  rm -f "$build/artifacts/${target}-"*
  start=$(date +%s)
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/${target}-" \
    "$found" "$committed" >"$log" 2>&1
  status=$?
  elapsed=$(($(date +%s) - start))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  crashes=$(ls "$build/artifacts/${target}-"{crash,leak,timeout,oom}-* 2>/dev/null | wc -l)
  [ "$status" -ne 0 ] && [ "$crashes" -eq 0 ] && crashes=1
  printf '%-10s %12s %8s %8s %10s\n' "$target" "${runs:-?}" "$elapsed" "$crashes" \
    "$(ls "$found" | wc -l)+$(ls "$committed" | wc -l)"
  if [ "$crashes" -ne 0 ]; then
    failed=1
    echo "  see $log and $build/artifacts/" >&2
  fi
  if [ "${FUZZ_MERGE:-0}" = 1 ] && [ "$crashes" -eq 0 ]; then
    "$exe" -merge=1 -use_counters=0 -max_len=65536 "$committed" "$found" >>"$log" 2>&1
  fi
done
exit $failed
