#!/usr/bin/env bash
# The real executable in a real X window (Xvfb): the window's place and size,
# a held Up arrow moves the view, Escape ends with exit code 0, and so does a
# window manager's close request.
# usage: window_test.sh BUILD_DIR SEND_CLOSE_REQUEST
set -uo pipefail
build=$1
send_close=$2
here=$(dirname "$0")
source "$here/xvfb_common.sh"
work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  ef_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
ef_start_xvfb || exit 1
cd "$build"

fail() { echo "FAIL: $*" >&2; exit 1; }

start_viewer() {
  ./endless-field >"$work/out.txt" 2>&1 &
  pid=$!
  window=$(ef_find_window 20 --name "^Direct3D \(DX9\) - FULL Screen$")
  [ -n "$window" ] || fail "no window appeared; output: $(cat "$work/out.txt")"
}

# 1. Place and size; Up moves the view; Escape quits with 0.
start_viewer
geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry"
grep -q "Position: 20,20" <<<"$geometry" || fail "window not at (20, 20)"
grep -q "Geometry: 824x568" <<<"$geometry" || fail "window not 824 x 568 (screen minus 200)"
sleep 1
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
import -window root "$work/before.png"
xdotool keydown Up; sleep 1.5; xdotool keyup Up
sleep 0.3
import -window root "$work/after.png"
diff_pixels=$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1 || true)
echo "pixels changed by holding Up: $diff_pixels"
[ "${diff_pixels%%.*}" -gt 1000 ] 2>/dev/null || fail "holding Up did not change the view"
xdotool keydown Escape; sleep 0.3; xdotool keyup Escape
ef_wait_exit "$pid" 10; code=$?
[ "$code" -eq 0 ] || fail "Escape: exit code $code, want 0"
pid=""
echo "Escape: exit code 0"

# 2. A close request ends it with 0 too.
start_viewer
sleep 0.5
"$send_close" "$window"
ef_wait_exit "$pid" 10; code=$?
[ "$code" -eq 0 ] || fail "close request: exit code $code, want 0"
echo "close request: exit code 0"
pid=""
echo "1 passed, 0 failed"
