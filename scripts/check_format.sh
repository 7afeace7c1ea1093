#!/usr/bin/env bash
# Checks that every tracked C and C++ file follows the house layout
# (.clang-format). With file arguments, checks only those.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
fi
[ ${#files[@]} -eq 0 ] && exit 0
clang-format --dry-run --Werror "${files[@]}"
echo "Layout check: ${#files[@]} files follow .clang-format."
