#!/usr/bin/env bash
# The README's first command on a fresh machine: makes a minimal Debian 12
# root (scripts/fresh_root.sh), clones a commit of this repository into it,
# runs ./run.sh there with no display and checks that it ends with 0 and that
# its flythrough's last frame shows the field (not a flat sky). Prints how
# long ./run.sh took. Everything is unmounted and removed on any exit.
#
# usage: scripts/check_fresh_machine.sh [--commit REV] [--test-sh] [--keep-log DIR]
#   --commit REV   the commit to try (HEAD by default)
#   --test-sh      time ./test.sh in the fresh root instead (about 25 min on
#                  2 cores, the root included; the README's figure)
#   --keep-log DIR copy the command's output and the flythrough there
# Needs root, mmdebstrap and ImageMagick on the host, and a Debian mirror.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
commit=HEAD
command="./run.sh"
keep=""
while [ $# -gt 0 ]; do
  case $1 in
    --commit) commit=$2; shift 2 ;;
    --test-sh) command="./test.sh"; shift ;;
    --keep-log) keep=$2; shift 2 ;;
    *) echo "usage: $0 [--commit REV] [--test-sh] [--keep-log DIR]" >&2; exit 2 ;;
  esac
done
[ "$(id -u)" -eq 0 ] || { echo "needs root (mmdebstrap, mount, chroot)" >&2; exit 2; }
command -v mmdebstrap >/dev/null || { echo "needs mmdebstrap" >&2; exit 2; }
rev=$(git -C "$repo" rev-parse --verify "$commit^{commit}")

source "$here/fresh_root.sh"
parent=$(mktemp -d "${FRESH_ROOT_PARENT:-/var/tmp}/ef-fresh.XXXXXX")
# The folder goes only once nothing is mounted below it any more.
cleanup() {
  if fresh_root_remove; then rm -rf --one-file-system "$parent"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() { echo "FAIL: $*" >&2; exit 1; }

echo "== Making a fresh Debian 12 root in $parent/root"
fresh_root_create "$parent/root" >"$parent/mmdebstrap.log" 2>&1 ||
  { cat "$parent/mmdebstrap.log" >&2; fail "mmdebstrap"; }
git clone -q --no-checkout "$repo" "$FRESH_ROOT/root/endless-field"
git -C "$FRESH_ROOT/root/endless-field" checkout -q --detach "$rev"

echo "== $command in the fresh root (commit ${rev:0:12}, no display)"
start=$(date +%s)
set +e
fresh_root_run "cd /root/endless-field && $command" 2>&1 | tee "$parent/command.log"
code=${PIPESTATUS[0]}
set -e
seconds=$(($(date +%s) - start))
echo "== $command: exit $code after ${seconds} s ($((seconds / 60)) min $((seconds % 60)) s)"
if [ -n "$keep" ]; then
  mkdir -p "$keep"
  cp "$parent/command.log" "$keep/"
  [ -d "$FRESH_ROOT/root/endless-field/build/release/flythrough" ] &&
    cp -r "$FRESH_ROOT/root/endless-field/build/release/flythrough" "$keep/"
fi
[ "$code" -eq 0 ] || fail "$command ended with $code"
[ "$command" = "./run.sh" ] || exit 0

# The last frame must show the field: many colours, and most of the picture
# not the sky's clear colour (204, 204, 255).
last="$FRESH_ROOT/root/endless-field/build/release/flythrough/last.png"
[ -f "$last" ] || fail "no $last"
colours=$(convert "$last" -format '%k' info:)
sky=$(convert "$last" -fill black +opaque 'rgb(204,204,255)' -fill white -opaque 'rgb(204,204,255)' \
  -colorspace gray -format '%[fx:int(mean*100+0.5)]' info:)
echo "last.png: $colours colours, ${sky}% clear sky colour"
[ "$colours" -ge 1000 ] || fail "last.png has only $colours colours: not the field"
[ "$sky" -le 50 ] || fail "last.png is ${sky}% sky: the flythrough does not end over the field"
echo "fresh machine: $command passed in ${seconds} s"
