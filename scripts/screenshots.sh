#!/usr/bin/env bash
# Writes screenshots of the title, a match, the result screen, the ending and the player aids
# (kind labels, help cards), headless with a fixed seed, into OUTDIR (default: screens/).
#   scripts/screenshots.sh [--build BUILD_DIR] [OUTDIR]
# The game is the one in BUILD_DIR, else in $KELMORAV_BUILD, else in build/; build it first
# (./kelmorav.sh or ./run-tests.sh). The shots are taken in a scratch folder and moved into
# OUTDIR only when every one was taken, so a run that fails leaves nothing behind.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/scripts/build_option.sh"
read_build_and_outdir screens "$@"
game="$build/kelmorav"
[ -x "$game" ] || { echo "$0: no game at $game (build first, or name the build directory)" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM HUP
mkdir "$work/shots"
for script in "$here"/scripts/screens/*.txt; do
  sed "s|OUT/|$work/shots/|g" "$script" > "$work/script.txt"
  "$game" --headless --seed 5 --script "$work/script.txt"
done
mkdir -p "$outdir"
mv "$work/shots/"* "$outdir/"
ls "$outdir"
