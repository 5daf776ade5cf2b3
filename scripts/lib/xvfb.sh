# Sourced by the scripts that need a private X server.
#
# start_xvfb WORK [SCREEN]: starts Xvfb on a display it picks itself (it
# writes the number to fd 3), waits for it, exports DISPLAY and sets
# XVFB_PID. Leaves its log in WORK/xvfb.log. On failure says why on standard
# error and returns 1; stopping the server is the caller's cleanup.
start_xvfb() {
  local work=$1 screen=${2:-1024x768x24} _
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    if ! kill -0 "$XVFB_PID" 2>/dev/null; then
      echo "Xvfb did not start: $(cat "$work/xvfb.log")" >&2
      return 1
    fi
    sleep 0.1
  done
  if [[ ! -s $work/display ]]; then
    echo "Xvfb reported no display" >&2
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$work/display")"
}
