# Shared by the scripts that compare start views (the Wine comparison and the
# package tests); needs xvfb_common.sh's screen. ef_start_view OUT DIR
# PROGRAM... runs the program in DIR, waits for its window and its first frame
# (the sky is the clear colour), then for the view to settle after the
# camera's first update (two shots in a row alike), screenshots the window's
# area into OUT and ends the program: with
# EF_END_WITH_ESCAPE=1 by an Escape key press, which must end it with exit
# code 0, otherwise by a signal. On the way it fails when a message box shows
# (a missing image, a start-up failure) and when the window carries no icon
# (_NET_WM_ICON). Writes the program's output to OUT.log.
ef_start_view() {
  local out=$1 dir=$2
  shift 2
  (cd "$dir" && exec "$@") >"$out.log" 2>&1 &
  local pid=$!
  local window
  window=$(ef_find_window 60 --name "^Direct3D \(DX9\) - FULL Screen$")
  if [ -z "$window" ]; then
    echo "FAIL: no window from $*: $(cat "$out.log")" >&2
    return 1
  fi
  local sky="" box=""
  local end=$((SECONDS + 60))
  while [ "$SECONDS" -le "$end" ]; do
    box=$(xdotool search --onlyvisible --name "^(Fehler|Error)$" 2>/dev/null | head -n1)
    [ -n "$box" ] && break
    import -window root -crop 824x568+20+20 +repage "$out"
    sky=$(convert "$out" -format '%[pixel:p{400,20}]' info:)
    [ "$sky" = "srgb(204,204,255)" ] && break
    sleep 0.2
  done
  local status=0
  if [ -n "$box" ]; then
    echo "FAIL: a message box \"$(xdotool getwindowname "$box")\" showed; output: $(cat "$out.log")" >&2
    status=1
  elif [ "$sky" != "srgb(204,204,255)" ]; then
    echo "FAIL: no frame from $*: top of the window is $sky" >&2
    status=1
  elif ! ef_settled_shot "$out" 824x568+20+20; then
    echo "FAIL: the view of $* did not settle" >&2
    status=1
  else
    # The window that shows the frame: the layer may have made it again
    # behind the program's HWND while it chose how to reach OpenGL.
    window=$(ef_find_window 10 --name "^Direct3D \(DX9\) - FULL Screen$")
    if ! xprop -id "$window" _NET_WM_ICON | grep "Icon (" >/dev/null; then
      echo "FAIL: the window of $* has no icon: $(xprop -id "$window" _NET_WM_ICON)" >&2
      status=1
    fi
  fi
  if [ "$status" = 0 ] && [ "${EF_END_WITH_ESCAPE:-0}" = 1 ]; then
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key Escape
    local code
    ef_wait_exit "$pid" 20
    code=$?
    if [ "$code" != 0 ]; then
      echo "FAIL: $* ended with exit code $code after Escape, not 0: $(cat "$out.log")" >&2
      return 1
    fi
    return 0
  fi
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  return $status
}
