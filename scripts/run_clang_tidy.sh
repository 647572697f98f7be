#!/usr/bin/env bash
# Runs clang-tidy (14, the checks in .clang-tidy) over the game's sources in src/, with the
# compile commands of a build: scripts/run_clang_tidy.sh [BUILD_DIR] (default: build). Two files
# at a time; fails on any finding.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$here/build}"
cd "$here"
if [ ! -f "$build/compile_commands.json" ]; then
  echo "no $build/compile_commands.json: build first (./run-tests.sh)" >&2
  exit 1
fi
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
if git ls-files -z 'src/*.cpp' | xargs -0 -P2 -n4 "$tidy" -p "$build" --quiet 2>/dev/null; then
  echo "clang-tidy: no findings in src/"
else
  echo "clang-tidy found faults (above)" >&2
  exit 1
fi
