#!/usr/bin/env bash
# The flythrough frame by frame against Wine's Direct3D 9: the capture tool's
# Windows build under Wine and the native capture tool on our layer run the
# same key script (one that keeps the field in view) with the same stepped
# clock; every 50th frame at 824 x 568 of each pair must agree: a mean
# difference of at most 1.0 per channel and at least 99% of the pixels within
# 16 in every channel.
# usage: wine_flythrough_test.sh BUILD_DIR WINDOWS_CAPTURE_EXE NATIVE_CAPTURE IMAGE_COMPARE
set -uo pipefail
build=$1
exe=$2
native=$3
image_compare=$4
here=$(dirname "$0")
keys="up*600 right*30 up*300 left*60 up*300"
every=50
expected=$((1290 / every))
if ! command -v wine >/dev/null; then
  echo "wine is not installed: skipped"
  exit 77
fi
if [ ! -f "$exe" ]; then
  echo "no Windows capture tool at $exe (cmake --preset windows && cmake --build --preset windows): skipped"
  exit 77
fi
source "$here/xvfb_common.sh"
source "$here/wine_common.sh"
work=$(mktemp -d)
ef_wine_prefix "$work"
cleanup() {
  ef_wine_cleanup
  ef_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$native" --assets "$build" --size 824x568 --keys "$keys" --frames-dir "$work/native" \
  --every "$every" >"$work/native.txt" 2>&1 || fail "native capture tool: $(cat "$work/native.txt")"

# The Windows build reads its images beside itself, as an installed copy has them.
mkdir "$work/run"
cp -r "$build/pic" "$build/FIGHTER.png" "$exe" "$work/run/" || fail "no images in $build"
ef_start_xvfb || exit 1
ef_wine_boot
# llvmpipe without its rasteriser threads (the same pixels): with them, the
# Wine process died now and then in the driver's teardown after its last frame.
(cd "$work/run" && LP_NUM_THREADS=0 timeout 600 wine "$(basename "$exe")" --size 824x568 --keys "$keys" \
  --frames-dir frames --every "$every") >"$work/wine.txt" 2>"$work/wine_err.txt" ||
  fail "Windows capture tool under Wine: $(cat "$work/wine.txt" "$work/wine_err.txt")"
wineserver -k 2>/dev/null || true

# Both ran the same camera path (the last line of each: eye, field, frames).
native_end=$(tail -n1 "$work/native.txt")
wine_end=$(tail -n1 "$work/wine.txt" | tr -d '\r')
echo "native: $native_end"
echo "wine:   $wine_end"
[ "$native_end" = "$wine_end" ] || fail "the runs ended in different places"

mkdir -p "$build/wine_flythrough"
rm -f "$build/wine_flythrough"/*.png
compared=0
failed=0
for a in "$work/native"/frame_*.png; do
  name=$(basename "$a")
  b="$work/run/frames/$name"
  [ -f "$b" ] || fail "Wine wrote no $name"
  if line=$("$image_compare" "$a" "$b" 1.0 16 0.99); then
    echo "$name: $line"
  else
    echo "$name: $line  <- differs"
    cp "$a" "$build/wine_flythrough/native_$name"
    cp "$b" "$build/wine_flythrough/wine_$name"
    failed=$((failed + 1))
  fi
  compared=$((compared + 1))
done
[ "$compared" = "$expected" ] || fail "compared $compared frames, expected $expected"
[ "$failed" = 0 ] || fail "$failed of $compared frames differ from Wine's (pairs in $build/wine_flythrough)"
echo "1 passed, 0 failed"
