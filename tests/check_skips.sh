#!/usr/bin/env bash
# Reads ctest's output (a file, or stdin) and fails when a test was skipped
# that tests/skips_by_design.txt does not list. ./test.sh runs it after each
# ctest run, so that the run ends with no skips beyond that list.
# usage: check_skips.sh [CTEST_OUTPUT]
set -euo pipefail
allowed=$(grep -v '^#' "$(dirname "$0")/skips_by_design.txt" | sed '/^$/d')
# ctest ends with "The following tests did not run:" and lines
# "<tab> 12 - Name (Skipped)".
skipped=$(sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (Skipped)$/\1/p' "${1:-/dev/stdin}")
unexpected=""
count=0
while IFS= read -r name; do
  [ -n "$name" ] || continue
  count=$((count + 1))
  grep -qxF "$name" <<<"$allowed" || unexpected+="  $name"$'\n'
done <<<"$skipped"
if [ -n "$unexpected" ]; then
  printf 'FAIL: skipped, and not a skip by design (tests/skips_by_design.txt):\n%s' "$unexpected" >&2
  exit 1
fi
echo "skips: $count, all by design"
