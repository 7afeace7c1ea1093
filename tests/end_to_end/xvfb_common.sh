# Shared by the end-to-end scripts: a private Xvfb screen of 1024 x 768 for
# the duration of one script, torn down on exit.
ef_start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    EF_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      # Ours only if our own server is still up (another may hold the display).
      xdpyinfo >/dev/null 2>&1 && kill -0 "$EF_XVFB_PID" 2>/dev/null && return 0
      sleep 0.1
    done
    kill "$EF_XVFB_PID" 2>/dev/null || true
  done
  echo "cannot start Xvfb" >&2
  return 1
}

ef_stop_xvfb() {
  [ -n "${EF_XVFB_PID:-}" ] && kill "$EF_XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
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
