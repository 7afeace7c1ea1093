#!/usr/bin/env bash
# Builds everything and runs every test (installing missing Debian packages):
# the debug build's suite, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the Windows cross build.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ef_ensure_packages "${EF_RUN_PACKAGES[@]}" "${EF_TEST_PACKAGES[@]}"

jobs=$(nproc)

echo "== Layout"
scripts/check_format.sh

echo "== Windows cross build"
cmake --preset windows >/dev/null
cmake --build --preset windows --target package
scripts/check_windows_imports.sh build/windows/endless-field.exe

echo "== Debug build and tests"
cmake --preset debug >/dev/null
cmake --build --preset debug -j "$jobs"
ctest --preset debug -j "$jobs" -LE fuzz

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs" -LE "wine|valgrind"
