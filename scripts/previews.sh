#!/usr/bin/env bash
# Writes PNG previews for judging the artwork by eye into OUTDIR (default: previews/): every
# sheet and palette from the data generator, then shots of the real game run headless on the
# built DATA: the board in each of the ten tile styles, the opening banners over the dimmed
# board, a piece picked up and its hop, the result screen, and (on the capture layout of
# tests/replays) a capture's shatter, the promotion prompt and the placing panel. Every run has a
# fixed seed, so the previews are the same on every machine.
#   scripts/previews.sh [--build BUILD_DIR] [OUTDIR]
# The generator and the game are the ones in BUILD_DIR, else in $KELMORAV_BUILD, else in build/;
# build first (./run-tests.sh). The previews are made in a scratch folder and moved into OUTDIR
# only when all of them were made, so a run that fails leaves nothing behind.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/scripts/build_option.sh"
read_build_and_outdir previews "$@"
for tool in kelmorav kelmorav_datagen; do
  [ -x "$build/$tool" ] || { echo "$0: no $tool in $build (build first, or name the build directory)" >&2; exit 2; }
done
build="$(cd "$build" && pwd)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM HUP
out="$work/previews"
mkdir "$out"

"$build/kelmorav_datagen" --preview "$out"

# Runs scripts/previews/NAME.txt headless with a seed on the data in DATADIR, its shots and
# dumps going to $work: run NAME SEED DATADIR
run() {
  sed "s|OUT/|$work/|g" "$here/scripts/previews/$1.txt" > "$work/script.txt"
  "$build/kelmorav" --headless --seed "$2" --data "$3" --script "$work/script.txt" 2>/dev/null
}

# The board tile is drawn by the seed: try seeds in order and keep the first board of each style.
found=0
for seed in $(seq 1 200); do
  run board "$seed" "$build"
  style=$(grep -o '"BoardTileStyle":[0-9]*' "$work/board.json" | cut -d: -f2)
  if [ ! -e "$out/match-tile-style$style.png" ]; then
    mv "$work/board.png" "$out/match-tile-style$style.png"
    found=$((found + 1))
  fi
  [ "$found" -lt 10 ] || break
done

run match 5 "$build"
mv "$work"/match-*.png "$work"/result.png "$out/"

# The capture layout in a copy of the data.
mkdir -p "$work/data"
cp -r "$build/DATA" "$work/data/"
cp "$here/tests/replays/layouts/capture.dat" "$work/data/DATA/TXT/SYOGI.dat"
run capture 7 "$work/data"
mv "$work"/capture-*.png "$out/"

mkdir -p "$outdir"
mv "$out/"* "$outdir/"
ls "$outdir"
