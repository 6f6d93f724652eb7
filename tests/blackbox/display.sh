# Sourced by the black-box scripts: makes the scratch folder $tmp and the array pids of the
# processes to end at exit (last started, first ended), both gone when the script exits;
# then starts Xvfb on a display number of its own choosing (its screen SCREEN_SIZE, 1280x800
# unless set) and exports DISPLAY.
tmp=$(mktemp -d)
pids=()
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$tmp"
}
trap cleanup EXIT
# A command that fails outside a condition ends the script (set -e); say which one.
set -E
# Only the script's own shell says it: a failure inside $(...) ends nothing by itself.
trap 'status=$?; [ "$BASH_SUBSHELL" -ne 0 ] ||
  echo "${BASH_SOURCE[0]##*/}:$LINENO: \"$BASH_COMMAND\" failed with status $status" >&2' ERR
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

mkfifo "$tmp/displayfd"
Xvfb -displayfd 3 -screen 0 "${SCREEN_SIZE:-1280x800}x24" -nolisten tcp 3>"$tmp/displayfd" 2>"$tmp/xvfb.log" &
pids+=($!)
display=""
if ! read -r -t 30 display <"$tmp/displayfd" || [ -z "$display" ]; then
  echo "Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$display"
unset WAYLAND_DISPLAY

# Starts openbox and waits until it serves requests: xdotool activates a window only once
# the window manager lists _NET_ACTIVE_WINDOW among what it supports. An openbox that could
# not open the display (it happens now and then while many virtual displays start and stop
# at once) is started again.
start_openbox() {
  local try pid
  for try in 1 2 3; do
    openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
    pid=$!
    if timeout 30 bash -c "until xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW; do
                             grep -q '^State:.[^Z]' /proc/$pid/status 2>/dev/null || exit 1  # exited
                             sleep 0.1; done"; then
      pids+=("$pid")
      return 0
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  echo "openbox did not start:" >&2
  cat "$tmp/openbox.log" >&2
  return 1
}
