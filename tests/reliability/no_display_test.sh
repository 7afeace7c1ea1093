#!/usr/bin/env bash
# The real executable where no picture can be shown: no X display (x11
# asked for, or no driver asked for at all: SDL would otherwise fall back to
# its invisible offscreen driver and the program would run on unseen), and
# SDL's dummy driver, which has no OpenGL. Each must fail at its first step
# with one message, "Direct3DCreate9() - Fehler:1", and exit 1 after under a
# second of CPU time; no crash, and in a sanitizer build no sanitizer report.
# The bound is on CPU time (user + system) because a loaded machine (tests
# run in parallel) stretches the wall time of the same work; a wait or a
# retry loop still shows in the wall time, which must stay under 10 s.
# usage: no_display_test.sh ENDLESS_FIELD
set -uo pipefail
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL [$case_name]: $*" >&2; failures=$((failures + 1)); }

# ms SECONDS: "1.234" as 1234.
ms() { echo $((10#${1%.*} * 1000 + 10#${1#*.})); }

check() {
  case_name=$1
  shift
  local code wall user system cpu_ms wall_ms TIMEFORMAT='%3R %3U %3S'
  # The images are not needed: the start-up ends before they are loaded.
  { time (cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY "$@" timeout 20 "$exe" >"$work/out.txt" 2>"$work/err.txt"; echo $? >"$work/code.txt"); } 2>"$work/time.txt"
  code=$(cat "$work/code.txt")
  read -r wall user system <"$work/time.txt"
  wall_ms=$(ms "$wall")
  cpu_ms=$(($(ms "$user") + $(ms "$system")))
  echo "== $case_name: exit $code after $wall_ms ms ($cpu_ms ms of CPU)"
  sed 's/^/   /' "$work/err.txt"
  [ "$code" -eq 1 ] || fail "exit code $code, want 1"
  [ "$cpu_ms" -lt 1000 ] || fail "used $cpu_ms ms of CPU, want under 1000"
  [ "$wall_ms" -lt 10000 ] || fail "took $wall_ms ms, want under 10000"
  local messages
  messages=$(grep -c "Fehler" "$work/err.txt")
  [ "$messages" -eq 1 ] || fail "$messages lines with 'Fehler', want exactly one"
  [ "$(grep "Fehler" "$work/err.txt")" = "Error: Direct3DCreate9() - Fehler:1" ] ||
    fail "the program's message is not 'Error: Direct3DCreate9() - Fehler:1'"
  grep -q "^Direct3D 9 layer: " "$work/err.txt" || fail "the layer does not say why Direct3D failed"
  if grep -qE "AddressSanitizer|LeakSanitizer|runtime error:" "$work/err.txt"; then
    fail "sanitizer report"
  fi
  [ -s "$work/out.txt" ] && fail "unexpected output on stdout: $(cat "$work/out.txt")"
}

check "no display, x11 asked for" SDL_VIDEODRIVER=x11
check "no display, no driver asked for" -u SDL_VIDEODRIVER
check "dummy driver (no OpenGL)" SDL_VIDEODRIVER=dummy

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "3 cases passed"
