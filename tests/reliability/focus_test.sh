#!/usr/bin/env bash
# Keyboard focus in a real X window (Xvfb): while the viewer has the focus a
# held Up arrow moves the view; once another window takes the focus the view
# stops although Up is still held, and keys pressed there (Down, Page Up,
# Escape) do nothing to the viewer; given the focus back, nothing is stuck,
# and a quick tap of Escape (the window message path) ends it with exit 0.
# usage: focus_test.sh BUILD_DIR
set -uo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../end_to_end/xvfb_common.sh"
work=$(mktemp -d)
viewer_pid=""
other_pid=""
cleanup() {
  xdotool keyup Up Down Prior Escape 2>/dev/null
  [ -n "$viewer_pid" ] && kill "$viewer_pid" 2>/dev/null
  [ -n "$other_pid" ] && kill "$other_pid" 2>/dev/null
  ef_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
ef_start_xvfb || exit 1
# In a sanitizer build: D-Bus's buffer that SDL leaves at exit is not ours.
export LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

fail() { echo "FAIL: $*" >&2; exit 1; }

# The viewer's area of the screen (its window is at 20,20, 824 x 568).
shot() { import -window root -crop 824x568+20+20 +repage "$work/$1.png"; }
changed() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1; }
alive() { kill -0 "$viewer_pid" 2>/dev/null || fail "the viewer ended; output: $(cat "$work/out.txt")"; }

cd "$build"
./endless-field >"$work/out.txt" 2>&1 &
viewer_pid=$!
viewer=$(ef_find_window 20 --name "^Direct3D \(DX9\) - FULL Screen$")
[ -n "$viewer" ] || fail "no viewer window; output: $(cat "$work/out.txt")"
xdotool windowfocus --sync "$viewer"
sleep 1

# Focused: holding Up moves the view.
xdotool keydown Up
sleep 0.5
shot moving1; sleep 0.5; shot moving2
n=$(changed moving1 moving2)
echo "focused, Up held: $n pixels changed in 0.5 s"
[ "${n%%.*}" -gt 1000 ] 2>/dev/null || fail "holding Up with the focus did not move the view"

# Another window takes the focus; Up stays held.
xmessage -geometry +870+640 -name focus_thief "focus thief" &
other_pid=$!
other=$(ef_find_window 10 --classname "^focus_thief$")
[ -n "$other" ] || fail "the other window did not appear"
xdotool windowfocus --sync "$other"
[ "$(xdotool getwindowfocus)" = "$other" ] || fail "the focus did not move to the other window"
sleep 0.5
shot lost1; sleep 1; shot lost2
n=$(changed lost1 lost2)
echo "unfocused, Up still held: $n pixels changed in 1 s"
[ "$n" = "0" ] || fail "the view kept moving after the focus was lost"
alive
xdotool keyup Up

# Keys pressed while unfocused do nothing: movement keys and Escape.
shot before_keys
xdotool keydown Down; sleep 0.5; xdotool keyup Down
xdotool keydown Prior; sleep 0.5; xdotool keyup Prior
xdotool key Escape
sleep 0.5
shot after_keys
n=$(changed before_keys after_keys)
echo "unfocused, Down, Page Up and Escape pressed: $n pixels changed"
[ "$n" = "0" ] || fail "keys pressed while unfocused moved the view"
alive

# Focus back: no key is stuck down, and a quick Escape tap quits with 0.
xdotool windowfocus --sync "$viewer"
sleep 0.5
shot back1; sleep 0.5; shot back2
n=$(changed back1 back2)
echo "focus back, no key held: $n pixels changed"
[ "$n" = "0" ] || fail "the view moves with no key held after the focus came back"
xdotool key Escape
ef_wait_exit "$viewer_pid" 10
code=$?
viewer_pid=""
[ "$code" -eq 0 ] || fail "Escape tap: exit code $code, want 0; output: $(cat "$work/out.txt")"
echo "Escape tap: exit code 0"
echo "focus test passed"
