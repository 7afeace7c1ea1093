#!/usr/bin/env bash
# Builds everything and runs every test (installing missing Debian packages):
# the debug build's suite, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Windows cross build, and the browser build
# (which the debug suite's web tests run in headless Chromium).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ef_ensure_packages "${EF_RUN_PACKAGES[@]}" "${EF_TEST_PACKAGES[@]}"

jobs=$(nproc)
# Everything is installed: a missing input, tool or display fails a test
# instead of skipping it, and each ctest run may skip only the cases listed
# in tests/skips_by_design.txt (tests/check_skips.sh reads ctest's output).
export EF_REQUIRE_ALL=1

echo "== Layout"
scripts/check_format.sh

echo "== Windows cross build"
cmake --preset windows >/dev/null
cmake --build --preset windows --target package
scripts/check_windows_imports.sh build/windows/endless-field.exe

echo "== Browser build"
cmake --preset web >/dev/null
cmake --build --preset web -j "$jobs"

echo "== Debug build and tests"
cmake --preset debug >/dev/null
cmake --build --preset debug -j "$jobs"
ctest --preset debug -j "$jobs" -LE fuzz | tee build/debug/ctest.log
tests/check_skips.sh build/debug/ctest.log

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
# Not again under the sanitizers: Wine runs the Windows build, valgrind
# brings its own checks, and the page and the packages hold no code of
# their own that the debug run has not already run.
ctest --preset asan -j "$jobs" -LE "wine|valgrind|web|package|fuzz_search" | tee build/asan/ctest.log
tests/check_skips.sh build/asan/ctest.log
