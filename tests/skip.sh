# Sourced by the test scripts. ef_skip REASON...: a missing input skips the
# test (exit 77, which ctest counts as skipped), or fails it where everything
# was installed and so must run (EF_REQUIRE_ALL=1, set by ./test.sh).
ef_skip() {
  if [ "${EF_REQUIRE_ALL:-0}" = 1 ]; then
    echo "FAIL: $* (EF_REQUIRE_ALL=1)" >&2
    exit 1
  fi
  echo "$*: skipped"
  exit 77
}
