# Sourced by the black-box scripts: starts Xvfb on a display number of its own choosing and
# exports DISPLAY. Expects $tmp (a scratch folder) and the array pids (processes to end at
# exit) from the script that sources it.
mkfifo "$tmp/displayfd"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$tmp/displayfd" 2>"$tmp/xvfb.log" &
pids+=($!)
display=""
if ! read -r -t 30 display <"$tmp/displayfd" || [ -z "$display" ]; then
  echo "Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$display"
unset WAYLAND_DISPLAY
