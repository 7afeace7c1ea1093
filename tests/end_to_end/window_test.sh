#!/usr/bin/env bash
# The real executable in a real X window (Xvfb), in one run of the viewer:
#  - the window's place and size;
#  - once a frame is drawn and the view has settled, a control: with no key
#    held the view stays still (so that what follows measures the keys);
#  - focused, a held Up arrow moves the view;
#  - once another window takes the focus, the view stops although Up is
#    still held, and keys pressed there (Down, Page Up, Escape) do nothing to
#    the viewer;
#  - given the focus back, nothing is stuck, Up moves the view again, and a
#    quick tap of Escape (the window message path) ends it with exit code 0.
# Then a second run: a window manager's close request ends it with 0 too.
# Each check spans a number of the viewer's presented frames, counted by
# FRAME_COUNTER (tests/mocks/frame_counter.c), not seconds: the same checks
# on a fast machine and on a slow one.
# usage: window_test.sh BUILD_DIR SEND_CLOSE_REQUEST FRAME_COUNTER
set -uo pipefail
build=$1
send_close=$2
counter=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xvfb_common.sh"
work=$(mktemp -d)
export EF_FRAMES_FILE=$work/frames
pid=""
other_pid=""
cleanup() {
  xdotool keyup Up Down Prior Escape 2>/dev/null
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$other_pid" ] && kill "$other_pid" 2>/dev/null
  ef_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
ef_start_xvfb || exit 1
# In a sanitizer build: D-Bus's buffer that SDL leaves at exit is not ours.
export LSAN_OPTIONS="suppressions=$here/../reliability/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
cd "$build"

fail() { echo "FAIL: $*" >&2; exit 1; }

# The viewer's area of the screen (its window is at 20,20, 824 x 568).
shot() { import -window root -crop 824x568+20+20 +repage "$work/$1.png"; }
changed() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1; }
alive() { kill -0 "$pid" 2>/dev/null || fail "the viewer ended; output: $(cat "$work/out.txt")"; }
# frames N: waits for N more of the viewer's frames.
frames() { ef_wait_frames "$1" || fail "the viewer presented no $1 frames in 60 s"; }
# between NAME FRAMES: the pixels that changed between two shots FRAMES frames apart.
between() {
  shot "$1_a"
  frames "$2"
  shot "$1_b"
  changed "$1_a" "$1_b"
}
# still NAME FRAMES WHAT FAULT: no pixel changes over FRAMES frames.
still() {
  local n
  n=$(between "$1" "$2")
  echo "$3: $n pixels changed in $2 frames"
  [ "$n" = "0" ] || fail "$4"
}
# moving NAME WHAT FAULT: over 1000 pixels change in 30 frames (with a key
# held, each frame 3 ms or more after the last takes a step).
moving() {
  local n
  n=$(between "$1" 30)
  echo "$2: $n pixels changed in 30 frames"
  [ "${n%%.*}" -gt 1000 ] 2>/dev/null || fail "$3"
}

start_viewer() {
  ef_counted "$counter" ./endless-field >"$work/out.txt" 2>&1 &
  pid=$!
  window=$(ef_find_window 60 --name "^Direct3D \(DX9\) - FULL Screen$")
  [ -n "$window" ] || fail "no window appeared; output: $(cat "$work/out.txt")"
}

# A drawn frame: the top of the window shows the sky's clear colour (until
# then it is black or whatever the screen held).
wait_for_frame() {
  local i sky=""
  for i in $(seq 600); do
    alive
    shot frame
    sky=$(convert "$work/frame.png" -format '%[pixel:p{400,20}]' info:)
    [ "$sky" = "srgb(204,204,255)" ] && return 0
    sleep 0.1
  done
  fail "no frame drawn within 60 s: the top of the window is $sky"
}

start_viewer
geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry"
grep -q "Position: 20,20" <<<"$geometry" || fail "window not at (20, 20)"
grep -q "Geometry: 824x568" <<<"$geometry" || fail "window not 824 x 568 (screen minus 200)"
xdotool windowfocus --sync "$window"
wait_for_frame

# The control: drawn and focused, no key held. The camera's first update may
# still land right after the first frame, so wait for a still view, then
# demand that it stays still.
for i in $(seq 20); do
  n=$(between settle 30)
  [ "$n" = "0" ] && break
done
still control 100 "focused, no key held" "the view moves with no key held"

# Focused: holding Up moves the view (from the next frames on: the key
# reaches the viewer at its next look at the queue).
xdotool keydown Up
frames 10
moving moving "focused, Up held" "holding Up with the focus did not move the view"

# Another window takes the focus; Up stays held.
xmessage -geometry +870+640 -name focus_thief "focus thief" &
other_pid=$!
other=$(ef_find_window 10 --classname "^focus_thief$")
[ -n "$other" ] || fail "the other window did not appear"
xdotool windowfocus --sync "$other"
[ "$(xdotool getwindowfocus)" = "$other" ] || fail "the focus did not move to the other window"
frames 10
still lost 100 "unfocused, Up still held" "the view kept moving after the focus was lost"
alive
xdotool keyup Up

# Keys pressed while unfocused do nothing: movement keys and Escape, each held
# over frames that would have moved the view.
shot before_keys
xdotool keydown Down; frames 30; xdotool keyup Down
xdotool keydown Prior; frames 30; xdotool keyup Prior
xdotool key Escape
frames 30
shot after_keys
n=$(changed before_keys after_keys)
echo "unfocused, Down, Page Up and Escape pressed: $n pixels changed"
[ "$n" = "0" ] || fail "keys pressed while unfocused moved the view"
alive

# Focus back: no key is stuck down, Up still works, and a quick Escape tap
# quits with 0.
xdotool windowfocus --sync "$window"
frames 10
still back 30 "focus back, no key held" "the view moves with no key held after the focus came back"
xdotool keydown Up
frames 10
moving moving_again "focus back, Up held" "Up did nothing after the focus came back"
xdotool keyup Up
xdotool key Escape
ef_wait_exit "$pid" 10
code=$?
pid=""
[ "$code" -eq 0 ] || fail "Escape tap: exit code $code, want 0; output: $(cat "$work/out.txt")"
echo "Escape tap: exit code 0"

# A close request ends it with 0 too.
kill "$other_pid" 2>/dev/null
other_pid=""
start_viewer
wait_for_frame
"$send_close" "$window"
ef_wait_exit "$pid" 10; code=$?
[ "$code" -eq 0 ] || fail "close request: exit code $code, want 0"
echo "close request: exit code 0"
pid=""
echo "1 passed, 0 failed"
