#!/usr/bin/env bash
# Runs the cursor test (a GoogleTest program) in a private Xvfb screen: the
# cursor it reads is the X server's.
# usage: cursor_test.sh CURSOR_TEST
set -uo pipefail
here=$(dirname "$0")
source "$here/../../end_to_end/xvfb_common.sh"
trap ef_stop_xvfb EXIT
ef_start_xvfb || exit 1
SDL_VIDEODRIVER=x11 "$1"
