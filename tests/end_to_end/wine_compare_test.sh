#!/usr/bin/env bash
# The Windows build under Wine (an independent Direct3D 9) against the native
# build, both in a 1024 x 768 Xvfb screen: the start views must agree, no
# message box may show and both windows carry the program's icon.
# WINDOWS is the Windows build's endless-field.exe, run in its own folder
# (where the build puts the images), or the Windows package
# (endless-field-*-win64.zip), unpacked into an empty folder and run there.
# usage: wine_compare_test.sh BUILD_DIR WINDOWS IMAGE_COMPARE
set -uo pipefail
build=$1
exe=$(readlink -f "$2")
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
source "$here/start_view.sh"
source "$here/wine_common.sh"
work=$(mktemp -d)
ef_wine_prefix "$work"
cleanup() {
  ef_wine_cleanup
  ef_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
ef_start_xvfb || exit 1
fail() { echo "FAIL: $*" >&2; exit 1; }

ef_wine_boot

windir=$(dirname "$exe")
if [[ "$exe" == *.zip ]]; then
  mkdir "$work/unpacked"
  (cd "$work/unpacked" && unzip -q "$exe") || fail "cannot unpack $exe"
  windir=$(dirname "$(find "$work/unpacked" -name endless-field.exe | head -n1)")
  [ -f "$windir/endless-field.exe" ] || fail "no endless-field.exe in $exe"
fi

ef_start_view "$work/native.png" "$build" ./endless-field || exit 1
ef_start_view "$work/wine.png" "$windir" wine "$windir/endless-field.exe" || exit 1
wineserver -k 2>/dev/null || true
results="$build/wine_compare/$(basename "$exe")"
mkdir -p "$results"
cp "$work/native.png" "$work/wine.png" "$results/"
"$image_compare" "$work/native.png" "$work/wine.png" 3 24 0.98 || fail "the start views differ (see $results)"
echo "1 passed, 0 failed"
