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

# The viewer's presented frames, for waiting on frames instead of seconds:
# ef_counted COUNTER_LIBRARY COMMAND... becomes COMMAND (it execs: run it in
# the background or a subshell) with the frame counter
# (tests/mocks/frame_counter.c) preloaded, counting into $EF_FRAMES_FILE (a
# file of the caller's work folder); ef_frames prints the count so far, and
# ef_wait_frames N [SECONDS] waits until N more frames than now have been
# presented (false after SECONDS, 60 by default: a stuck viewer).
ef_counted() {
  local counter=$1
  shift
  : >"$EF_FRAMES_FILE"
  # A sanitizer build's runtime wants to be the first library; the counter
  # comes before it and touches nothing of its.
  exec env LD_PRELOAD="$counter${LD_PRELOAD:+:$LD_PRELOAD}" EF_FRAME_COUNTER="$EF_FRAMES_FILE" \
    ASAN_OPTIONS="verify_asan_link_order=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}" "$@"
}
ef_frames() {
  local n
  n=$(od -An -t u8 -N8 "$EF_FRAMES_FILE" 2>/dev/null | tr -d ' ')
  echo "${n:-0}"
}
ef_wait_frames() {
  local want end=$((SECONDS + ${2:-60}))
  want=$(($(ef_frames) + $1))
  while [ "$(ef_frames)" -lt "$want" ]; do
    [ "$SECONDS" -le "$end" ] || return 1
    sleep 0.01
  done
}

# ef_settled_shot OUT GEOMETRY [SECONDS]: screenshots GEOMETRY (WxH+X+Y) of
# the screen into OUT until two shots in a row are the same picture: a view
# that has stopped changing, whatever the program's frame rate (false after
# SECONDS, 30 by default).
ef_settled_shot() {
  local out=$1 geometry=$2 end=$((SECONDS + ${3:-30})) previous="$1.previous.png"
  import -window root -crop "$geometry" +repage "$previous"
  while [ "$SECONDS" -le "$end" ]; do
    sleep 0.2
    import -window root -crop "$geometry" +repage "$out"
    if [ "$(command compare -metric AE "$previous" "$out" null: 2>&1 | cut -d' ' -f1)" = 0 ]; then
      rm -f "$previous"
      return 0
    fi
    mv "$out" "$previous"
  done
  mv "$previous" "$out"
  return 1
}
