#!/usr/bin/env bash
# The arena's long runs, one after the other in one process at a time and at low priority: the
# move generator's speed, level 1 against Random, level 5 against Greedy, and each level against
# the level below it, in colour-swapped pairs.
#   scripts/arena.sh [BUILD_DIR] [PAIRS_AGAINST_BASELINES] [PAIRS_BETWEEN_LEVELS]
# Defaults: build, 100 pairs (200 matches) and 200 pairs (400 matches). Each run's summary is
# printed as it ends; the matches one by one go to BUILD_DIR/arena-*.txt. ARENA_JOBS (default 2)
# worker processes share each run.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$here/build}"
baseline_pairs="${2:-100}"
level_pairs="${3:-200}"
jobs="${ARENA_JOBS:-2}"
arena="$build/kelmorav_arena"
if [ ! -x "$arena" ]; then
  echo "no $arena: build it first (cmake --build $build --target kelmorav_arena)" >&2
  exit 1
fi

run() {  # run NAME ARGUMENTS...
  local name="$1"
  shift
  echo "== $name"
  nice -n 10 "$arena" --jobs "$jobs" "$@" >"$build/arena-$name.txt"
  grep -v '^pair ' "$build/arena-$name.txt"
}

run perft --perft --pairs 1 --quiet
run level1-random --a 1 --b random --pairs "$baseline_pairs"
run level5-greedy --a 5 --b greedy --pairs "$baseline_pairs"
for level in 2 3 4 5; do
  run "level$level-level$((level - 1))" --a "$level" --b "$((level - 1))" --pairs "$level_pairs"
done
