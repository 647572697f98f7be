#!/usr/bin/env bash
# Checks that every tracked C++ source is formatted as .clang-format says (clang-format 14).
# To fix a file: clang-format-14 -i FILE.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
format=$(command -v clang-format-14 || command -v clang-format)
if git ls-files -z '*.cpp' '*.h' | xargs -0 "$format" --dry-run --Werror; then
  echo "format: every C++ source follows .clang-format"
else
  echo "format: the files above differ from .clang-format (clang-format-14 -i FILE)" >&2
  exit 1
fi
