#!/usr/bin/env bash
# Builds everything and runs every test (installing missing Debian packages):
# the Windows cross build and the browser build, the suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, then in a debug build the
# checks that need one without them, with the Windows build under Wine and
# the page in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ef_ensure_packages "${EF_RUN_PACKAGES[@]}" "${EF_TEST_PACKAGES[@]}"

jobs=$(nproc)
# Everything is installed: a missing input, tool or display fails a test
# instead of skipping it, each ctest run may skip only the cases listed in
# tests/skips_by_design.txt (tests/check_skips.sh reads ctest's output), and
# each of its labels must find at least the tests tests/test_counts.txt
# lists (tests/check_counts.sh).
export EF_REQUIRE_ALL=1
# Whatever ends the script waits first for the build it started beside.
trap wait EXIT

echo "== Layout"
scripts/check_format.sh

echo "== Windows cross build, and beside it the browser build"
# The browser build's output is shown only when it fails.
cmake --preset windows >/dev/null
cmake --preset web >/dev/null
cmake --build --preset web -j "$jobs" >build/web/build.log 2>&1 &
web_build=$!
cmake --build --preset windows --target package
scripts/check_windows_imports.sh build/windows/endless-field.exe
if ! wait "$web_build"; then
  cat build/web/build.log
  echo "FAIL: the browser build" >&2
  exit 1
fi
echo "browser build: $(tail -n1 build/web/build.log)"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build and the suite"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
# Everything but what cannot run under the sanitizers or holds none of our
# code: Wine runs the Windows build, valgrind brings its own checks, and the
# page and the packages are other builds; those run in the debug build next.
ctest --preset asan -j "$jobs" -LE "wine|valgrind|web|package|fuzz_search" | tee build/asan/ctest.log
tests/check_skips.sh build/asan/ctest.log
tests/check_counts.sh asan build/asan/ctest.log

echo "== Debug build: the checks the sanitizer build cannot make"
# Without the sanitizers: the frame counters, the long run's memory, the
# hidden window's processor share (label plain), valgrind, and the Windows
# build, the page and the package against this build's pictures
# (tests/CMakeLists.txt, ef_plain_checks). `ctest --preset debug` runs the
# whole suite here too.
cmake --preset debug >/dev/null
cmake --build --preset debug -j "$jobs" --target ef_plain_checks
ctest --preset debug -j "$jobs" -L "plain|wine|web|package|valgrind" | tee build/debug/ctest.log
tests/check_skips.sh build/debug/ctest.log
tests/check_counts.sh debug build/debug/ctest.log
