#!/usr/bin/env bash
# Writes screenshots of the title, a match, the result screen, the ending and the player aids
# (kind labels, help cards), headless with a fixed seed, into OUTDIR (default: screens/). Build
# first (./kelmorav.sh or ./run-tests.sh).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(mkdir -p "${1:-screens}" && cd "${1:-screens}" && pwd)"
for script in "$here"/scripts/screens/*.txt; do
  sed "s|OUT/|$out/|g" "$script" > "$out/.script.txt"
  "$here/build/kelmorav" --headless --seed 5 --script "$out/.script.txt"
done
rm -f "$out/.script.txt"
ls "$out"
