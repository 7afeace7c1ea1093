# shellcheck shell=bash
# A minimal Debian 12 root filesystem to try the project as a new user would:
# made with mmdebstrap, with /proc, /sys and /dev bound in, commands run in it
# through chroot. Sourced by scripts/check_fresh_machine.sh (and any other
# fresh-machine check). Needs root and network access to a Debian mirror.
#
#   fresh_root_create DIR     makes the root in DIR (which must not exist yet;
#                             FRESH_ROOT_ARCH=arm64 makes a foreign one)
#                             and mounts what it needs; DIR is then recorded
#                             so that fresh_root_remove on exit undoes it all
#   fresh_root_run CMD...     runs CMD with bash -c inside the root, as root,
#                             with a clean environment (no DISPLAY)
#   fresh_root_remove         unmounts everything below the root, then removes
#                             it; safe to call twice or after a failed create
#
# A caller sets `trap fresh_root_remove EXIT` before fresh_root_create, so the
# mounts go away on every exit path.

FRESH_ROOT=""
FRESH_ROOT_SUITE=${FRESH_ROOT_SUITE:-bookworm}

fresh_root_create() {
  local dir=$1
  FRESH_ROOT=$dir
  mmdebstrap ${FRESH_ROOT_ARCH:+--arch="$FRESH_ROOT_ARCH"} --variant=apt \
    --include=git,ca-certificates "$FRESH_ROOT_SUITE" "$dir" || return 1
  # mmdebstrap takes the host's resolver out again at the end; apt inside
  # the root needs it to install the project's packages.
  cp -L /etc/resolv.conf "$dir/etc/resolv.conf" || return 1
  # An installed Debian has /etc/hosts; a bare root has none, and without it
  # "localhost" does not resolve (WebDriver clients reach their driver there).
  [ -e "$dir/etc/hosts" ] || printf '127.0.0.1\tlocalhost\n::1\t\tlocalhost ip6-localhost ip6-loopback\n' >"$dir/etc/hosts" || return 1
  mount -t proc proc "$dir/proc" || return 1
  mount --bind /sys "$dir/sys" || return 1
  mount --bind /dev "$dir/dev" || return 1
  # /dev/shm and /dev/pts are mounts of their own on the host: the root gets
  # a private shared-memory folder (Xvfb and Mesa use it) rather than the
  # host's, and /tmp inside is the root's own folder.
  mount -t tmpfs -o mode=1777,size=512m tmpfs "$dir/dev/shm" || return 1
  mount -t devpts -o newinstance,ptmxmode=0666 devpts "$dir/dev/pts" || return 1
}

fresh_root_run() {
  chroot "$FRESH_ROOT" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c "$*"
}

# The mount points below the root, deepest first.
fresh_root_mounts() {
  local root
  root=$(realpath "$FRESH_ROOT")
  awk -v root="$root" '$2 == root || index($2, root "/") == 1 { print $2 }' /proc/self/mounts | sort -r
}

# Ends what still runs inside the root (a test's Xvfb or wineserver would
# keep its mounts busy).
fresh_root_stop_processes() {
  local root proc
  root=$(realpath "$FRESH_ROOT")
  for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ] && kill -9 "${proc#/proc/}" 2>/dev/null
  done
  return 0
}

fresh_root_remove() {
  [ -n "$FRESH_ROOT" ] && [ -d "$FRESH_ROOT" ] || return 0
  local point _
  fresh_root_stop_processes
  for _ in 1 2 3; do
    for point in $(fresh_root_mounts); do
      umount "$point" 2>/dev/null || umount -l "$point" 2>/dev/null || true
    done
    [ -z "$(fresh_root_mounts)" ] && break
    sleep 1
  done
  if [ -n "$(fresh_root_mounts)" ]; then
    echo "fresh_root: still mounted below $FRESH_ROOT, not removing it:" >&2
    fresh_root_mounts >&2
    return 1
  fi
  rm -rf --one-file-system "$FRESH_ROOT"
  FRESH_ROOT=""
}
