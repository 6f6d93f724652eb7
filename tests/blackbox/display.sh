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
