#!/usr/bin/env bash
# Black-box check of the real program: starts it on a virtual display of its own under a
# window manager (openbox), drives it with real X input (xdotool) and checks what a user
# sees and what lands on disk. Screenshots go to OUTDIR.
#   usage: run.sh PROGRAM OUTDIR
# Positions are offsets from the client origin of the window they are in; that origin and
# the windows themselves are read from the X server.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: run.sh PROGRAM OUTDIR" >&2
  exit 2
fi
program=$1
outdir=$2
mkdir -p "$outdir"

tmp=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    pid=${pids[i]}
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then
    echo "ok   - $what"
  else
    echo "FAIL - $what"
    failures=$((failures + 1))
  fi
}
# --- display -------------------------------------------------------------------------
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
export NO_AT_BRIDGE=1
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0
# No user's guide is recorded system-wide.
mkdir -p "$tmp/etc"
export XDG_CONFIG_DIRS="$tmp/etc"

settle() { sleep 0.4; }
wait_window() {  # wait_window NAME-REGEX: prints the id of the first window with that name
  # Polled rather than --sync: a search fails outright when a window goes while it looks.
  local i id
  for ((i = 0; i < 600; i++)); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}
origin() {  # origin WINDOW: sets OX, OY to the window's client origin on the screen, OH to its height
  local info
  info=$(xwininfo -id "$1")
  OX=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  OY=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
  OH=$(awk '/Height:/ {print $2}' <<<"$info")
}
click() {  # click X Y, relative to the last origin
  xdotool mousemove "$((OX + $1))" "$((OY + $2))" click 1
  settle
}
hex() { printf '0x%x' "$1"; }
pixel() {  # pixel X Y, relative to the last origin: the colour on screen there
  import -window root -crop "1x1+$((OX + $1))+$((OY + $2))" -depth 8 txt:- | awk 'END {print $3}'
}
wait_pixel_change() {  # wait_pixel_change X Y COLOUR: until the pixel is no longer COLOUR
  local i
  for ((i = 0; i < 100; i++)); do
    [ "$(pixel "$1" "$2")" != "$3" ] && return 0
    sleep 0.1
  done
  return 1
}
title_click() {  # title_click WINDOW: a click on the middle of the window's title bar
  local top width
  top=$(xprop -id "$1" _NET_FRAME_EXTENTS | awk -F'[=,]' '{print $4}')
  width=$(xwininfo -id "$1" | awk '/Width:/ {print $2}')
  origin "$1"
  xdotool mousemove "$((OX + width / 2))" "$((OY - top / 2))" click 1
  settle
}
# The program writes no toolkit warnings or critical errors to its standard error.
quiet_stderr() { ! grep -E 'Gtk-CRITICAL|Gtk-WARNING|GLib-GObject|Negative content width' "$1"; }
# The program's windows from the bottom of the stack to the top, as the window manager
# reports them.
stacking() { xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'; }
above() {  # above UPPER LOWER: UPPER is stacked above LOWER
  local order upper lower i=0 u=-1 l=-1
  order=$(stacking)
  upper=$(hex "$1")
  lower=$(hex "$2")
  for w in $order; do
    [ "$w" = "$upper" ] && u=$i
    [ "$w" = "$lower" ] && l=$i
    i=$((i + 1))
  done
  [ "$u" -gt "$l" ] && [ "$l" -ge 0 ]
}
start_program() {  # start_program HOME [ENV...]
  local home=$1
  shift
  mkdir -p "$home"
  env HOME="$home" XDG_CONFIG_HOME="$home/.config" "$@" "$program" >"$home.log" 2>&1 &
  app=$!
  pids+=("$app")
}
stop_program() {
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
}
named_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }
program_windows() { xdotool search --onlyvisible --classname Zentrik_Du64 2>/dev/null | wc -l; }
wait_more_windows() {  # wait_more_windows COUNT: until the program shows more than COUNT
  timeout 10 bash -c "until [ \$(xdotool search --onlyvisible --classname Zentrik_Du64 2>/dev/null | wc -l) -gt $1 ]; do sleep 0.1; done"
}
geometry() {  # geometry WINDOW: the client area's place and size on the screen, "X Y W H"
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}'
}
wait_geometry() {  # wait_geometry WINDOW "X Y W H": until the window has that place and size
  local i
  for ((i = 0; i < 100; i++)); do
    [ "$(geometry "$1")" = "$2" ] && return 0
    sleep 0.1
  done
  return 1
}
maximized() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_HORZ; }
wait_maximized() {  # wait_maximized WINDOW yes|no
  local i
  for ((i = 0; i < 100; i++)); do
    if maximized "$1"; then [ "$2" = yes ] && return 0; else [ "$2" = no ] && return 0; fi
    sleep 0.1
  done
  return 1
}
wait_no_window() {  # wait_no_window NAME-REGEX: until no visible window has that name
  local i
  for ((i = 0; i < 100; i++)); do
    [ "$(named_windows "$1")" -eq 0 ] && return 0
    sleep 0.1
  done
  return 1
}
wait_stacked() {  # wait_stacked WINDOW: until the window manager lists the window
  timeout 30 bash -c "until xprop -root _NET_CLIENT_LIST_STACKING | grep -q $(hex "$1"); do sleep 0.1; done"
}
close_program() {  # close_program FRAME: closes the frame as a user does and waits for the exit
  if [ -n "${WM:-}" ]; then wmctrl -i -c "$1"; else xdotool windowactivate "$1" key alt+f x; fi
  timeout 20 tail --pid="$app" -f /dev/null || true
  stop_program
}
drag() {  # drag FROM-X FROM-Y TO-X TO-Y: a press, a move in steps, a release (screen positions)
  local step
  xdotool mousemove "$1" "$2" mousedown 1
  for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove "$(($1 + ($3 - $1) * step / 10))" "$(($2 + ($4 - $2) * step / 10))"
    sleep 0.03
  done
  xdotool mouseup 1
}
# The floating panes draw their own caption along their top edge; its left part moves them.
caption_x() { origin "$1"; echo $((OX + 40)); }
caption_y() { origin "$1"; echo $((OY + 8)); }
edge_point() {  # edge_point FRAME left|right|bottom: a point just inside that edge of the client area
  local x y w h
  read -r x y w h <<<"$(geometry "$1")"
  case $2 in
    left) echo $((x + 8)) $((y + h / 2)) ;;
    right) echo $((x + w - 8)) $((y + h / 2)) ;;
    bottom) echo $((x + w / 2)) $((y + h - 8)) ;;
  esac
}
dock_by_drag() {  # dock_by_drag FRAME PANE SIDE: drags the floating pane onto that edge of the frame
  local to
  to=$(edge_point "$1" "$3")
  drag "$(caption_x "$2")" "$(caption_y "$2")" ${to% *} ${to#* }
}
menu() {  # menu MNEMONIC KEY: opens a menu of the frame, then presses KEY once it is open
  local before
  before=$(program_windows) # the open menu is a window of its own
  xdotool key "alt+$1"
  wait_more_windows "$before"
  xdotool key "$2"
}

# --- without a window manager: the output pane starts above the frame ------------------
start_program "$tmp/plain"
frame=$(wait_window '^Zentrik$')
output=$(wait_window '^Output$')
settle
top_of_two() {
  xwininfo -root -children | grep -E "^ +0x" | awk '{print $1}' |
    grep -m 1 -x -e "$(hex "$frame")" -e "$(hex "$output")"
}
check "without a window manager the output pane starts above the frame" \
  test "$(top_of_two)" = "$(hex "$output")"
dock_by_drag "$frame" "$output" left
check "without a window manager the output pane docks by a drag onto the left edge" \
  wait_no_window '^Output$'
stop_program
check "without a window manager nothing is reported on standard error" quiet_stderr "$tmp/plain.log"

# --- under openbox ---------------------------------------------------------------------
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
pids+=($!)
timeout 30 bash -c 'until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; do sleep 0.1; done'

export WM=openbox

# Docking back: the output pane floats from the first start; a drag onto an edge of the
# frame, or a double-click on its caption, docks it, and it stays docked after a restart.
for side in left right bottom; do
  start_program "$tmp/dock_$side"
  frame=$(wait_window '^Zentrik$')
  output=$(wait_window '^Output$')
  wait_stacked "$output"
  dock_by_drag "$frame" "$output" "$side"
  check "the output pane docks by a drag onto the $side edge" wait_no_window '^Output$'
  sleep 1 # the screenshot shows the frame painted anew
  import -window root "$outdir/docked_$side.png"
  close_program "$frame"
  start_program "$tmp/dock_$side"
  frame=$(wait_window '^Zentrik$')
  xdotool windowactivate --sync "$frame"
  settle
  check "docked on the $side edge, the output pane stays docked after a restart" \
    test "$(named_windows '^Output$')" -eq 0
  close_program "$frame"
done
start_program "$tmp/dock_click"
frame=$(wait_window '^Zentrik$')
output=$(wait_window '^Output$')
wait_stacked "$output"
xdotool mousemove "$(caption_x "$output")" "$(caption_y "$output")" click --repeat 2 --delay 80 1
check "a double-click on its caption docks the output pane" wait_no_window '^Output$'
close_program "$frame"

# The frame comes back where it was left, with its size, maximised or not.
start_program "$tmp/place"
frame=$(wait_window '^Zentrik$')
wait_stacked "$(wait_window '^Output$')"
wmctrl -i -r "$frame" -e 0,70,60,900,600
timeout 10 bash -c "until xwininfo -id $frame | grep -q 'Width: 900' && xwininfo -id $frame | grep -q 'Height: 600'; do sleep 0.1; done" || true
settle
placed=$(geometry "$frame")
close_program "$frame"
start_program "$tmp/place"
frame=$(wait_window '^Zentrik$')
check "a moved and resized frame comes back the same after a restart ($placed)" \
  wait_geometry "$frame" "$placed"
wmctrl -i -r "$frame" -b add,maximized_vert,maximized_horz
wait_maximized "$frame" yes || true
settle
large=$(geometry "$frame")
close_program "$frame"
start_program "$tmp/place"
frame=$(wait_window '^Zentrik$')
check "a maximised frame comes back maximised after a restart" wait_maximized "$frame" yes
check "the maximised frame has the whole screen again ($large)" wait_geometry "$frame" "$large"
sleep 1 # the screenshot shows the frame painted
import -window root "$outdir/restarted_maximized.png"
wmctrl -i -r "$frame" -b remove,maximized_vert,maximized_horz
check "restored from maximised, the frame has the place it had before ($placed)" \
  wait_geometry "$frame" "$placed"
close_program "$frame"

home="$tmp/home"
parts="$home/Ostrel/Zentrik2020/parts"
library="$home/Ostrel/Zentrik2020/library"
start_program "$home"
frame=$(wait_window '^Zentrik$')
output=$(wait_window '^Output$')
timeout 30 bash -c "until xprop -root _NET_CLIENT_LIST_STACKING | grep -q $(hex "$output"); do sleep 0.1; done"
settle
check "under a window manager the output pane starts above the frame" above "$output" "$frame"
title_click "$frame"
check "the output pane stays above the frame after a click on its title bar" above "$output" "$frame"

# The Help menu: its mnemonic u would open the user's guide, which is not installed.
xdotool windowactivate --sync "$frame"
menu h u
settle
check "no User's Guide item without a guide" test "$(named_windows '^Zentrik$')" -eq 1
xdotool key Escape Escape
settle

# A part open in the main frame.
origin "$frame"
background=$(pixel 740 280) # the middle of the preview
click 109 105               # QFP_Sample_1, the file tree's second row
check "the part opens in the preview" wait_pixel_change 740 280 "$background"
top=$(pixel 559 100) # near a corner of the mold seen from the top; background in the iso view
click 740 280        # the preview takes the keys
xdotool key i
check "the preview turns to the iso view by its key" wait_pixel_change 559 100 "$top"
import -window root "$outdir/main_frame_part.png"
check "the output pane stays above the frame after clicks in it" above "$output" "$frame"

# The Export dialog from the menu, ten times: the floating output pane never covers it.
covered=0
for attempt in 1 2 3 4 5 6 7 8 9 10; do
  xdotool windowactivate --sync "$frame"
  menu f e
  export_dialog=$(wait_window '^Export$')
  wait_stacked "$export_dialog"
  for look in 1 2 3 4 5; do
    if above "$output" "$export_dialog"; then covered=$((covered + 1)); fi
    sleep 0.1
  done
  wmctrl -i -c "$export_dialog"
  wait_no_window '^Export$' || true
done
check "opened ten times from the menu, the Export dialog is never under the output pane" \
  test "$covered" -eq 0
check "with the dialogs closed the output pane is above the frame again" above "$output" "$frame"

# New Folder by keyboard only, with the QFP folder (the tree's first row) selected.
row() { echo $((82 + 23 * $1)); } # the file tree's rows
# A click on the folder, not on the part: a click on the selected row would start renaming it.
# The tree takes a clicked row only after the click; the menu must find it selected.
unselected=$(pixel 54 74) # inside the folder's label box, beside its text
click 68 "$(row 0)"
check "a click selects the QFP folder" wait_pixel_change 54 74 "$unselected"
menu f f
# Typed only into the dialog: in an open menu its x would be Exit.
if timeout 10 xdotool search --sync --onlyvisible --name '^New Folder$' >/dev/null; then
  settle
  xdotool type --delay 20 "blackbox folder"
  xdotool key Return
  timeout 10 bash -c "until [ -d '$parts/QFP/blackbox folder' ]; do sleep 0.1; done" || true
fi
check "New Folder by keyboard creates the folder on disk" test -d "$parts/QFP/blackbox folder"

# A part dragged onto another package type's folder is refused.
origin "$frame"
xdotool windowactivate --sync "$frame"
before=$(program_windows)
# Rows now: QFP, its new folder, QFP_Sample_1, SOP.
xdotool mousemove "$((OX + 109))" "$((OY + $(row 2)))" mousedown 1
for step in 1 2 3 4 5 6; do
  xdotool mousemove "$((OX + 109 - step * 6))" "$((OY + $(row 2) + step * 4))"
  sleep 0.05
done
xdotool mousemove "$((OX + 68))" "$((OY + $(row 3)))"
sleep 0.1
xdotool mouseup 1
refused=no
wait_more_windows "$before" && refused=yes
xdotool key Return
settle
check "a cross-type move is refused with a message" test "$refused" = yes
check "the refused part stays in its type folder" \
  test -f "$parts/QFP/QFP_Sample_1.qvx" -a ! -e "$parts/SOP/QFP_Sample_1.qvx"

# A deleted part leaves no row highlighted: none is open afterwards.
xdotool windowactivate --sync "$frame"
origin "$frame"
deleted=$(row 6) # PBGA_Sample_1
unselected=$(pixel 109 $((deleted - 8)))
before=$(program_windows)
xdotool mousemove "$((OX + 109))" "$((OY + deleted))" click 3
check "a right-click selects the part" wait_pixel_change 109 $((deleted - 8)) "$unselected"
selected=$(pixel 109 $((deleted - 8)))
wait_more_windows "$before" # the context menu
xdotool key Down Return      # Delete
wait_more_windows "$before"  # the question
settle
inactive=$(pixel 109 $((deleted - 8))) # the highlight while the tree has no focus
xdotool key Return                       # Yes
timeout 10 bash -c "while [ -e '$parts/PBGA/PBGA_Sample_1.qvx' ]; do sleep 0.1; done" || true
check "the part is deleted" test ! -e "$parts/PBGA/PBGA_Sample_1.qvx"
highlighted() {  # the pixels of the tree's first rows in a highlight colour
  local colours=("$selected")
  [ "$inactive" != "$unselected" ] && colours+=("$inactive")
  import -window root -crop "170x$((23 * 8))+$((OX + 20))+$((OY + $(row 0) - 12))" -depth 8 txt:- |
    grep -c -i -F "${colours[@]/#/-e}" || true
}
wait_no_highlight() {
  local i calm=0
  for ((i = 0; i < 100 && calm < 10; i++)); do
    if [ "$(highlighted)" -eq 0 ]; then calm=$((calm + 1)); else calm=0; fi
    sleep 0.1
  done
  [ "$calm" -ge 10 ]
}
check "after the delete no row of the tree is highlighted" wait_no_highlight
import -window root "$outdir/after_delete.png"

# Export: one kind per row, by mouse and by keyboard, in one run.
mkdir -p "$library"
xdotool windowactivate --sync "$frame"
menu f e
export_dialog=$(wait_window '^Export$')
settle
origin "$export_dialog"
prow() { echo $((44 + 23 * $1)); } # the parts tree's rows: QFP, its new folder, ...
click 120 "$(prow 2)" # QFP_Sample_1
click 432 211         # Add to list
click 120 "$(prow 4)" # SOP_Sample_1
click 432 211
click 760 66  # the first row's modeling type: its list opens below it
click 760 156 # "Two-resistor model" by mouse
click 760 89  # the second row's modeling type
xdotool key Down Down Return # "Three-resistor model" by keyboard
settle
import -window root "$outdir/export_mixed.png"
click 862 $((OH - 28)) # Export, in the dialog's bottom row
timeout 60 bash -c "until [ -f '$library/QFP_Sample_1_2resistance.cab' ] && [ -f '$library/SOP_Sample_1_3resistance.cab' ]; do sleep 0.2; done" || true
check "the two-resistor cabinet of the first row is on disk" test -s "$library/QFP_Sample_1_2resistance.cab"
check "the three-resistor cabinet of the second row is on disk" test -s "$library/SOP_Sample_1_3resistance.cab"
check "no detail cabinet was written" test -z "$(ls "$library" | grep -v resistance || true)"

stop_program
check "under a window manager nothing is reported on standard error" quiet_stderr "$home.log"

# --- the Japanese main frame -----------------------------------------------------------
# LANG decides only when LC_ALL and LC_MESSAGES are unset, as they may not be around a
# test run in another locale.
start_program "$tmp/japanese" LC_ALL= LC_MESSAGES= LANG=ja_JP.UTF-8
frame=$(wait_window '^Zentrik$')
wait_more_windows 1 # the output pane
xdotool windowactivate --sync "$frame"
origin "$frame"
background=$(pixel 740 280)
click 109 99 # QFP_Sample_1: the Japanese font's rows are lower
check "the part opens in the Japanese main frame" wait_pixel_change 740 280 "$background"
settle
import -window root "$outdir/main_frame_japanese.png"
stop_program
check "in Japanese nothing is reported on standard error" quiet_stderr "$tmp/japanese.log"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
