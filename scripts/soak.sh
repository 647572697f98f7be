#!/usr/bin/env bash
# Long random headless sessions under AddressSanitizer and UndefinedBehaviorSanitizer, every
# state dump checked against the game's invariants (tools/soak).
#   scripts/soak.sh [VIRTUAL_HOURS] [SEEDS...]     default: 1 hour over seeds 1 2 3 4
# The virtual hours are shared out evenly over the seeds; each seed is one session of
# build-soak/kelmorav_soak (see tools/soak/soak_main.cpp), run with nice. The sanitizer build is
# configured once into build-soak/ (the sanitizer flags of ./run-tests.sh --sanitize, optimised
# so that an hour of play costs minutes, not an hour) and only brought up to date afterwards.
# Logs go to build-soak/soak/: per seed the session's summary (.json), its stderr (.err) and
# the script of its input (.txt), which `kelmorav --headless --seed SEED --script FILE` replays.
# Environment: KELMORAV_SOAK_BUILD (build directory), KELMORAV_SOAK_DATA (a directory holding
# DATA, instead of generating it in the build directory), KELMORAV_SOAK_JOBS (sessions at once,
# default 1), KELMORAV_SOAK_TIMEOUT (real seconds a session may take, default twice its
# virtual time, at least ten minutes: a session still running then has hung),
# KELMORAV_SOAK_BUDGET (real seconds for the whole soak: sessions still running then are asked
# to stop where they are, and the summary counts the virtual time they played).
# A session asked to stop (SIGUSR1) ends cleanly at its next input; one that does not within two
# minutes has hung.
# Exit status 0 when every session played its time with no sanitizer report, no hang and no
# broken invariant; 1 otherwise, naming the sessions that failed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
hours="${1:-1}"
shift || true
seeds=("$@")
((${#seeds[@]})) || seeds=(1 2 3 4)
if ! [[ "$hours" =~ ^[0-9]+([.][0-9]+)?$ ]] || [ "$(awk -v h="$hours" 'BEGIN{print (h>0)}')" != 1 ]; then
  echo "soak.sh: VIRTUAL_HOURS must be a positive number, not $hours" >&2
  exit 2
fi
for s in "${seeds[@]}"; do
  [[ "$s" =~ ^[0-9]+$ ]] || { echo "soak.sh: a seed is a whole number, not $s" >&2; exit 2; }
done

build="${KELMORAV_SOAK_BUILD:-$here/build-soak}"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
targets="kelmorav_soak"
data_args=()
if [ -n "${KELMORAV_SOAK_DATA:-}" ]; then
  data_args=(--data "$KELMORAV_SOAK_DATA")
else
  targets="kelmorav_soak kelmorav_data"
fi
if [ -f "$build/build.ninja" ]; then
  cmake --build "$build" -j2 $(printf -- '--target %s ' $targets) >/dev/null
else
  KELMORAV_BUILD_TARGETS="$targets" "$here/scripts/setup.sh" "$build" \
    -DKELMORAV_SANITIZE=ON -DKELMORAV_WERROR=ON >/dev/null
fi

minutes=$(awk -v h="$hours" -v n="${#seeds[@]}" 'BEGIN{printf "%.4f", h*60/n}')
limit="${KELMORAV_SOAK_TIMEOUT:-$(awk -v m="$minutes" 'BEGIN{t=m*120; if(t<600)t=600; printf "%d", t}')}"
jobs="${KELMORAV_SOAK_JOBS:-1}"
budget="${KELMORAV_SOAK_BUDGET:-}"
deadline=$(( $(date +%s) + ${budget:-0} ))
out="$build/soak"
mkdir -p "$out"
echo "soak: $hours virtual hours over seeds ${seeds[*]} ($minutes virtual minutes each), logs in $out"

run_seed() {
  local s="$1" status=0 seconds="$limit"
  if [ -n "$budget" ]; then
    seconds=$((deadline - $(date +%s)))
    ((seconds > 0)) || seconds=1
  fi
  /usr/bin/time -f "%U %S" -o "$out/seed-$s.cpu" \
    nice -n 5 timeout --preserve-status -s USR1 -k 120 "$seconds" "$build/kelmorav_soak" --seed "$s" --minutes "$minutes" \
    "${data_args[@]}" --log "$out/seed-$s.txt" >"$out/seed-$s.json" 2>"$out/seed-$s.err" ||
    status=$?
  echo "$status" >"$out/seed-$s.status"
}

running=0
for s in "${seeds[@]}"; do
  rm -f "$out/seed-$s".*
  run_seed "$s" &
  running=$((running + 1))
  if ((running >= jobs)); then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

field() {  # field SUMMARY NAME: the number, 0 when absent
  local v
  v=$(grep -o "\"$2\":[0-9]*" "$1" 2>/dev/null | head -n1 | cut -d: -f2 || true)
  echo "${v:-0}"
}
failed=()
total_cpu=0
total_ms=0
for s in "${seeds[@]}"; do
  status=$(cat "$out/seed-$s.status")
  summary="$out/seed-$s.json"
  cpu=$(awk '{printf "%.1f", $1+$2}' "$out/seed-$s.cpu" 2>/dev/null || echo 0)
  total_cpu=$(awk -v a="$total_cpu" -v b="$cpu" 'BEGIN{printf "%.1f", a+b}')
  total_ms=$((total_ms + $(field "$summary" virtualMs)))
  why=""
  if [ "$status" = 137 ]; then
    why="hung (did not stop when asked)"
  elif [ -z "$budget" ] && grep -q '"stoppedEarly":true' "$summary"; then
    why="hung or too slow (stopped after $limit real seconds, short of its virtual time)"
  elif grep -qE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" "$out/seed-$s.err"; then
    why="sanitizer report"
  elif [ "$status" != 0 ]; then
    why="exit status $status"
  elif ! grep -q '"invariantsKept":true' "$summary"; then
    why="no summary"
  fi
  printf 'seed %s: %s virtual s, %s CPU s, matches %s, results %s (kings taken %s, forfeits %s), dumps %s%s\n' \
    "$s" "$(($(field "$summary" virtualMs) / 1000))" "$cpu" \
    "$(field "$summary" matches)" "$(field "$summary" results)" "$(field "$summary" kingsTaken)" \
    "$(field "$summary" forfeits)" "$(field "$summary" dumpsChecked)" "${why:+: FAILED, $why}"
  [ -z "$why" ] || failed+=("$s")
done
echo "scenes entered:"
for scene in TITLE MATCH RESULT MELT ENDING_FIRE CREDITS ENDING_CLOSE; do
  n=0
  for s in "${seeds[@]}"; do
    n=$((n + $(field "$out/seed-$s.json" "SCENE_$scene")))
  done
  printf '  %-14s %d\n' "$scene" "$n"
done
echo "virtual time played: $(awk -v ms="$total_ms" 'BEGIN{printf "%.2f", ms/3600000}') hours"
echo "total CPU time: $total_cpu s"
if ((${#failed[@]})); then
  echo "soak FAILED for seeds ${failed[*]}: see $out/seed-SEED.err" >&2
  exit 1
fi
echo "soak passed"
