#!/usr/bin/env bash
# Memcheck over the program's start-up, 100 frames of a held Up arrow and its
# exit (the capture tool, offscreen, small frame): no invalid read or write,
# no use of uninitialised memory, no definitely lost block. Reports that
# start in the system's graphics libraries are suppressed (valgrind.supp).
# Exits 77 (skipped) when valgrind is not installed, 1 under EF_REQUIRE_ALL=1.
# usage: valgrind_test.sh CAPTURE_TOOL ASSET_DIR SUPPRESSIONS
set -uo pipefail
tool=$1
assets=$2
supp=$3
source "$(dirname "$0")/../skip.sh"
command -v valgrind >/dev/null || ef_skip "valgrind is not installed"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

start=$(date +%s)
# One llvmpipe thread keeps the run shorter under valgrind's serialised threads.
LP_NUM_THREADS=1 valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
  --error-exitcode=1 --num-callers=40 --suppressions="$supp" --log-file="$work/valgrind.txt" \
  "$tool" --size 160x120 --keys "up*100" --assets "$assets" >"$work/out.txt" 2>"$work/err.txt"
code=$?
echo "valgrind run: exit $code after $(( $(date +%s) - start )) s"
echo "tool output: $(cat "$work/out.txt")"
grep -E "ERROR SUMMARY|(definitely|indirectly|possibly) lost:|still reachable:|suppressed: [0-9]" \
  "$work/valgrind.txt" | sed 's/^==[0-9]*== */   /'

fail=0
[ "$code" -eq 0 ] || { echo "FAIL: exit code $code (valgrind errors or the tool failed)"; fail=1; }
grep -q "^eye=55,1,20 .*frames=100$" "$work/out.txt" || { echo "FAIL: the tool did not run 100 frames"; fail=1; }
grep -q "ERROR SUMMARY: 0 errors" "$work/valgrind.txt" || fail=1
if [ "$fail" -ne 0 ]; then
  echo "---- valgrind log"
  cat "$work/valgrind.txt"
  echo "---- tool stderr"
  cat "$work/err.txt"
  exit 1
fi
echo "no memory errors, no definite leaks"
