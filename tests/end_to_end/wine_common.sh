# Shared by the Wine scripts (tests/end_to_end/wine_test.sh,
# scripts/wine_exit_repro.sh).

# A private Wine prefix under WORK, and its removal.
# ef_wine_prefix WORK makes WORK/prefix and exports the Wine environment;
# ef_wine_cleanup ends the prefix's server and removes what it left outside
# WORK.
#
# The wineserver's socket and lock outlive it, in a folder of their own:
# Debian's Wine makes it under $TMPDIR (wine-XXXXXX, its name kept in the
# prefix), upstream Wine in /tmp/.wine-<uid>/server-<dev>-<inode> of the
# prefix folder (in hex). The first lands in WORK; the second is ours alone
# because the prefix is, and goes once the server has ended, with its parent
# if no other prefix's server is left in it.
ef_wine_prefix() {
  local work=$1
  export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX" "$work/tmp"
  export TMPDIR="$work/tmp"
  EF_WINE_SERVER_ROOT="/tmp/.wine-$(id -u)"
  EF_WINE_SERVER_DIR="$EF_WINE_SERVER_ROOT/$(stat -c '%d %i' "$WINEPREFIX" |
    { read -r dev ino; printf 'server-%x-%x' "$dev" "$ino"; })"
}

ef_wine_cleanup() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  rm -rf "${EF_WINE_SERVER_DIR:?}"
  rmdir "$EF_WINE_SERVER_ROOT" 2>/dev/null
  return 0
}
