#!/usr/bin/env bash
# Sets up and builds the game if needed, then runs the whole test suite.
#   ./run-tests.sh             normal build in build/
#   ./run-tests.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ "${1:-}" = "--sanitize" ]; then
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
  # The engine's agreement with the rules runs over fewer positions in the slow build.
  export KELMORAV_AGREEMENT_POSITIONS="${KELMORAV_AGREEMENT_POSITIONS:-20000}"
  KELMORAV_BUILD_TYPE=Debug "$here/scripts/setup.sh" "$here/build-asan" -DKELMORAV_SANITIZE=ON -DKELMORAV_WERROR=ON
  cd "$here/build-asan"
else
  "$here/scripts/setup.sh" "$here/build" -DKELMORAV_WERROR="${KELMORAV_WERROR:-OFF}"
  cd "$here/build"
fi
ctest --output-on-failure -j2 --timeout 600
