#!/usr/bin/env bash
# The picture comparisons' negative controls: every profile of image_compare
# must accept a real pair of start views and reject each wrong picture the
# capture tool renders on purpose (--control): the cubes untextured (white),
# no obstacles at all, one column of obstacles from a different random
# sequence, and the fog off.
#
# The real pair is the start view rendered by two independent rasterisers,
# Mesa's llvmpipe and softpipe: like our layer and Wine's Direct3D, they may
# round texture filtering, fog and edges differently. The Wine and package
# tests compare their own real pairs with the same profiles.
# usage: negative_control_test.sh BUILD_DIR CAPTURE_TOOL IMAGE_COMPARE
set -uo pipefail
build=$1
capture=$2
image_compare=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

profiles="start_view flythrough d3dx page"
controls="white-cubes no-obstacles shifted-column fog-off"

render() {
  local out=$1
  shift
  "$capture" --assets "$build" --size 824x568 --out "$out" "$@" >"$out.log" 2>&1 ||
    fail "capture tool $*: $(cat "$out.log")"
}
render "$work/llvmpipe.png"
GALLIUM_DRIVER=softpipe render "$work/softpipe.png"
for control in $controls; do
  render "$work/$control.png" --control "$control"
done
# Kept for a look when a profile fails.
results="$build/negative_control"
mkdir -p "$results"
cp "$work"/*.png "$results/"

failed=0
for profile in $profiles; do
  if line=$("$image_compare" --profile "$profile" "$work/llvmpipe.png" "$work/softpipe.png"); then
    echo "$profile accepts the real pair: $line"
  else
    echo "FAIL: $profile rejects the real pair (llvmpipe, softpipe): $line" >&2
    failed=$((failed + 1))
  fi
  for control in $controls; do
    if line=$("$image_compare" --profile "$profile" "$work/llvmpipe.png" "$work/$control.png"); then
      echo "FAIL: $profile accepts the control $control: $line" >&2
      failed=$((failed + 1))
    else
      [ $? = 1 ] || fail "image_compare could not compare $control: $line"
      echo "$profile rejects $control: $(echo "$line" | head -n1)"
    fi
  done
done
[ "$failed" = 0 ] || fail "$failed of the profiles' verdicts were wrong (pictures in $results)"
echo "1 passed, 0 failed"
