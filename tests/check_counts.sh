#!/usr/bin/env bash
# Reads ctest's output (a file, or stdin) of one of ./test.sh's runs and
# fails when a label found fewer tests than tests/test_counts.txt says it
# must, naming each label that lost tests: a renamed label, or tests that
# gtest_discover_tests no longer finds, would otherwise pass unseen.
# usage: check_counts.sh RUN [CTEST_OUTPUT]   (RUN: asan or debug)
set -euo pipefail
run=$1
output=$(cat "${2:-/dev/stdin}")
counts="$(dirname "$0")/test_counts.txt"
# "100% tests passed, 0 tests failed out of 258"; then "Label Time Summary:"
# and one line a label, "pixel    =  51.35 sec*proc (34 tests)".
found=$(sed -n 's/.* tests failed out of \([0-9]*\)$/all \1/p' <<<"$output"
  sed -n '/^Label Time Summary:/,/^$/s/^\([^ ]*\) *= .*(\([0-9]*\) tests\{0,1\})$/\1 \2/p' <<<"$output")
lost=""
checked=0
while read -r want_run label want; do
  [ "$want_run" = "$run" ] || continue
  checked=$((checked + 1))
  have=$(awk -v l="$label" '$1 == l {print $2}' <<<"$found")
  [ "${have:-0}" -ge "$want" ] || lost+="  $label: ${have:-0} tests, at least $want expected"$'\n'
done < <(grep -v '^#' "$counts" | sed '/^$/d')
[ "$checked" -gt 0 ] || { echo "FAIL: tests/test_counts.txt has nothing for the run '$run'" >&2; exit 1; }
if [ -n "$lost" ]; then
  printf 'FAIL: labels that lost tests in the %s run (tests/test_counts.txt):\n%s' "$run" "$lost" >&2
  exit 1
fi
echo "test counts: $checked labels of the $run run, none short"
