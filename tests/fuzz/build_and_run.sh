#!/usr/bin/env bash
# Builds the image fuzzer with clang (libFuzzer + ASan + UBSan), writes the seed
# corpus and fuzzes the D3DX image path for a bounded time or number of runs.
#
#   tests/fuzz/build_and_run.sh SECONDS [RUNS]
#   tests/fuzz/build_and_run.sh --replay
#
# SECONDS caps the wall time of the fuzzing (0: no cap); RUNS, when given, caps
# the number of executions; whichever comes first ends the run. Exits non-zero
# when libFuzzer reports a crash, leak, timeout or oversized allocation (the
# input is saved in <build>/artifacts/), and 77 when clang, libFuzzer, cmake or
# the image libraries are not available (1 under EF_REQUIRE_ALL=1).
#
# --replay runs every seed once and searches nothing: the same inputs and the
# same verdict on every run (ctest's fuzz.image_replay; the random search,
# fuzz.image_60s, is labelled fuzz_search and stays outside ./test.sh).
#
# Environment:
#   EF_FUZZ_BUILD_DIR  build directory (default: <repo>/build/fuzz)
#   EF_FUZZ_CXX        clang++ to use (default: clang++, then clang++-14)
#   EF_FUZZ_JOBS       parallel compile jobs (default: 2)
#   EF_FUZZ_FLAGS      extra libFuzzer flags
#
# The corpus in <build>/corpus grows across runs; delete it to start afresh.
# To replay a saved input: <build>/image_fuzzer <build>/artifacts/crash-...
set -u

replay=0
if [ "${1:-}" = --replay ] && [ $# = 1 ]; then
  replay=1
  set -- 0
fi
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 SECONDS [RUNS] | $0 --replay" >&2
  exit 2
fi
seconds=$1
runs=${2:-}
case "$seconds$runs" in *[!0-9]*) echo "SECONDS and RUNS must be whole numbers" >&2; exit 2 ;; esac

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${EF_FUZZ_BUILD_DIR:-$root/build/fuzz}
jobs=${EF_FUZZ_JOBS:-2}

source "$here/../skip.sh"

cxx=${EF_FUZZ_CXX:-}
if [ -z "$cxx" ]; then
  for candidate in clang++ clang++-14; do
    if command -v "$candidate" >/dev/null 2>&1; then cxx=$candidate; break; fi
  done
fi
[ -n "$cxx" ] || ef_skip "image fuzzer: no clang++ found"
cc=${cxx/clang++/clang}
command -v "$cc" >/dev/null 2>&1 || cc=$cxx
command -v cmake >/dev/null 2>&1 || ef_skip "image fuzzer: cmake not found"
command -v pkg-config >/dev/null 2>&1 || ef_skip "image fuzzer: pkg-config not found"
pkg-config --exists libpng libturbojpeg || ef_skip "image fuzzer: libpng or libturbojpeg development files not found"

mkdir -p "$build" || exit 1
# libFuzzer ships with clang's runtime libraries; a one-line target tells us
# whether it (and the sanitizers) can be linked at all.
probe_dir=$(mktemp -d)
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
  >"$probe_dir/probe.cpp"
if ! "$cxx" -fsanitize=fuzzer,address,undefined "$probe_dir/probe.cpp" -o "$probe_dir/probe" \
    >"$probe_dir/log" 2>&1; then
  cat "$probe_dir/log" >&2
  rm -rf "$probe_dir"
  ef_skip "image fuzzer: $cxx cannot link -fsanitize=fuzzer,address,undefined (libFuzzer missing?)"
fi
rm -rf "$probe_dir"

generator=()
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
cmake -S "$here" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_C_COMPILER="$cc" >"$build/configure.log" 2>&1 \
  || { cat "$build/configure.log" >&2; echo "configuring the fuzzer failed" >&2; exit 1; }
cmake --build "$build" -j "$jobs" --target image_fuzzer make_seeds || { echo "building the fuzzer failed" >&2; exit 1; }

rm -rf "$build/seeds"
mkdir -p "$build/seeds" "$build/corpus" "$build/artifacts" "$build/tmp"
"$build/make_seeds" "$build/seeds" || exit 1

flags=(-rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=10 -detect_leaks=1 -print_final_stats=1
  "-dict=$here/image.dict" "-artifact_prefix=$build/artifacts/")
[ "$seconds" -gt 0 ] && flags+=("-max_total_time=$seconds")
[ -n "$runs" ] && flags+=("-runs=$runs")
# shellcheck disable=SC2206
[ -n "${EF_FUZZ_FLAGS:-}" ] && flags+=($EF_FUZZ_FLAGS)

export TMPDIR="$build/tmp"
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0:handle_abort=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
if [ "$replay" = 1 ]; then
  # Files rather than folders: libFuzzer runs each once and stops.
  seeds=("$build/seeds"/*)
  echo "image_fuzzer replays ${#seeds[@]} seeds"
  "$build/image_fuzzer" "${flags[@]}" "${seeds[@]}" >"$build/replay.log" 2>&1
  status=$?
  [ "$status" = 0 ] || { cat "$build/replay.log"; echo "a seed failed: see above" >&2; }
  ran=$(grep -c '^Running: ' "$build/replay.log")
  echo "image_fuzzer: $ran of ${#seeds[@]} seeds ran, exit status $status"
  [ "$ran" = "${#seeds[@]}" ] || { echo "not every seed ran" >&2; exit 1; }
  exit "$status"
fi
echo "image_fuzzer ${flags[*]} $build/corpus $build/seeds"
"$build/image_fuzzer" "${flags[@]}" "$build/corpus" "$build/seeds" 2>&1 | tee "$build/fuzz.log"
status=${PIPESTATUS[0]}

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/fuzz.log" | tail -n 1)
echo "image_fuzzer: ${executions:-unknown} executions, exit status $status"
if [ "$status" -ne 0 ]; then
  echo "image_fuzzer found a problem; inputs saved in $build/artifacts/:" >&2
  ls -1 "$build/artifacts" >&2
fi
exit "$status"
