#!/usr/bin/env bash
# Sets up and builds the game if needed, then plays it. Arguments go to the game (--help).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh" "$here/build"
exec "$here/build/kelmorav" "$@"
