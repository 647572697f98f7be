#!/usr/bin/env bash
# Sets up and builds the game if needed, then plays it. Arguments go to the game (--help).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# Only the game and its data are built here (the tests, fuzz replays and benchmarks are left to
# ./run-tests.sh), so a first launch is quick; the build shows its progress as it goes.
if [ ! -x "$here/build/kelmorav" ]; then
  echo "Building the game and its data into build/ (first launch only)..." >&2
fi
KELMORAV_BUILD_TARGET=kelmorav "$here/scripts/setup.sh" "$here/build"
exec "$here/build/kelmorav" "$@"
