#!/usr/bin/env bash
# The AppStream metainfo as the package installs it (`cmake --install` into an
# empty prefix): appstreamcli validates it strictly (any error, warning or
# note fails) without the network (its URLs are the project site's, which a test
# machine cannot reach); its launchable is the desktop entry installed beside
# it; each screenshot is one of docs/'s pictures, at the site's /docs/ URL and
# of the size it states; its newest release is the project's version. A copy
# without a summary must fail the validation.
# usage: metainfo_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1
source_dir=$2
source "$source_dir/tests/skip.sh"
command -v appstreamcli >/dev/null || ef_skip "appstreamcli is not installed (scripts/deps.sh lists appstream)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || fail "install: $(cat "$work/install.log")"
metainfo=$(ls "$prefix"/share/metainfo/*.metainfo.xml 2>/dev/null)
[ "$(wc -w <<<"$metainfo")" -eq 1 ] || fail "want one metainfo file in share/metainfo, found: $metainfo"
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
[ "$(basename "$metainfo")" = "$id.metainfo.xml" ] || fail "$(basename "$metainfo") is not named after its id $id"
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli rejects $metainfo"

launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[ -n "$launchable" ] && [ -f "$prefix/share/applications/$launchable" ] ||
  fail "the launchable \"$launchable\" is not an installed desktop entry"

shots=0
while read -r width height url; do
  name=${url#https://endless-field.example.org/docs/}
  [ "$name" != "$url" ] || fail "screenshot $url is not under the site's /docs/"
  [ -f "$source_dir/docs/$name" ] || fail "screenshot $url: no docs/$name"
  size=$(identify -format '%wx%h' "$source_dir/docs/$name")
  [ "$size" = "${width}x$height" ] || fail "docs/$name is $size, the metainfo says ${width}x$height"
  shots=$((shots + 1))
done < <(sed -n 's:.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">\(.*\)</image>.*:\1 \2 \3:p' "$metainfo")
[ "$shots" -ge 1 ] || fail "no screenshots"
echo "$shots screenshots, each in docs/ at its size"

release=$(sed -n 's:.*<release version="\([^"]*\)" date="[0-9-]*">.*:\1:p' "$metainfo" | head -n1)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$release" ] && [ "$release" = "$version" ] || fail "the newest release is \"$release\", the project's version $version"

grep -v "<summary>" "$metainfo" >"$work/$id.metainfo.xml"
appstreamcli validate --no-net --strict "$work/$id.metainfo.xml" >"$work/broken.txt" 2>&1 &&
  fail "appstreamcli accepts a metainfo without a summary"
echo "without a summary: rejected ($(grep -o 'summary-missing' "$work/broken.txt" | head -n1))"
echo "1 passed, 0 failed"
