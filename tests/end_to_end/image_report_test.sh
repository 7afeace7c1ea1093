#!/usr/bin/env bash
# The layer's report of images D3DX cannot load, through the capture tool
# running the program's own set-up (offscreen): from an empty folder every one
# of the 26 images is named once, with the folder it was looked for in and
# "no such file"; an empty, a cut-off and a non-image file each get their own
# reason; a folder whose name holds a newline and a terminal's escape
# sequence is written escaped, one line a report; a start with all images
# says nothing on stderr.
# usage: image_report_test.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
capture=$build/tools/capture/endless-field-capture
work=$(mktemp -d -p "$build" image_report.XXXXXX)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*"
  exit 1
}

# run FOLDER: the capture tool started in FOLDER; its stderr in $work/err.txt.
run() {
  (cd "$1" && SDL_VIDEODRIVER=offscreen "$capture" --size 64x48 --keys "none*2" \
    --out "$work/last.png" >/dev/null 2>"$work/err.txt") || fail "the capture tool failed in $1"
  echo "--- stderr in $1:"
  cat "$work/err.txt"
}

# expect LINE: exactly one line of stderr is LINE.
expect() {
  [ "$(grep -cxF -- "$1" "$work/err.txt")" = 1 ] || fail "not once on stderr: $1"
}

# reports: how many images the layer reported.
reports() { grep -c '^d3dx9: cannot load ' "$work/err.txt"; }

mkdir "$work/empty"
run "$work/empty"
expect "d3dx9: cannot load \"pic\\GRASS1.jpg\" (pic/GRASS1.jpg in the folder $work/empty): no such file"
expect "d3dx9: cannot load \"pic/sky/top.jpg\" (in the folder $work/empty): no such file"
[ "$(reports)" = 26 ] || fail "$(reports) images reported from an empty folder, not 26"

mkdir "$work/broken"
cp -r "$build/pic" "$build/FIGHTER.png" "$work/broken/"
: >"$work/broken/pic/GRASS1.jpg"
head -c 3000 "$build/pic/mauergrass.jpg" >"$work/broken/pic/mauergrass.jpg"
echo "not a picture" >"$work/broken/FIGHTER.png"
run "$work/broken"
in_broken="in the folder $work/broken"
expect "d3dx9: cannot load \"pic\\GRASS1.jpg\" (pic/GRASS1.jpg $in_broken): empty (0 bytes)"
expect "d3dx9: cannot load \"pic/mauergrass.jpg\" ($in_broken): broken at byte 3000: the file ends early"
expect "d3dx9: cannot load \"FIGHTER.png\" ($in_broken): not an image (neither JPEG, PNG nor BMP)"
[ "$(reports)" = 3 ] || fail "$(reports) images reported, not the 3 broken ones"

odd="$work/odd"$'\n'"name"$'\e'"[31m"
mkdir "$odd"
run "$odd"
expect "d3dx9: cannot load \"pic/sky/top.jpg\" (in the folder $work/odd\\nname\\x1b[31m): no such file"
[ "$(grep -vc "^Fehler: " "$work/err.txt")" = "$(reports)" ] || fail "a report line was split"
grep -q $'\e' "$work/err.txt" && fail "an escape character reached stderr"

run "$build"
[ -s "$work/err.txt" ] && fail "a start with every image printed on stderr"
echo "PASS"
