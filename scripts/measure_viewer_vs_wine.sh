#!/usr/bin/env bash
# The viewer's frame rate against the Windows build's under Wine, in
# alternating rounds in one 1024 x 768 Xvfb screen (window 824 x 568), both
# run from the release build folder (the same generated images), each for
# SECONDS, counted by Mesa itself (GALLIUM_HUD, one value per frame; the rate
# is the frames over their summed times, after the first 50).
#
# Each program's window gets the X focus and a click (Wine activates its
# window on a button press; the program ignores the mouse) before its Escape:
# after the native viewer has run, X focus is left on nothing, and a Windows
# build that never sees Escape is killed and loses the unflushed tail of
# Mesa's dump. A program that does not end on Escape within 10 s fails the
# round; Wine's process sometimes dies in the GL driver's teardown after its
# last frame (as in the Wine flythrough test), which is reported, not failed.
#
# usage: scripts/measure_viewer_vs_wine.sh [ROUNDS] [SECONDS]   (5, 15)
# needs: cmake --preset release && cmake --build --preset release
#        cmake --preset windows && cmake --build --preset windows
set -uo pipefail
rounds=${1:-5}
seconds=${2:-15}
root=$(cd "$(dirname "$0")/.." && pwd)
release=$root/build/release
exe=$root/build/windows/endless-field.exe
[ -x "$release/endless-field" ] || { echo "no release build at $release" >&2; exit 1; }
[ -f "$exe" ] || { echo "no Windows build at $exe" >&2; exit 1; }
source "$root/tests/end_to_end/xvfb_common.sh"
work=$(mktemp -d)
cleanup() {
  wineserver -k 2>/dev/null
  ef_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
ef_start_xvfb || exit 1
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
wineserver -w
cd "$release"

# run NAME COMMAND...: prints the frame rate, or fails.
run() {
  local name=$1 dir="$work/$1" pid window
  shift
  mkdir -p "$dir"
  GALLIUM_HUD=fps GALLIUM_HUD_PERIOD=0.001 GALLIUM_HUD_DUMP_DIR=$dir GALLIUM_HUD_VISIBLE=false \
    "$@" >"$dir.log" 2>&1 &
  pid=$!
  window=$(ef_find_window 60 --name "^Direct3D \(DX9\) - FULL Screen$")
  [ -n "$window" ] || { echo "$name: no window" >&2; kill "$pid"; return 1; }
  sleep "$seconds"
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  xdotool mousemove --window "$window" 400 300 click 1
  sleep 0.3
  # Held for a few frames: the program reads Escape with DirectInput too.
  xdotool keydown Escape
  sleep 0.5
  xdotool keyup Escape
  local code
  code=$(ef_wait_exit "$pid" 10; echo $?)
  if [ "$code" = 124 ]; then
    echo "$name: did not end on Escape; focus on $(xdotool getwindowfocus 2>&1), window $window" >&2
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 1
  fi
  [ "$code" = 0 ] || echo "$name: exit code $code after Escape" >&2
  tail -n +51 "$dir/fps" | awk '$1 > 0 {n++; t += 1 / $1} END {printf "%.1f %d\n", (n ? n / t : 0), n}'
}

# The first start in a new prefix is slow: a warm-up run, not counted.
run warm wine "$exe" >/dev/null || exit 1
wineserver -w
for i in $(seq "$rounds"); do
  n=$(run "native_$i" ./endless-field) || exit 1
  w=$(run "wine_$i" wine "$exe") || exit 1
  wineserver -w
  ratio=$(awk -v a="${n% *}" -v b="${w% *}" 'BEGIN {printf "%.2f", a / b}')
  echo "round $i: native ${n% *} fps (${n#* } frames), Wine ${w% *} fps (${w#* } frames), native/Wine $ratio"
done
