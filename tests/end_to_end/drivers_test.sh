#!/usr/bin/env bash
# The viewer in a real X window (Xvfb) on drivers that behave as real ones are
# documented to: EGL libraries that SDL loads in place of the system's
# (SDL_VIDEO_EGL_DRIVER, tests/mocks/egl_double.c), and Mesa told to offer no
# OpenGL 3.3 core profile.
#  1. NVIDIA's proprietary driver under X11 (its EGL lists
#     EGL_EXT_present_opaque and rejects it): the viewer starts through GLX,
#     shows the start view, says nothing on stderr and ends with exit code 0
#     on Escape. Asked for OpenGL ES (EF_GL=es), which only EGL gives, no way
#     works: message 1, exit code 1, the try on stderr.
#  2. An EGL whose window surfaces always fail: the same start through GLX;
#     with no 3.3 core profile besides, no way works: message 1 and all
#     three tries on stderr.
#  3. No 3.3 core profile (MESA_GL_VERSION_OVERRIDE=3.1, as on a Raspberry
#     Pi): the viewer falls back to OpenGL ES through EGL, says so in one
#     line, shows the start view and ends with 0 on Escape.
# The start views are compared with the capture tool's (start_view profile).
# Each double has a negative control that shows it bites: with its windows
# made through EGL (SDL_VIDEO_X11_FORCE_EGL=1, as the layer once made them),
# the viewer fails under either EGL double; under Mesa's 3.1, no core context
# can be had (EF_GL=core).
# usage: drivers_test.sh BUILD_DIR IMAGE_COMPARE EGL_PRESENT_OPAQUE EGL_NO_WINDOW_SURFACE
set -uo pipefail
build=$1
image_compare=$2
nvidia=(SDL_VIDEO_EGL_DRIVER="$3")
no_surface=(SDL_VIDEO_EGL_DRIVER="$4")
no_core=(MESA_GL_VERSION_OVERRIDE=3.1)
egl_windows=(SDL_VIDEO_X11_FORCE_EGL=1)
here=$(dirname "$0")
source "$here/xvfb_common.sh"
source "$here/start_view.sh"
work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  ef_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
passed=0
# In a sanitizer build: D-Bus's buffer that SDL leaves at exit is not ours,
# and the leak checker's list of suppressions is not the viewer's output.
export LSAN_OPTIONS="suppressions=$here/../reliability/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

SDL_VIDEODRIVER=offscreen "$build/tools/capture/endless-field-capture" --assets "$build" \
  --size 824x568 --out "$work/capture.png" >"$work/capture.txt" 2>&1 ||
  fail "capture tool: $(cat "$work/capture.txt")"
ef_start_xvfb || exit 1

# starts NAME STDERR_PATTERN ENV...: the viewer under ENV shows the start view
# and ends with 0 on Escape; its output matches the extended regular
# expression STDERR_PATTERN ('^$': nothing at all).
starts() {
  local name=$1 pattern=$2 line
  shift 2
  EF_END_WITH_ESCAPE=1 ef_start_view "$work/$name.png" "$build" env -u EF_GL "$@" ./endless-field ||
    fail "$name: the viewer did not start and end as it should"
  if [ "$pattern" = '^$' ]; then
    [ -s "$work/$name.png.log" ] && fail "$name: a normal start printed: $(cat "$work/$name.png.log")"
  else
    grep -Eq "$pattern" "$work/$name.png.log" ||
      fail "$name: its output lacks /$pattern/: $(cat "$work/$name.png.log")"
  fi
  line=$("$image_compare" --profile start_view "$work/capture.png" "$work/$name.png") ||
    fail "$name: not the capture tool's start view: $line"
  echo "$name: starts, the start view ($line), exit code 0 on Escape"
  passed=$((passed + 1))
}

# find_box: the first message box "Error" within 60 s, or nothing. SDL names
# its boxes in UTF-8 only, which xdotool's search does not read.
find_box() {
  local end=$((SECONDS + 60)) box=""
  while [ -z "$box" ] && [ "$SECONDS" -le "$end" ]; do
    box=$(xwininfo -root -children 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "Error": .*/\1/p' | head -n1)
    [ -n "$box" ] || sleep 0.1
  done
  echo "$box"
}

# refuses NAME ENV... -- WANT...: the viewer under ENV shows message 1 and,
# once it is answered, ends with exit code 1; its output holds every WANT.
refuses() {
  local name=$1 env=() box code want
  shift
  while [ "$1" != "--" ]; do env+=("$1"); shift; done
  shift
  (cd "$build" && exec env -u EF_GL "${env[@]}" ./endless-field) >"$work/$name.log" 2>&1 &
  pid=$!
  box=$(find_box)
  [ -n "$box" ] || fail "$name: no message box; output: $(cat "$work/$name.log")"
  xdotool key --window "$box" Return
  ef_wait_exit "$pid" 20
  code=$?
  pid=""
  [ "$code" = 1 ] || fail "$name: exit code $code, want 1; output: $(cat "$work/$name.log")"
  for want in "Direct3DCreate9() - Fehler:1" "$@"; do
    grep -qF "$want" "$work/$name.log" || fail "$name: the output lacks \"$want\": $(cat "$work/$name.log")"
  done
  echo "$name: message 1, exit code 1, $(grep -F "Direct3D 9 layer" "$work/$name.log")"
  passed=$((passed + 1))
}

# 1. NVIDIA's EGL.
starts nvidia '^$' "${nvidia[@]}"
refuses nvidia_es "${nvidia[@]}" EF_GL=es -- \
  "no OpenGL ES 3.0 context through EGL: Could not create GLES window surface"
refuses nvidia_control "${nvidia[@]}" "${egl_windows[@]}" -- "Could not create GLES window surface"

# 2. No EGL window surfaces.
starts no_surface '^$' "${no_surface[@]}"
refuses no_surface_no_core "${no_surface[@]}" "${no_core[@]}" -- \
  "no OpenGL 3.3 core context through GLX: Could not create GL context: GLXBadFBConfig" \
  "no OpenGL 3.3 core context through EGL: Could not create GLES window surface" \
  "no OpenGL ES 3.0 context through EGL: Could not create GLES window surface"
refuses no_surface_control "${no_surface[@]}" "${egl_windows[@]}" -- "Could not create GLES window surface"

# 3. No 3.3 core profile.
starts no_core "^d3d9: drawing through OpenGL ES 3.0 \(EGL, OpenGL ES [^)]*\): no OpenGL 3.3 core context through GLX" \
  "${no_core[@]}"
[ "$(wc -l <"$work/no_core.png.log")" = 1 ] || fail "no_core: more than the one line: $(cat "$work/no_core.png.log")"
refuses no_core_control "${no_core[@]}" EF_GL=core -- "no OpenGL 3.3 core context through GLX"

echo "$passed passed, 0 failed"
