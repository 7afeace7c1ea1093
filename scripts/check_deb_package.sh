#!/usr/bin/env bash
# The Debian package as a user gets it: builds it (release preset), checks it
# with lintian (no errors) and its AppStream metainfo with appstreamcli, then
# in a fresh Debian 12 root (scripts/fresh_root.sh) installs it with apt-get,
# checks that it pulled in no test packages, runs `endless-field` from an
# unrelated folder under Xvfb and compares the start view with the build
# folder's (the Wine comparison's tolerances; no message box, the window has
# its icon), purges it and checks that nothing of it is left. Everything is
# unmounted and removed on exit.
#
# usage: scripts/check_deb_package.sh [IMAGE_COMPARE]
#   IMAGE_COMPARE  the comparison tool (build/debug/tests/end_to_end/image_compare,
#                  which test.sh builds, by default)
# Needs root, mmdebstrap, lintian, appstreamcli, Xvfb and ImageMagick on the
# host, and a Debian mirror.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
image_compare=${1:-$repo/build/debug/tests/end_to_end/image_compare}
[ "$(id -u)" -eq 0 ] || { echo "needs root (mmdebstrap, mount, chroot)" >&2; exit 2; }
command -v mmdebstrap >/dev/null || { echo "needs mmdebstrap" >&2; exit 2; }
[ -x "$image_compare" ] ||
  { echo "no image comparison tool at $image_compare (build the debug preset first)" >&2; exit 2; }
image_compare=$(readlink -f "$image_compare")
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "== Building the package"
cd "$repo"
cmake --preset release >/dev/null
cmake --build --preset release --target package
build="$repo/build/release"
deb=$(ls "$build"/endless-field_*.deb)
dpkg-deb -f "$deb" Depends

echo "== lintian"
# lintian leaves its own temporary files behind: give it a folder to lose.
lint_tmp=$(mktemp -d)
TMPDIR="$lint_tmp" lintian --tag-display-limit 0 "$deb" | tee "$build/lintian.txt" || true
rm -rf "$lint_tmp"
! grep -q "^E:" "$build/lintian.txt" || fail "lintian reports errors"

echo "== AppStream metainfo"
metainfo=usr/share/metainfo/org.example.endless_field.metainfo.xml
dpkg-deb -c "$deb" | grep " \./$metainfo\$" >/dev/null || fail "the package carries no /$metainfo"
# Its URLs are the project site's, out of reach here: validated without the network.
dpkg-deb --fsys-tarfile "$deb" | tar -xO "./$metainfo" >"$build/$(basename "$metainfo")"
appstreamcli validate --no-net --strict "$build/$(basename "$metainfo")" ||
  fail "appstreamcli rejects the packed /$metainfo"

source "$here/fresh_root.sh"
source "$repo/tests/end_to_end/xvfb_common.sh"
source "$repo/tests/end_to_end/start_view.sh"
parent=$(mktemp -d "${FRESH_ROOT_PARENT:-/var/tmp}/ef-deb.XXXXXX")
cleanup() {
  ef_stop_xvfb
  fresh_root_remove || true
  rm -rf "$parent"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== The build folder's start view"
ef_start_xvfb || fail "no Xvfb"
ef_start_view "$parent/build.png" "$build" ./endless-field || fail "the build folder's viewer"
ef_stop_xvfb

echo "== A fresh Debian 12 root in $parent/root"
fresh_root_create "$parent/root" >"$parent/mmdebstrap.log" 2>&1 ||
  { cat "$parent/mmdebstrap.log" >&2; fail "mmdebstrap"; }
cp "$deb" "$FRESH_ROOT/root/"
mkdir "$FRESH_ROOT/root/e2e"
cp "$repo/tests/end_to_end/xvfb_common.sh" "$repo/tests/end_to_end/start_view.sh" "$FRESH_ROOT/root/e2e/"
apt_get="DEBIAN_FRONTEND=noninteractive apt-get -q -y -o Dpkg::Use-Pty=0"

echo "== apt-get install ./$(basename "$deb")"
fresh_root_run "dpkg-query -W -f='\${Package}\n' | sort >/root/before.txt"
# Without recommended packages: the package's own dependencies must be enough.
fresh_root_run "cd /root && apt-get update -q && $apt_get --no-install-recommends install ./$(basename "$deb")" \
  >"$parent/install.log" 2>&1 || { cat "$parent/install.log" >&2; fail "apt-get install"; }
fresh_root_run "dpkg-query -W -f='\${Package}\n' | sort >/root/after.txt"
added=$(comm -13 "$FRESH_ROOT/root/before.txt" "$FRESH_ROOT/root/after.txt")
echo "$(wc -l <<<"$added") packages installed"
test_or_build='^(googletest|libgtest.*|libgmock.*|xvfb|xdotool|imagemagick.*|wine.*|valgrind|clang.*|g\+\+.*|gcc|gcc-[0-9]+|cmake|ninja-build|.*mingw.*|.*-dev)$'
if grep -E "$test_or_build" <<<"$added"; then
  fail "the package pulled in build or test packages"
fi

echo "== endless-field from another folder, under Xvfb"
fresh_root_run "$apt_get --no-install-recommends install xvfb xdotool x11-utils imagemagick" \
  >"$parent/tools.log" 2>&1 || { cat "$parent/tools.log" >&2; fail "installing the test's tools"; }
fresh_root_run "source /root/e2e/xvfb_common.sh && source /root/e2e/start_view.sh &&
  mkdir -p /root/elsewhere && ef_start_xvfb && trap ef_stop_xvfb EXIT &&
  ef_start_view /root/installed.png /root/elsewhere endless-field" ||
  fail "the installed viewer"
mkdir -p "$build/deb_check"
cp "$parent/build.png" "$FRESH_ROOT/root/installed.png" "$build/deb_check/"
"$image_compare" --profile start_view "$parent/build.png" "$FRESH_ROOT/root/installed.png" ||
  fail "the installed start view differs from the build folder's (see $build/deb_check)"

echo "== apt-get purge endless-field"
fresh_root_run "$apt_get purge endless-field" >"$parent/purge.log" 2>&1 ||
  { cat "$parent/purge.log" >&2; fail "apt-get purge"; }
state=$(fresh_root_run "dpkg-query -W -f='\${db:Status-Status}' endless-field 2>/dev/null || true")
[ -z "$state" ] || [ "$state" = "not-installed" ] || fail "dpkg still knows the package: $state"
left=""
while read -r path; do
  path=${path#.}
  [ -n "$path" ] || continue
  # Folders that other packages share (/usr/share/applications, ...) may stay.
  if [ -e "$FRESH_ROOT$path" ] && { [ ! -d "$FRESH_ROOT$path" ] || [[ "$path" == *endless-field* ]]; }; then
    left+="$path "
  fi
done < <(dpkg-deb --fsys-tarfile "$deb" | tar -t)
[ -z "$left" ] || fail "left behind after purge: $left"
echo "deb package: installed, ran and purged cleanly"
