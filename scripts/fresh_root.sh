# shellcheck shell=bash
# A fresh Debian 12 root to try the project's packages in, as a new machine
# would see them: made by mmdebstrap, with /proc, /sys and /dev (and a private
# /dev/shm and /dev/pts) mounted in; commands run in it through chroot.
# Needs root and a Debian mirror. Sourced by scripts/check_deb_package.sh.
#
#   fresh_root_create DIR   makes the root in DIR (must not exist yet) and
#                           mounts what it needs
#   fresh_root_run CMD...   runs CMD with bash -c inside, with a clean
#                           environment
#   fresh_root_remove       ends what still runs inside, unmounts, removes the
#                           root; safe to call twice or after a failed create
# Callers set `trap fresh_root_remove EXIT` (or call it from their own trap)
# before fresh_root_create, so no mount outlives them.

FRESH_ROOT=""

fresh_root_create() {
  FRESH_ROOT=$1
  mmdebstrap --variant=apt --include=ca-certificates bookworm "$FRESH_ROOT" || return 1
  # mmdebstrap leaves no resolver behind; apt inside needs one.
  cp -L /etc/resolv.conf "$FRESH_ROOT/etc/resolv.conf" || return 1
  mount -t proc proc "$FRESH_ROOT/proc" || return 1
  mount --bind /sys "$FRESH_ROOT/sys" || return 1
  mount --bind /dev "$FRESH_ROOT/dev" || return 1
  mount -t tmpfs -o mode=1777 tmpfs "$FRESH_ROOT/dev/shm" || return 1
  mount -t devpts -o newinstance,ptmxmode=0666 devpts "$FRESH_ROOT/dev/pts" || return 1
}

fresh_root_run() {
  chroot "$FRESH_ROOT" /usr/bin/env -i HOME=/root LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c "$*"
}

# Mount points at or below the root, deepest first.
fresh_root_mounts() {
  local root
  root=$(realpath "$FRESH_ROOT")
  awk -v r="$root" '$2 == r || index($2, r "/") == 1 {print $2}' /proc/self/mounts | sort -r
}

fresh_root_remove() {
  [ -n "$FRESH_ROOT" ] && [ -d "$FRESH_ROOT" ] || return 0
  local root proc point
  root=$(realpath "$FRESH_ROOT")
  # A test's Xvfb left inside would keep the mounts busy.
  for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ] && kill -9 "${proc#/proc/}" 2>/dev/null
  done
  for point in $(fresh_root_mounts); do
    umount "$point" 2>/dev/null || umount -l "$point" || true
  done
  if [ -n "$(fresh_root_mounts)" ]; then
    echo "fresh_root: still mounted below $FRESH_ROOT; not removing it" >&2
    return 1
  fi
  rm -rf --one-file-system "$FRESH_ROOT"
  FRESH_ROOT=""
}
