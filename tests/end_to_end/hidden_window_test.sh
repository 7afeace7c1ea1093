#!/usr/bin/env bash
# The real viewer under a window manager (openbox in Xvfb), minimised: it
# does not draw frames nobody sees at full speed (each of its frames waits for
# the window to show again, up to 100 ms: 20 frames take a second or more,
# where the shown window draws hundreds a second); restored, it shows the same
# picture as before, Up moves the view and Escape ends it with 0. A normal
# start prints nothing on stderr. Frames are counted by FRAME_COUNTER
# (tests/mocks/frame_counter.c); the share of a core over them is printed.
# usage: hidden_window_test.sh BUILD_DIR IMAGE_COMPARE FRAME_COUNTER
set -uo pipefail
build=$1
image_compare=$2
counter=$3
here=$(dirname "$0")
source "$here/xvfb_common.sh"

fail() {
  echo "FAIL: $*"
  exit 1
}
source "$here/../skip.sh"
command -v openbox >/dev/null || ef_skip "openbox is not installed"
work=$(mktemp -d -p "$build" hidden_window.XXXXXX)
export EF_FRAMES_FILE=$work/frames
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
# span N: waits for N of the viewer's frames; prints the seconds they took
# and the viewer's share of one core over them.
span() {
  local before after t0 t1
  before=$(cpu_ticks)
  t0=$(date +%s.%N)
  ef_wait_frames "$1" || fail "the viewer presented no $1 frames in 60 s"
  t1=$(date +%s.%N)
  after=$(cpu_ticks)
  awk -v a="$before" -v b="$after" -v hz="$(getconf CLK_TCK)" -v t0="$t0" -v t1="$t1" \
    'BEGIN { s = t1 - t0; printf "%.2f %.0f", s, (b - a) * 100 / (hz * s) }'
}
shows() { xdotool search --onlyvisible --name "^Direct3D \(DX9\) - FULL Screen$" 2>/dev/null | grep -x "$window" >/dev/null; }
focus() { xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowactivate "$window"; }

cd "$build"
# A sanitizer build's leak checker lists the suppressions it used: that is
# its own word, not the viewer's.
LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0 \
  ef_counted "$counter" ./endless-field >"$work/out.txt" 2>"$work/err.txt" &
pid=$!
window=$(ef_find_window 20 --name "^Direct3D \(DX9\) - FULL Screen$")
[ -n "$window" ] || fail "no window appeared; stderr: $(cat "$work/err.txt")"
focus
read -r seconds percent <<<"$(span 100)"
echo "visible: 100 frames in $seconds s, $percent% of a core"
import -window "$window" "$work/before.png"

xdotool windowminimize --sync "$window" 2>/dev/null || xdotool windowminimize "$window"
for _ in $(seq 50); do shows || break; sleep 0.1; done
shows && fail "the window still shows after windowminimize"
# The frames under way when the window went; then 20 of the minimised ones.
ef_wait_frames 2 || fail "the viewer presented nothing while minimised"
read -r seconds percent <<<"$(span 20)"
echo "minimised: 20 frames in $seconds s, $percent% of a core"
kill -0 "$pid" 2>/dev/null || fail "the viewer ended while minimised"
awk -v s="$seconds" 'BEGIN { exit !(s >= 1.0) }' ||
  fail "minimised, the viewer drew 20 frames in $seconds s: it does not wait for the window"

focus
for _ in $(seq 50); do shows && break; sleep 0.1; done
shows || fail "the window does not show again"
ef_wait_frames 10 || fail "the viewer presented nothing once restored"
import -window "$window" "$work/restored.png"
# shellcheck disable=SC2086
"$image_compare" --profile start_view "$work/before.png" "$work/restored.png" ||
  fail "the restored window shows another picture than before"
xdotool keydown Up
ef_wait_frames 60 || fail "the viewer presented nothing with Up held"
xdotool keyup Up
ef_wait_frames 5
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
