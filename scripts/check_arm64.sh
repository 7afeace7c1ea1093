#!/usr/bin/env bash
# arm64 Debian from this x86-64 machine, each step timed:
#   1. the cross toolchain and the :arm64 packages (Debian multiarch; adds the
#      arm64 architecture to dpkg once);
#   2. the cross build (preset arm64, cmake/aarch64-linux-gnu.cmake), packed
#      by the same CPack rules as endless-field_<version>_arm64.deb;
#   3. the arm64 capture tool's start view under qemu-user-static, through the
#      OpenGL ES path on Debian's arm64 Mesa, against the x86-64 one (core);
#   4. with --root: the .deb installed with apt-get in a fresh arm64 Debian 12
#      root (mmdebstrap --arch=arm64, scripts/fresh_root.sh), started there
#      offscreen for 20 s, and purged. This needs the kernel's binfmt_misc
#      handler for qemu-aarch64, which the script registers when binfmt_misc
#      is mounted and writable; without it the step says so and is left out
#      (a failure under EF_REQUIRE_ALL=1).
#
# usage: scripts/check_arm64.sh [--root]
# Needs root (apt-get; mmdebstrap and chroot for --root) and a Debian mirror.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
with_root=0
[ "${1:-}" = --root ] && with_root=1
fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "needs root (apt-get, mmdebstrap, chroot)"
cd "$repo"
source "$here/deps.sh"

work=$(mktemp -d)
cleanup() {
  if declare -F fresh_root_remove >/dev/null; then fresh_root_remove || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
timings=()
# step NAME COMMAND...: runs it and notes its time.
step() {
  local name=$1 start=$SECONDS
  shift
  echo "== $name"
  "$@"
  timings+=("$name: $((SECONDS - start)) s")
  echo "-- $name: $((SECONDS - start)) s"
}

install_packages() {
  if ! dpkg --print-foreign-architectures | grep -qx arm64; then
    dpkg --add-architecture arm64
    apt-get update -q
  fi
  ef_ensure_packages "${EF_ARM64_PACKAGES[@]}"
}

cross_build() {
  cmake --preset arm64 >/dev/null
  cmake --build --preset arm64 -j2 --target package
  deb=$(ls "$repo"/build/arm64/endless-field_*_arm64.deb)
  [ "$(dpkg-deb -f "$deb" Architecture)" = arm64 ] || fail "$deb is not an arm64 package"
  file "$repo/build/arm64/endless-field" | grep -q "ARM aarch64" || fail "the executable is not arm64"
  echo "$deb: $(dpkg-deb -f "$deb" Depends)"
}

start_view() {
  local native=$repo/build/debug
  cmake --preset debug >/dev/null
  cmake --build --preset debug -j2 --target endless-field-capture image_compare ef_assets >/dev/null
  SDL_VIDEODRIVER=offscreen EF_GL=core "$native/tools/capture/endless-field-capture" \
    --assets "$native" --size 824x568 --out "$work/x86-64.png" >"$work/native.txt" 2>&1 ||
    fail "x86-64 capture tool: $(cat "$work/native.txt")"
  # Multiarch put the arm64 loader and libraries where the binary looks.
  SDL_VIDEODRIVER=offscreen EF_GL=es qemu-aarch64-static \
    "$repo/build/arm64/tools/capture/endless-field-capture" --assets "$repo/build/arm64" \
    --size 824x568 --out "$work/arm64.png" >"$work/arm64.txt" 2>&1 ||
    fail "arm64 capture tool under qemu: $(cat "$work/arm64.txt")"
  grep -q "drawing through OpenGL ES 3.0" "$work/arm64.txt" || fail "the arm64 run did not use ES"
  rm -rf "$repo/build/arm64/start_view"
  mkdir -p "$repo/build/arm64/start_view"
  cp "$work/x86-64.png" "$work/arm64.png" "$repo/build/arm64/start_view/"
  "$native/tests/end_to_end/image_compare" --profile start_view "$work/x86-64.png" "$work/arm64.png" ||
    fail "the arm64 start view differs from the x86-64 one (both in build/arm64/start_view)"
}

arm64_root() {
  source "$here/fresh_root.sh"
  local parent=$work apt_get="DEBIAN_FRONTEND=noninteractive apt-get -q -y -o Dpkg::Use-Pty=0" code
  FRESH_ROOT_ARCH=arm64 fresh_root_create "$parent/root" >"$parent/mmdebstrap.log" 2>&1 ||
    { cat "$parent/mmdebstrap.log" >&2; fail "mmdebstrap --arch=arm64"; }
  cp "$deb" "$FRESH_ROOT/root/"
  fresh_root_run "cd /root && apt-get update -q && $apt_get --no-install-recommends install ./$(basename "$deb")" \
    >"$parent/install.log" 2>&1 || { cat "$parent/install.log" >&2; fail "apt-get install in the arm64 root"; }
  # Still running after 20 s (timeout's 124): it started, drew, and waits for keys.
  code=0
  fresh_root_run "mkdir -p /root/elsewhere && cd /root/elsewhere &&
    SDL_VIDEODRIVER=offscreen timeout 20 endless-field" >"$parent/run.log" 2>&1 || code=$?
  cat "$parent/run.log"
  [ "$code" = 124 ] || fail "the installed viewer ended with $code within 20 s"
  ! grep -q "Fehler" "$parent/run.log" || fail "the installed viewer reported a failure"
  fresh_root_run "$apt_get purge endless-field" >"$parent/purge.log" 2>&1 ||
    { cat "$parent/purge.log" >&2; fail "apt-get purge in the arm64 root"; }
}

# The arm64 root's own programs (dpkg's scripts, apt, the viewer) run through
# the kernel's binfmt_misc handler for qemu-aarch64. Debian registers it with
# binfmt-support on a normal machine; a container often has binfmt_misc
# mounted but empty, so register it from qemu-user-static's own description.
register_qemu_binfmt() {
  local misc=/proc/sys/fs/binfmt_misc desc=/usr/share/binfmts/qemu-aarch64
  [ -e "$misc/qemu-aarch64" ] && return 0
  [ -w "$misc/register" ] && [ -r "$desc" ] || return 0
  local interpreter magic mask flags=""
  interpreter=$(awk '$1 == "interpreter" {print $2}' "$desc")
  magic=$(awk '$1 == "magic" {print $2}' "$desc")
  mask=$(awk '$1 == "mask" {print $2}' "$desc")
  grep -qx "preserve yes" "$desc" && flags+=P
  grep -qx "credentials yes" "$desc" && flags+=OC
  grep -qx "fix_binary yes" "$desc" && flags+=F
  printf ':qemu-aarch64:M::%s:%s:%s:%s\n' "$magic" "$mask" "$interpreter" "$flags" \
    >"$misc/register" 2>/dev/null || echo "could not register qemu-aarch64 with binfmt_misc" >&2
}

step "packages" install_packages
step "cross build and package" cross_build
step "start view under qemu (OpenGL ES)" start_view
if [ "$with_root" = 1 ]; then
  register_qemu_binfmt
  if [ -e /proc/sys/fs/binfmt_misc/qemu-aarch64 ]; then
    step "install and start in an arm64 Debian 12 root" arm64_root
  elif [ "${EF_REQUIRE_ALL:-}" = 1 ]; then
    fail "no binfmt_misc handler for qemu-aarch64: the arm64 root cannot run"
  else
    echo "== arm64 root: left out, no binfmt_misc handler for qemu-aarch64 on this machine"
  fi
fi
echo "== times"
printf '%s\n' "${timings[@]}"
echo "arm64: all steps passed"
