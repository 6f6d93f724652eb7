#!/usr/bin/env bash
# Black-box check of the Japanese interface: starts the program on a virtual display of its
# own under a window manager (openbox) with a D-Bus session and the accessibility bus, and has
# japanese_texts.py open its dialogs and message boxes and read their texts from the
# accessibility tree.
#   usage: japanese_texts.sh PROGRAM
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: japanese_texts.sh PROGRAM" >&2
  exit 2
fi
program=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

source "$here/display.sh"
unset NO_AT_BRIDGE
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0

# A session bus of our own, then the accessibility bus on it.
eval "$(dbus-launch --sh-syntax)"
pids+=("$DBUS_SESSION_BUS_PID")
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$tmp/at-spi.log" 2>&1 &
pids+=($!)

# A window manager gives the keyboard to the window that is activated.
start_openbox

home="$tmp/home"
mkdir -p "$home"
env HOME="$home" XDG_CONFIG_HOME="$home/.config" LC_ALL= LC_MESSAGES= LANGUAGE= \
  LANG=ja_JP.UTF-8 "$program" >"$tmp/program.log" 2>&1 &
pids+=($!)

frame=$(timeout 60 xdotool search --sync --onlyvisible --name '^Zentrik$' | head -n 1)
info=$(xwininfo -id "$frame")
ox=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
oy=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
cat >"$tmp/click" <<CLICK
#!/bin/sh
exec xdotool mousemove \$((${ox} + \$1)) \$((${oy} + \$2)) click 1
CLICK
chmod +x "$tmp/click"

status=0
timeout 240 /usr/bin/python3 "$here/japanese_texts.py" "$frame" "$tmp/click" || status=$?
if [ "$status" -ne 0 ]; then
  [ -n "${SHOT:-}" ] && import -window root "$SHOT"
  echo "--- the program's output"
  cat "$tmp/program.log"
fi
exit "$status"
