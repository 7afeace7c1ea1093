#!/usr/bin/env bash
# The real executable as a Wayland client: weston (its X11 backend, which has
# a seat, in the test's own Xvfb) with SDL_VIDEODRIVER=wayland. The window
# shows the start view (as the capture tool draws it: found by its sky,
# 824 x 568, wherever weston placed it, since a Wayland client cannot place
# its window), holding Up moves the view, Escape ends with exit code 0.
#
# With SCALE 2, weston's output is 512 x 384 in window units at scale 2 (its
# x11 backend takes --width and --height in window units and makes its X
# window that times the scale): its X window, the Xvfb screen, has 1024 x 768
# pixels. The screen must measure in
# pixels (the window's drawable is 1024 x 768 minus 200), the drawable must be
# twice the window's size in window units and be the back buffer itself, and
# weston's screen must show the start view at 824 x 568 pixels, unscaled. With
# HiDPI switched off (SDL_VIDEO_HIGHDPI_DISABLED=1) the same checks must fail:
# the screen is then 512 x 384 and weston enlarges a 312 x 184 picture.
# usage: wayland_test.sh BUILD_DIR IMAGE_COMPARE [SCALE]
set -uo pipefail
build=$1
image_compare=$2
scale=${3:-1}
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

# The Xvfb screen is weston's output in pixels.
screen_w=1024
screen_h=768
want_w=$((screen_w - 200))
want_h=$((screen_h - 200))
"$build/tools/capture/endless-field-capture" --assets "$build" --size "${want_w}x${want_h}" \
  --out "$work/reference.png" >"$work/capture.txt" 2>&1 ||
  fail "capture tool: $(cat "$work/capture.txt")"

ef_start_xvfb || exit 1
# Wayland wants its runtime folder private to the user.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
socket=endless-field-test
weston --backend=x11-backend.so --socket="$socket" --width=$((screen_w / scale)) \
  --height=$((screen_h / scale)) --scale="$scale" --idle-time=0 --no-config \
  >"$work/weston.txt" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
  [ -S "$XDG_RUNTIME_DIR/$socket" ] && break
  kill -0 "$weston_pid" 2>/dev/null || fail "weston ended: $(cat "$work/weston.txt")"
  sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/$socket" ] || fail "weston made no socket: $(cat "$work/weston.txt")"

# start_viewer [VAR=VALUE...]: the viewer in the background, its output in
# $work/out.txt; EF_VERBOSE=1 makes the layer say its window's sizes.
start_viewer() {
  (cd "$build" && exec env SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY="$socket" EF_VERBOSE=1 "$@" \
    ./endless-field) >"$work/out.txt" 2>&1 &
  pid=$!
}

# window_area SHOT: the sky's bounding box in weston's screen, WxH+X+Y.
window_area() { convert "$1" -fill black +opaque "$sky" -trim -format '%wx%h%O' info: 2>/dev/null; }

# check_view: the viewer's sizes and picture; on failure false with the
# reason in $why. Leaves the window's place in $x and $y and its picture in
# $work/before.png.
check_view() {
  why=""
  local line=""
  for _ in $(seq 600); do
    kill -0 "$pid" 2>/dev/null || { why="the viewer ended: $(cat "$work/out.txt")"; return 1; }
    # The back buffer's line comes after the window's.
    grep -q "the back buffer is" "$work/out.txt" && break
    sleep 0.1
  done
  line=$(grep -m1 "the device window is" "$work/out.txt")
  echo "$line"
  local sizes
  read -r -a sizes <<<"$(sed -E 's/.* ([0-9]+) x ([0-9]+) in window units.* ([0-9]+) x ([0-9]+) pixels.*/\1 \2 \3 \4/' <<<"$line")"
  [ "${#sizes[@]}" -eq 4 ] || { why="no window sizes in the output: $(cat "$work/out.txt")"; return 1; }
  [ "${sizes[2]}" -eq $((scale * sizes[0])) ] && [ "${sizes[3]}" -eq $((scale * sizes[1])) ] ||
    why+="the drawable is not $scale times the window's size; "
  [ "${sizes[2]}x${sizes[3]}" = "${want_w}x${want_h}" ] ||
    why+="the drawable is not the screen's ${screen_w} x ${screen_h} pixels minus 200; "
  grep -q "the back buffer is the window's own framebuffer" "$work/out.txt" ||
    why+="the back buffer is not the window's framebuffer; "

  # The same box in two shots in a row: a shot taken while weston copies a
  # frame into its X window can hold part of the old picture and part of the new.
  local area="" previous=""
  for _ in $(seq 60); do
    kill -0 "$pid" 2>/dev/null || { why+="the viewer ended: $(cat "$work/out.txt")"; return 1; }
    import -window root "$work/screen.png"
    area=$(window_area "$work/screen.png")
    [[ $area =~ ^[0-9]{3,}x[0-9]{3,} ]] && [ "$area" = "$previous" ] && break
    previous=$area
    sleep 0.5
  done
  echo "sky on weston's screen: $area"
  [[ $area == ${want_w}x* ]] || { why+="no ${want_w}-wide sky on weston's screen (found \"$area\")"; return 1; }
  # The sky's box starts at the window's top-left corner.
  local origin=${area#*x*[+-]}
  x=${origin%%[+-]*}
  y=${origin#*[+-]}
  echo "window at ($x, $y) on weston's screen"
  ef_settled_shot "$work/before.png" "${want_w}x${want_h}+$x+$y" || { why+="the view did not settle"; return 1; }
  line=$("$image_compare" --profile start_view "$work/reference.png" "$work/before.png") || {
    cp "$work/before.png" "$build/wayland_start_view.png"
    why+="the window differs from the capture tool's start view: $line (in $build/wayland_start_view.png)"
    return 1
  }
  echo "start view: $line"
  [ -z "$why" ]
}

start_viewer
check_view || fail "$why"
# weston's window is the only X window: the viewer's is a Wayland surface.
if xdotool search --name "^Direct3D \(DX9\) - FULL Screen$" >/dev/null 2>&1; then
  fail "the viewer opened an X window, not a Wayland one"
fi

# Up held until the view has moved (at most 30 s).
xdotool keydown Up
end=$((SECONDS + 30))
changed=0
while [ "${changed%%.*}" -le 1000 ] 2>/dev/null && [ "$SECONDS" -le "$end" ]; do
  sleep 0.1
  import -window root -crop "${want_w}x${want_h}+$x+$y" +repage "$work/after.png"
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

if [ "$scale" -ne 1 ]; then
  echo "== with HiDPI switched off (must fail)"
  start_viewer SDL_VIDEO_HIGHDPI_DISABLED=1
  check_view && fail "the checks passed with HiDPI switched off"
  echo "rejected as it must be: $why"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=""
fi
echo "1 passed, 0 failed"
