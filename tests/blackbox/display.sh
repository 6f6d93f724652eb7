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

# Starts openbox and waits until it serves requests. It names itself on the root window a
# moment before it lists what it supports, and xdotool refuses to activate a window until
# that list holds _NET_ACTIVE_WINDOW.
start_openbox() {
  openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
  pids+=($!)
  timeout 30 bash -c 'until xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW; do sleep 0.1; done'
}
