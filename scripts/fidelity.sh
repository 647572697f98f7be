#!/usr/bin/env bash
# Writes everything a headless run of the game shows, plays and traces into OUTDIR, so that two
# builds can be compared with `diff -r`: a change that is not meant to alter the game must leave
# the two folders identical.
#   scripts/fidelity.sh BUILD_DIR OUTDIR [SESSIONS_DIR]
# What it writes, each session with --seed fixed, --trace and --dump-at-end:
#   DATA/            the generated data, copied (palet.dat included)
#   screens/NAME/    every script of scripts/screens (title, match, result, ending, credits, aids)
#   replays/NAME/    every match of tests/replays on its own opening layout
#   sessions/NAME/   every script of SESSIONS_DIR (default: none); a long random session written
#                    by kelmorav_soak with one build (seed-N.txt, played with seed N) can be
#                    replayed here by another
#   recording/       a session recorded by this build and replayed headless by this build; with
#                    KELMORAV_FIDELITY_RECORDING=FILE, that recording (made by another build) is
#                    replayed instead, and its trace and dump kept
# Every file is written under OUTDIR; nothing else is touched.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD_DIR OUTDIR [SESSIONS_DIR]" >&2
  exit 2
fi
build="$(cd "$1" && pwd)"
mkdir -p "$2"
out="$(cd "$2" && pwd)"
sessions="${3:-}"
game="$build/kelmorav"
[ -x "$game" ] || { echo "$0: no game at $game" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

rm -rf "$out/DATA"
cp -r "$build/DATA" "$out/DATA"
rm -f "$out/DATA/.stamp"

# run NAME DIR DATA_PARENT SCRIPT: one headless session, its outputs into DIR. The seed is 7, or
# N for a script named seed-N (as kelmorav_soak names the sessions it writes).
run() {
  local name="$1" dir="$2" data="$3" script="$4" status=0 seed=7
  if [[ "$name" =~ ^seed-([0-9]+)$ ]]; then seed="${BASH_REMATCH[1]}"; fi
  mkdir -p "$dir"
  sed "s|OUT/|$dir/|g" "$script" > "$work/$name.txt"
  "$game" --headless --seed "$seed" --data "$data" --script "$work/$name.txt" \
    --trace "$dir/trace.jsonl" --dump-at-end "$dir/end.json" 2> "$dir/stderr.txt" || status=$?
  echo "$status" > "$dir/status"
}

for script in "$here"/scripts/screens/*.txt; do
  name="$(basename "$script" .txt)"
  run "$name" "$out/screens/$name" "$build" "$script"
done

for script in "$here"/tests/replays/*.txt; do
  name="$(basename "$script" .txt)"
  layout="$(sed -nE 's|^# Layout: layouts/([^ ]+\.dat).*|\1|p' "$script" | head -n 1)"
  mkdir -p "$work/$name"
  cp -r "$build/DATA" "$work/$name/DATA"
  if [ -n "$layout" ]; then
    cp "$here/tests/replays/layouts/$layout" "$work/$name/DATA/TXT/SYOGI.dat"
  fi
  run "$name" "$out/replays/$name" "$work/$name" "$script"
done

if [ -n "$sessions" ]; then
  for script in "$sessions"/*.txt; do
    name="$(basename "$script" .txt)"
    run "$name" "$out/sessions/$name" "$build" "$script"
  done
fi

# A recording, replayed: made here from the match script unless one is given.
mkdir -p "$out/recording"
recording="${KELMORAV_FIDELITY_RECORDING:-}"
if [ -z "$recording" ]; then
  recording="$out/recording/session.rec"
  sed "s|OUT/|$work/|g" "$here/scripts/screens/match.txt" > "$work/recorded.txt"
  "$game" --headless --seed 7 --data "$build" --script "$work/recorded.txt" \
    --record "$recording" --clock-start 1000 > /dev/null 2>&1 || true
fi
status=0
"$game" --headless --data "$build" --replay "$recording" --trace "$out/recording/trace.jsonl" \
  --dump-at-end "$out/recording/end.json" 2> "$out/recording/stderr.txt" || status=$?
echo "$status" > "$out/recording/status"
# The recording names the data folder's fingerprint and the version only; its comment line
# holds the command that made it, with this run's paths, so it is left out of the comparison.
if [ -f "$out/recording/session.rec" ]; then
  grep -v '^#' "$out/recording/session.rec" > "$out/recording/session.lines"
  rm "$out/recording/session.rec"
fi
# Paths of this run (the build, the output and the scratch folders) are written as BUILD, OUT and
# WORK, so that runs from different places compare equal.
find "$out" -type f \( -name '*.jsonl' -o -name '*.json' -o -name '*.txt' -o -name '*.lines' \) \
  -not -path "$out/DATA/*" -print0 |
  xargs -0 -r sed -i -e "s|$work|WORK|g" -e "s|$out|OUT|g" -e "s|$build|BUILD|g"
echo "fidelity: $(find "$out" -type f | wc -l) files in $out"
