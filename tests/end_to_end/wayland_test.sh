#!/usr/bin/env bash
# The real executable as a Wayland client: weston (its X11 backend, which has
# a seat, in the test's own Xvfb) with SDL_VIDEODRIVER=wayland. The window
# shows the start view (as the capture tool draws it: found by its sky,
# 824 x 568, wherever weston placed it, since a Wayland client cannot place
# its window), holding Up moves the view, Escape ends with exit code 0.
# usage: wayland_test.sh BUILD_DIR IMAGE_COMPARE
set -uo pipefail
build=$1
image_compare=$2
sky="rgb(204,204,255)"
here=$(dirname "$0")
source "$here/../skip.sh"
command -v weston >/dev/null || ef_skip "weston is not installed (scripts/deps.sh lists it)"
source "$here/xvfb_common.sh"
work=$(mktemp -d)
pid=""
weston_pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  if [ -n "$weston_pid" ]; then
    kill "$weston_pid" 2>/dev/null
    wait "$weston_pid" 2>/dev/null
  fi
  ef_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$build/tools/capture/endless-field-capture" --assets "$build" --size 824x568 \
  --out "$work/reference.png" >"$work/capture.txt" 2>&1 ||
  fail "capture tool: $(cat "$work/capture.txt")"

ef_start_xvfb || exit 1
# Wayland wants its runtime folder private to the user.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
socket=endless-field-test
weston --backend=x11-backend.so --socket="$socket" --width=1024 --height=768 --idle-time=0 \
  --no-config >"$work/weston.txt" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
  [ -S "$XDG_RUNTIME_DIR/$socket" ] && break
  kill -0 "$weston_pid" 2>/dev/null || fail "weston ended: $(cat "$work/weston.txt")"
  sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/$socket" ] || fail "weston made no socket: $(cat "$work/weston.txt")"

(cd "$build" && exec env SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY="$socket" ./endless-field) \
  >"$work/out.txt" 2>&1 &
pid=$!

# window_area SHOT: the sky's bounding box in weston's screen, WxH+X+Y.
window_area() { convert "$1" -fill black +opaque "$sky" -trim -format '%wx%h%O' info: 2>/dev/null; }

# The same box in two shots in a row: a shot taken while weston copies a
# frame into its X window can hold part of the old picture and part of the new.
area=""
previous=""
for _ in $(seq 60); do
  kill -0 "$pid" 2>/dev/null || fail "the viewer ended: $(cat "$work/out.txt")"
  import -window root "$work/screen.png"
  area=$(window_area "$work/screen.png")
  [[ $area == 824x* ]] && [ "$area" = "$previous" ] && break
  previous=$area
  sleep 0.5
done
[[ $area == 824x* ]] || fail "no 824-wide sky on weston's screen (found \"$area\"); output: $(cat "$work/out.txt")"
# weston's window is the only X window: the viewer's is a Wayland surface.
if xdotool search --name "^Direct3D \(DX9\) - FULL Screen$" >/dev/null 2>&1; then
  fail "the viewer opened an X window, not a Wayland one"
fi
# The sky's box starts at the window's top-left corner.
origin=${area#*x*[+-]}
x=${origin%%[+-]*}
y=${origin#*[+-]}
echo "window at ($x, $y) on weston's screen"
ef_settled_shot "$work/before.png" "824x568+$x+$y" || fail "the view did not settle"
line=$("$image_compare" --profile start_view "$work/reference.png" "$work/before.png") || {
  cp "$work/before.png" "$build/wayland_start_view.png"
  fail "the window differs from the capture tool's start view: $line (in $build/wayland_start_view.png)"
}
echo "start view: $line"

# Up held until the view has moved (at most 30 s).
xdotool keydown Up
end=$((SECONDS + 30))
changed=0
while [ "${changed%%.*}" -le 1000 ] 2>/dev/null && [ "$SECONDS" -le "$end" ]; do
  sleep 0.1
  import -window root -crop "824x568+$x+$y" +repage "$work/after.png"
  changed=$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1 || true)
done
xdotool keyup Up
echo "pixels changed by holding Up: $changed"
[ "${changed%%.*}" -gt 1000 ] 2>/dev/null || fail "holding Up did not change the view in 30 s"

xdotool keydown Escape
sleep 0.3
xdotool keyup Escape
ef_wait_exit "$pid" 10
code=$?
pid=""
[ "$code" -eq 0 ] || fail "Escape: exit code $code, want 0; output: $(cat "$work/out.txt")"
echo "Escape: exit code 0"
echo "1 passed, 0 failed"
