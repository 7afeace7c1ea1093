#!/usr/bin/env bash
# The real viewer under a window manager (openbox in Xvfb), minimised: it
# spends under 5% of a core (CPU time over 3 seconds, from /proc/PID/stat)
# instead of drawing frames nobody sees; restored, it shows the same picture
# as before, Up moves the view and Escape ends it with 0. A normal start
# prints nothing on stderr.
# usage: hidden_window_test.sh BUILD_DIR IMAGE_COMPARE
set -uo pipefail
build=$1
image_compare=$2
here=$(dirname "$0")
source "$here/xvfb_common.sh"
# Drawing at full speed takes 40-90% of a core here. Minimised, the viewer
# draws about ten frames a second: 3% of a core. Under AddressSanitizer each
# of those frames costs four times as much (its allocator maps and faults in
# Mesa's per-frame bins afresh), so a sanitizer build gets a looser bound.
MAX_MINIMISED_PERCENT=5

fail() {
  echo "FAIL: $*"
  exit 1
}
source "$here/../skip.sh"
command -v openbox >/dev/null || ef_skip "openbox is not installed"
work=$(mktemp -d -p "$build" hidden_window.XXXXXX)
pid=""
wm=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$wm" ] && kill "$wm" 2>/dev/null && wait "$wm" 2>/dev/null
  ef_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
ef_start_xvfb || exit 1
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep "window id" >/dev/null && break
  sleep 0.1
done

# cpu_ticks: user + system clock ticks the viewer has used so far.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
# core_percent SECONDS: the viewer's share of one core over SECONDS.
core_percent() {
  local before after hz
  hz=$(getconf CLK_TCK)
  before=$(cpu_ticks)
  sleep "$1"
  after=$(cpu_ticks)
  echo $(((after - before) * 100 / (hz * $1)))
}
shows() { xdotool search --onlyvisible --name "^Direct3D \(DX9\) - FULL Screen$" 2>/dev/null | grep -x "$window" >/dev/null; }
focus() { xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowactivate "$window"; }

cd "$build"
ldd ./endless-field | grep libasan >/dev/null && MAX_MINIMISED_PERCENT=20
# A sanitizer build's leak checker lists the suppressions it used: that is
# its own word, not the viewer's.
LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0 \
  ./endless-field >"$work/out.txt" 2>"$work/err.txt" &
pid=$!
window=$(ef_find_window 20 --name "^Direct3D \(DX9\) - FULL Screen$")
[ -n "$window" ] || fail "no window appeared; stderr: $(cat "$work/err.txt")"
sleep 1
focus
echo "visible: $(core_percent 2)% of a core"
import -window "$window" "$work/before.png"

xdotool windowminimize --sync "$window" 2>/dev/null || xdotool windowminimize "$window"
for _ in $(seq 50); do shows || break; sleep 0.1; done
shows && fail "the window still shows after windowminimize"
sleep 0.5
minimised=$(core_percent 3)
echo "minimised: $minimised% of a core"
kill -0 "$pid" 2>/dev/null || fail "the viewer ended while minimised"
[ "$minimised" -lt "$MAX_MINIMISED_PERCENT" ] ||
  fail "minimised, the viewer takes $minimised% of a core (at most $MAX_MINIMISED_PERCENT)"

focus
for _ in $(seq 50); do shows && break; sleep 0.1; done
shows || fail "the window does not show again"
sleep 0.5
import -window "$window" "$work/restored.png"
# shellcheck disable=SC2086
"$image_compare" --profile start_view "$work/before.png" "$work/restored.png" ||
  fail "the restored window shows another picture than before"
xdotool keydown Up
sleep 1
xdotool keyup Up
sleep 0.3
import -window "$window" "$work/moved.png"
# shellcheck disable=SC2086
"$image_compare" --profile start_view "$work/restored.png" "$work/moved.png" &&
  fail "holding Up after restoring did not move the view"
xdotool key Escape
ef_wait_exit "$pid" 10
code=$?
pid=""
[ "$code" = 0 ] || fail "exit code $code after Escape, not 0"
if [ -s "$work/err.txt" ]; then
  cat "$work/err.txt"
  fail "a normal start printed on stderr"
fi
echo "PASS"
