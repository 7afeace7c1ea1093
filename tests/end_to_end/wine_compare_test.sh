#!/usr/bin/env bash
# The Windows build under Wine (an independent Direct3D 9) against the native
# build, both in a 1024 x 768 Xvfb screen: the start views must agree.
# usage: wine_compare_test.sh BUILD_DIR WINDOWS_EXE IMAGE_COMPARE
set -uo pipefail
build=$1
exe=$2
image_compare=$3
here=$(dirname "$0")
if ! command -v wine >/dev/null; then
  echo "wine is not installed: skipped"
  exit 77
fi
if [ ! -f "$exe" ]; then
  echo "no Windows build at $exe: skipped"
  exit 77
fi
source "$here/xvfb_common.sh"
work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The wineserver's socket and lock outlive it, in a folder of their own:
# Debian's Wine makes it under $TMPDIR (wine-XXXXXX, its name kept in the
# prefix), upstream Wine in /tmp/.wine-<uid>/server-<dev>-<inode> of the
# prefix folder (in hex). The first lands in our folder; the second is ours
# alone because the prefix is, and goes once the server has ended, with its
# parent if no other prefix's server is left in it.
mkdir "$WINEPREFIX" "$work/tmp"
export TMPDIR="$work/tmp"
server_root="/tmp/.wine-$(id -u)"
server_dir="$server_root/$(stat -c '%d %i' "$WINEPREFIX" | { read -r dev ino; printf 'server-%x-%x' "$dev" "$ino"; })"
cleanup() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  ef_stop_xvfb
  rm -rf "$work" "$server_dir"
  rmdir "$server_root" 2>/dev/null
  return 0
}
trap cleanup EXIT
ef_start_xvfb || exit 1
fail() { echo "FAIL: $*" >&2; exit 1; }

wineboot -i >/dev/null 2>&1
wineserver -w

# shot PROGRAM... : runs the program in the build folder (where the images
# are), screenshots its window's area once the start view has settled, and
# ends it.
shot() {
  local out=$1
  shift
  (cd "$build" && exec "$@") >"$work/log.txt" 2>&1 &
  local pid=$!
  local window
  window=$(ef_find_window 60 --name "^Direct3D \(DX9\) - FULL Screen$")
  [ -n "$window" ] || fail "no window from $*: $(cat "$work/log.txt")"
  # Wait for the first frame (the sky is the clear colour), then for the view
  # to settle after the camera's first update.
  local i sky=""
  for i in $(seq 60); do
    import -window root -crop 824x568+20+20 +repage "$out"
    sky=$(convert "$out" -format '%[pixel:p{400,20}]' info:)
    [ "$sky" = "srgb(204,204,255)" ] && break
    sleep 1
  done
  [ "$sky" = "srgb(204,204,255)" ] || fail "no frame from $*: top of the window is $sky"
  sleep 2
  import -window root -crop 824x568+20+20 +repage "$out"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  return 0
}

shot "$work/native.png" ./endless-field
shot "$work/wine.png" wine "$exe"
mkdir -p "$build/wine_compare"
cp "$work/native.png" "$work/wine.png" "$build/wine_compare/"
"$image_compare" "$work/native.png" "$work/wine.png" 3 24 0.98 || fail "the start views differ (see $build/wine_compare)"
echo "1 passed, 0 failed"
