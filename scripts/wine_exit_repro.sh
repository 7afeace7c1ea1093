#!/usr/bin/env bash
# A demonstration, not a test: runs the minimal Direct3D 9 program
# (tests/end_to_end/wine_exit_minimal.c: window, device, one vertex buffer,
# one managed texture, a few hundred frames, return from WinMain) many times
# under Wine, one run at a time, in a private prefix and Xvfb screen, and
# counts the runs that do not end with exit code 0, per exit variant:
#   atexit   buffer and texture released by an atexit handler, the device
#            left to the end of the process (as the viewer does)
#   leak     nothing released
#   release  everything released, the device too, before WinMain returns
# Each run logs with WINEDEBUG=+seh; the logs of the runs that failed are
# kept in OUT, with whether an exception reached Windows code.
# usage: wine_exit_repro.sh [RUNS [VARIANT...]]
#   environment: EF_WINDOWS_BUILD (default build/windows), OUT (default
#   EF_WINDOWS_BUILD/wine_exit_repro), FRAMES (default 300)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-20}
shift $(($# > 0 ? 1 : 0))
variants=("$@")
[ ${#variants[@]} -gt 0 ] || variants=(atexit leak release)
windows=${EF_WINDOWS_BUILD:-$root/build/windows}
out=${OUT:-$windows/wine_exit_repro}
frames=${FRAMES:-300}
exe="$windows/wine_exit_minimal.exe"
if [ ! -f "$exe" ]; then
  echo "no $exe (cmake --preset windows && cmake --build --preset windows --target wine_exit_minimal)" >&2
  exit 1
fi
for tool in wine Xvfb; do
  command -v "$tool" >/dev/null || {
    echo "$tool is not installed" >&2
    exit 1
  }
done
source "$root/tests/end_to_end/xvfb_common.sh"
source "$root/tests/end_to_end/wine_common.sh"

work=$(mktemp -d)
cleanup() {
  ef_wine_cleanup
  ef_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
ef_wine_prefix "$work"
ef_start_xvfb || exit 1
env -u DISPLAY wineboot -i >/dev/null 2>&1
wineserver -w
rm -rf "$out"
mkdir -p "$out"
cp "$exe" "$work/"

for variant in "${variants[@]}"; do
  failed=0 in_windows=0 codes=""
  for run in $(seq "$runs"); do
    log="$work/run.log"
    (cd "$work" && WINEDEBUG=+seh exec wine wine_exit_minimal.exe "$variant" "$frames") >"$log" 2>&1 &
    ef_wait_exit $! 120
    code=$?
    if [ "$code" != 0 ]; then
      failed=$((failed + 1))
      codes="$codes $code"
      grep -q "dispatch_exception code=c0000005" "$log" && in_windows=$((in_windows + 1))
      cp "$log" "$out/${variant}_$run.log"
    fi
  done
  echo "$variant: $failed of $runs runs did not exit with 0${codes:+ (exit codes:$codes)}," \
    "$in_windows with an access violation in Windows code"
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg); logs of failed runs in $out"
