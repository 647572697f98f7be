#!/usr/bin/env bash
# Builds the libFuzzer targets (clang-14, instrumented, into build-fuzz/) and runs each one in
# turn from its saved corpus in fuzz/corpus/NAME for RUNS inputs (default 1000000), one target at
# a time so that it fits two cores. New finds are merged into the saved corpus with -merge=1,
# which keeps only inputs that reach something the corpus did not, so it stays small.
#   scripts/fuzz.sh [RUNS] [TARGET...]      e.g. scripts/fuzz.sh 10000000 layout blend
# Prints one line per target (executions, coverage, features, corpus, time) and writes the table
# to build-fuzz/fuzz-report.md. A target that finds a fault leaves its input in
# build-fuzz/fuzz-work/NAME/ and makes the script exit 1.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-1000000}"
shift || true
build="$here/build-fuzz"

if (($#)); then
  names=("$@")
else
  names=()
  for src in "$here"/fuzz/*_fuzz.cpp; do
    n="$(basename "$src" .cpp)"
    names+=("${n%_fuzz}")
  done
fi
targets=()
for n in "${names[@]}"; do targets+=("${n}_fuzz"); done

CC=clang-14 CXX=clang++-14 KELMORAV_BUILD_TARGETS="${targets[*]}" \
  "$here/scripts/setup.sh" "$build" -DKELMORAV_FUZZ=ON

report="$build/fuzz-report.md"
{
  echo "| target | execs | cov | ft | corpus files | corpus bytes | time (s) | result |"
  echo "|---|---|---|---|---|---|---|---|"
} > "$report"

failed=0
for n in "${names[@]}"; do
  corpus="$here/fuzz/corpus/$n"
  work="$build/fuzz-work/$n"
  rm -rf "$work"
  mkdir -p "$work/new" "$corpus"
  log="$work/fuzz.log"
  start=$(date +%s)
  result=clean
  # New finds go to the first directory; the saved corpus is only read here.
  if ! nice -n 10 "$build/${n}_fuzz" -runs="$runs" -timeout=25 -print_final_stats=1 \
       -artifact_prefix="$work/" "$work/new" "$corpus" > "$log" 2>&1; then
    result="FAULT: $(ls "$work" | grep -E '^(crash|leak|timeout|oom)-' | head -1 || true)"
    failed=1
  fi
  seconds=$(($(date +%s) - start))
  nice -n 10 "$build/${n}_fuzz" -merge=1 "$corpus" "$work/new" > "$work/merge.log" 2>&1
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  status=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<< "$status")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<< "$status")
  files=$(find "$corpus" -type f | wc -l)
  bytes=$(find "$corpus" -type f -printf '%s\n' | awk '{s += $1} END {print s + 0}')
  echo "| $n | ${execs:-?} | ${cov:-?} | ${ft:-?} | $files | $bytes | $seconds | $result |" \
    | tee -a "$report"
done
echo "report: $report"
exit "$failed"
