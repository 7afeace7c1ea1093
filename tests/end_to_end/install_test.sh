#!/usr/bin/env bash
# `cmake --install` into an empty prefix: the Debian-style layout, and the
# launcher bin/endless-field started from an unrelated folder shows the same
# start view as the build folder's executable, with its icon and no message
# box.
# usage: install_test.sh BUILD_DIR IMAGE_COMPARE
set -uo pipefail
build=$1
image_compare=$2
here=$(dirname "$0")
source "$here/xvfb_common.sh"
source "$here/start_view.sh"
work=$(mktemp -d)
trap 'ef_stop_xvfb; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || fail "install: $(cat "$work/install.log")"
for file in bin/endless-field lib/endless-field/endless-field \
    share/endless-field/pic/GRASS1.jpg share/endless-field/pic/sky/front.jpg \
    share/endless-field/pic/obj/holz2.jpg share/endless-field/FIGHTER.png \
    share/applications/endless-field.desktop share/icons/hicolor/256x256/apps/endless-field.png \
    share/man/man1/endless-field.1.gz share/doc/endless-field/copyright; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
[ -x "$prefix/bin/endless-field" ] || fail "the launcher is not executable"
if find "$prefix" -name '*test*' -o -name '*capture*' -o -name '*.a' | grep .; then
  fail "tests or tools were installed"
fi

ef_start_xvfb || exit 1
mkdir "$work/elsewhere"
ef_start_view "$work/build.png" "$build" ./endless-field || exit 1
ef_start_view "$work/installed.png" "$work/elsewhere" "$prefix/bin/endless-field" || exit 1
"$image_compare" --profile start_view "$work/build.png" "$work/installed.png" ||
  fail "the start views differ"
echo "1 passed, 0 failed"
