#!/usr/bin/env bash
# The OpenGL ES 3.0 path against the OpenGL 3.3 core one, on the same Mesa:
# forced (EF_GL=es) and reached by fallback under MESA_GL_VERSION_OVERRIDE=3.1
# (a driver that offers OpenGL 3.1 and ES, as the Raspberry Pi's does).
# 1. The viewer's start view in Xvfb, core and forced; a normal start says
#    nothing about its context (the viewer's fallback under Mesa's 3.1 is
#    drivers_test.sh's).
# 2. The capture tool's flythrough (the Wine comparison's key script), every
#    50th frame, each way.
# 3. Neither context to be had: message 1, exit code 1, and stderr names both
#    tries.
# usage: gl_es_test.sh BUILD_DIR IMAGE_COMPARE
set -uo pipefail
build=$1
image_compare=$2
keys="up*600 right*30 up*300 left*60 up*300"
every=50
here=$(dirname "$0")
source "$here/xvfb_common.sh"
source "$here/start_view.sh"
work=$(mktemp -d)
cleanup() {
  ef_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
fallback=(MESA_GL_VERSION_OVERRIDE=3.1)

# compare A B WHAT PROFILE: one pair within image_compare's profile, or the pair kept in the build folder.
compare() {
  local line
  if line=$("$image_compare" --profile "$4" "$1" "$2"); then
    echo "$3: $line"
  else
    mkdir -p "$build/gl_es"
    cp "$1" "$build/gl_es/core_$(basename "$1")"
    cp "$2" "$build/gl_es/es_$(basename "$2")"
    fail "$3 differs from the core path's: $line (pair in $build/gl_es)"
  fi
}

ef_start_xvfb || exit 1
ef_start_view "$work/core.png" "$build" env -u EF_GL ./endless-field || exit 1
ef_start_view "$work/forced.png" "$build" env EF_GL=es ./endless-field || exit 1
ef_stop_xvfb
if grep -q "drawing through" "$work/core.png.log"; then
  fail "a normal start logged its context: $(cat "$work/core.png.log")"
fi
compare "$work/core.png" "$work/forced.png" "start view, EF_GL=es" start_view

for way in core forced fallback; do
  case $way in
    core) env=(EF_GL=core) ;;
    forced) env=(EF_GL=es) ;;
    fallback) env=("${fallback[@]}") ;;
  esac
  env -u EF_GL SDL_VIDEODRIVER=offscreen "${env[@]}" "$build/tools/capture/endless-field-capture" \
    --assets "$build" --size 824x568 --keys "$keys" --frames-dir "$work/$way" --every "$every" \
    >"$work/$way.txt" 2>&1 || fail "capture tool ($way): $(cat "$work/$way.txt")"
done
grep -q "drawing through OpenGL ES" "$work/fallback.txt" || fail "the capture tool's fallback run did not use ES"
compared=0
for a in "$work/core"/frame_*.png; do
  name=$(basename "$a")
  compare "$a" "$work/forced/$name" "$name, EF_GL=es" flythrough
  compare "$a" "$work/fallback/$name" "$name, fallback" flythrough
  compared=$((compared + 1))
done
[ "$compared" = $((1290 / every)) ] || fail "compared $compared frames, expected $((1290 / every))"

# Mesa's ES override at 2.0 leaves no ES 3.0 either.
env -u EF_GL SDL_VIDEODRIVER=offscreen "${fallback[@]}" MESA_GLES_VERSION_OVERRIDE=2.0 \
  "$build/tools/capture/endless-field-capture" --assets "$build" --out "$work/none.png" \
  >"$work/none.txt" 2>&1
code=$?
echo "neither context: exit code $code: $(cat "$work/none.txt")"
[ "$code" = 1 ] || fail "neither context: exit code $code, want 1"
for want in "Direct3DCreate9() - Fehler:1" "no OpenGL 3.3 core context" "no OpenGL ES 3.0 context"; do
  grep -qF "$want" "$work/none.txt" || fail "neither context: stderr lacks \"$want\""
done
echo "1 passed, 0 failed"
