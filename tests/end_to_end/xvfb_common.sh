# Shared by the end-to-end scripts: a private Xvfb screen of 1024 x 768 for
# the duration of one script, torn down on exit.

# Xvfb picks a free display number itself (-displayfd: it takes the number's
# lock file atomically and writes the number once it accepts connections), so
# scripts started together never share, or wait on, one server. -noreset:
# by default the server resets when its last client leaves, and a program
# started right after another ended could find no display during the reset.
ef_start_xvfb() {
  local dir number="" _
  dir=$(mktemp -d)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$dir/display" >/dev/null 2>&1 &
  EF_XVFB_PID=$!
  for _ in $(seq 300); do
    number=$(sed -n '1{/^[0-9][0-9]*$/p;}' "$dir/display")
    [ -n "$number" ] && break
    kill -0 "$EF_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -rf "$dir"
  if [ -z "$number" ]; then
    echo "cannot start Xvfb" >&2
    ef_stop_xvfb
    return 1
  fi
  export DISPLAY=":$number"
}

# Ends our server and waits for it, so that its socket and lock file in
# /tmp are gone when the script ends.
ef_stop_xvfb() {
  if [ -n "${EF_XVFB_PID:-}" ]; then
    kill "$EF_XVFB_PID" 2>/dev/null
    wait "$EF_XVFB_PID" 2>/dev/null
    EF_XVFB_PID=""
  fi
  return 0
}

# ef_find_window SECONDS SEARCH...: the first visible window that
# `xdotool search --onlyvisible SEARCH...` finds within SECONDS, or nothing.
# One search at a time, retried: xdotool exits on BadWindow when a window it
# is looking at vanishes (Wine makes and drops helper windows at start-up),
# which would end a single --sync search with no answer.
ef_find_window() {
  local end=$((SECONDS + $1)) window=""
  shift
  while [ -z "$window" ] && [ "$SECONDS" -le "$end" ]; do
    window=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n1)
    [ -n "$window" ] || sleep 0.1
  done
  echo "$window"
}

# ef_wait_exit PID SECONDS: the process's exit code, or 124 when it is still running then.
ef_wait_exit() {
  local pid=$1 seconds=$2 i
  for i in $(seq $((seconds * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      return $?
    fi
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  return 124
}
