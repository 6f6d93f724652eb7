#!/usr/bin/env bash
# Black-box check of the real program: starts it on a virtual display of its own under a
# window manager (openbox), drives it with real X input (xdotool) and checks what a user
# sees and what lands on disk. Screenshots go to OUTDIR.
#   usage: run.sh PROGRAM OUTDIR [layout]
# With "layout" it checks only that a maximised frame keeps its panes' sizes over restarts,
# in English and Japanese, on a screen larger than the frame's first size.
# Positions come from the program: the windows' places from the X server, and the places of
# the controls and of what the toolkit draws itself (tree rows, list cells, the preview) from
# the geometry the program writes when ZENTRIK_GEOMETRY_DUMP names a file (one line per
# thing, "KIND X Y W H STATE NAME" in screen pixels).
set -euo pipefail

if [ $# -ne 2 ] && { [ $# -ne 3 ] || [ "$3" != layout ]; }; then
  echo "usage: run.sh PROGRAM OUTDIR [layout]" >&2
  exit 2
fi
program=$1
outdir=$2
part=${3:-all}
mkdir -p "$outdir"

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
[ "$part" = layout ] && export SCREEN_SIZE=1600x1000
source "$(dirname "${BASH_SOURCE[0]}")/display.sh"
export NO_AT_BRIDGE=1
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0
# No user's guide is recorded system-wide.
mkdir -p "$tmp/etc"
export XDG_CONFIG_DIRS="$tmp/etc"

poll() {  # poll TENTHS COMMAND...: until COMMAND succeeds, trying every tenth of a second
  local i
  for ((i = 0; i < $1; i++)); do
    "${@:2}" && return 0
    sleep 0.1
  done
  return 1
}
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
origin() {  # origin WINDOW: sets OX, OY to the window's client origin on the screen
  local info
  info=$(xwininfo -id "$1")
  OX=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  OY=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
}
# The program's geometry file of its current run.
find() {  # find KIND NAME [WINDOW-TITLE]: "X Y W H STATE" of the first such line, or nothing
  [ -f "$dump" ] || return 0
  awk -v kind="$1" -v name="$2" -v window="${3-}" '
    { rest = $0; for (i = 0; i < 6; i++) sub(/^[^ ]+ /, "", rest) }
    $1 == "window" { inside = (window == "" || rest == window) }
    $1 == kind && rest == name && inside { print $2, $3, $4, $5, $6; exit }' "$dump"
}
wait_find() {  # wait_find KIND NAME [WINDOW-TITLE [STATE]]: "X Y W H" once the dump has it
  local i found
  for ((i = 0; i < 300; i++)); do
    found=$(find "$1" "$2" "${3-}")
    if [ -n "$found" ] && { [ -z "${4-}" ] || [ "${found##* }" = "$4" ]; }; then
      echo "${found% *}"
      return 0
    fi
    sleep 0.1
  done
  echo "the program never showed $1 $2${3:+ in $3}${4:+ ($4)}" >&2
  return 1
}
centre() { echo $(($1 + $3 / 2)) $(($2 + $4 / 2)); }  # centre X Y W H
click_at() { xdotool mousemove "$1" "$2" click 1; }   # click_at X Y, on the screen
click_on() {  # click_on KIND NAME [WINDOW-TITLE [STATE]]: a click on the middle of it
  local r
  r=$(wait_find "$@") || return 1
  click_at $(centre $r)
}
shown() { grep -q "^$1 " "$dump" 2>/dev/null; }  # shown KIND: the dump has a line of that kind
wait_shown() { poll 300 shown "$1"; }
focus_window() {  # the title of the window that holds the keyboard focus
  awk '$1 == "focus" { for (i = 0; i < 6; i++) sub(/^[^ ]+ /, ""); print; exit }' "$dump" 2>/dev/null || true
}
focus_on() {  # focus_on KIND NAME [WINDOW-TITLE]: the keyboard focus is on it
  local r f
  r=$(find "$@")
  f=$(find focus "$(focus_window)")
  [ -n "$r" ] && [ "${f% *}" = "${r% *}" ]
}
wait_focus() { poll 300 focus_on "$@"; }
focus_in() { [ "$(focus_window)" = "$1" ]; }  # focus_in WINDOW-TITLE
wait_focus_in() { poll 300 focus_in "$1"; }
inactive() { [ "$(xdotool getactivewindow 2>/dev/null)" != "$1" ]; }  # inactive WINDOW
wait_inactive() { poll 300 inactive "$1"; }  # until another window is the active one
hex() { printf '0x%x' "$1"; }
pixel() {  # pixel X Y: the colour on screen there
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- | awk 'END {print $3}'
}
pixel_not() { [ "$(pixel "$1" "$2")" != "$3" ]; }  # pixel_not X Y COLOUR
wait_pixel_change() { poll 100 pixel_not "$@"; }  # until the pixel is no longer COLOUR
wait_pixel_still() {  # wait_pixel_still X Y: prints the pixel's colour once two reads agree
  local i now last
  last=$(pixel "$1" "$2")
  for ((i = 0; i < 100; i++)); do
    sleep 0.1
    now=$(pixel "$1" "$2")
    [ "$now" = "$last" ] && break
    last=$now
  done
  echo "$now"
}
screen_sum() { import -window root -depth 8 rgb:- | md5sum; }
wait_still() {  # until the screen is the same in two reads in a row
  local i now last
  last=$(screen_sum)
  for ((i = 0; i < 100; i++)); do
    sleep 0.1
    now=$(screen_sum)
    [ "$now" = "$last" ] && return 0
    last=$now
  done
  return 1
}
title_click() {  # title_click WINDOW: a click on the middle of the window's title bar
  local top width
  top=$(xprop -id "$1" _NET_FRAME_EXTENTS | awk -F'[=,]' '{print $4}')
  width=$(xwininfo -id "$1" | awk '/Width:/ {print $2}')
  origin "$1"
  xdotool mousemove "$((OX + width / 2))" "$((OY - top / 2))" click 1
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
  dump="$home.geometry"
  rm -f "$dump"
  env HOME="$home" XDG_CONFIG_HOME="$home/.config" ZENTRIK_GEOMETRY_DUMP="$dump" "$@" "$program" \
    >"$home.log" 2>&1 &
  app=$!
  pids+=("$app")
}
stop_program() {
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
}
named_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }
program_windows() { xdotool search --onlyvisible --classname Zentrik_Du64 2>/dev/null | wc -l; }
more_windows() { [ "$(program_windows)" -gt "$1" ]; }   # more_windows COUNT
windows_back() { [ "$(program_windows)" -le "$1" ]; }   # windows_back COUNT
wait_more_windows() { poll 300 more_windows "$1"; }  # until the program shows more than COUNT
wait_windows_back() { poll 300 windows_back "$1"; }  # until it shows no more than COUNT
new_window() {  # new_window IDS: prints the first shown window of the program not in IDS
  local i id
  for ((i = 0; i < 100; i++)); do
    for id in $(xdotool search --onlyvisible --classname Zentrik_Du64 2>/dev/null); do
      grep -qxF "$id" <<<"$1" || { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
geometry() {  # geometry WINDOW: the client area's place and size on the screen, "X Y W H"
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}'
}
has_geometry() { [ "$(geometry "$1")" = "$2" ]; }  # has_geometry WINDOW "X Y W H"
wait_geometry() { poll 100 has_geometry "$@"; }
maximized() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_HORZ; }
maximized_is() { if maximized "$1"; then [ "$2" = yes ]; else [ "$2" = no ]; fi; }
wait_maximized() { poll 100 maximized_is "$@"; }  # wait_maximized WINDOW yes|no
no_window() { [ "$(named_windows "$1")" -eq 0 ]; }  # no_window NAME-REGEX
wait_no_window() { poll 100 no_window "$1"; }
wait_stacked() {  # wait_stacked WINDOW: until the window manager lists the window
  timeout 30 bash -c "until xprop -root _NET_CLIENT_LIST_STACKING | grep -q $(hex "$1"); do sleep 0.1; done"
}
close_program() {  # close_program FRAME: closes the frame as a user does and waits for the exit
  if [ -n "${WM:-}" ]; then wmctrl -i -c "$1"; else xdotool windowactivate "$1" key alt+f x; fi
  # A kill loses what the program saves as it closes: say so, as a later check then fails.
  if ! timeout 60 tail --pid="$app" -f /dev/null; then
    echo "# the program had not ended 60 s after it was closed, and is killed"
  fi
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
placed() {  # placed FRAME PANE: the floating pane is in the frame's bottom right corner
  local fx fy fw fh px py pw ph
  read -r fx fy fw fh <<<"$(geometry "$1")"
  read -r px py pw ph <<<"$(geometry "$2")"
  [ $((px + pw)) -eq $((fx + fw)) ] && [ $((py + ph)) -eq $((fy + fh)) ]
}
# Until the first start has put the pane where the drag will look for its caption.
wait_placed() { poll 300 placed "$@"; }
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

# The program has taken a change of its place once the rectangle it writes has changed and
# holds still.
frame_moved() {  # frame_moved RECTANGLE-BEFORE: until the program has taken the frame's change
  local i now last=$1
  for ((i = 0; i < 100; i++)); do
    sleep 0.1
    now=$(find window Zentrik)
    [ "$now" != "$1" ] && [ "$now" = "$last" ] && return 0
    last=$now
  done
  return 1
}
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}

# --- a maximised frame's panes over restarts (run.sh PROGRAM OUTDIR layout) --------------
pane_sizes() {  # the docked panes' sizes, "NAME WxH ..."
  local name
  for name in file_view components properties help; do
    echo -n "$name $(find pane "$name" Zentrik | awk '{print $3 "x" $4}') "
  done
}
near_sizes() {  # near_sizes SIZES-BEFORE SIZES-NOW: every size within 2 px
  local -a before=($1) now=($2)
  local i field a b
  [ "${#before[@]}" -eq "${#now[@]}" ] || return 1
  for ((i = 1; i < ${#before[@]}; i += 2)); do
    [ "${before[i]}" != x ] && [ "${now[i]}" != x ] || return 1
    for field in 1 2; do
      b=$(cut -dx -f"$field" <<<"${before[i]}")
      a=$(cut -dx -f"$field" <<<"${now[i]}")
      [ $((a - b)) -le 2 ] && [ $((b - a)) -le 2 ] || return 1
    done
  done
}
# Both waits allow 30 s: a sanitizer build on a loaded machine may take that long to start.
frame_at() { [ "$(find window Zentrik)" = "$1" ]; }  # frame_at "X Y W H -"
wait_frame_rect() { poll 300 frame_at "$1"; }
sizes_still() {  # prints the panes' sizes once they have read the same for a second
  local i same=0 now last=""
  for ((i = 0; i < 100 && same < 5; i++)); do
    sleep 0.2
    now=$(pane_sizes)
    if [ "$now" = "$last" ]; then same=$((same + 1)); else same=0; fi
    last=$now
  done
  echo "$last"
}
sizes_near() { near_sizes "$1" "$(pane_sizes)"; }  # sizes_near SIZES: the panes have them
wait_sizes() { poll 300 sizes_near "$1"; }
if [ "$part" = layout ]; then
  start_openbox
  export WM=openbox
  for language in en ja; do
    locale=()
    [ "$language" = ja ] && locale=(LC_ALL= LC_MESSAGES= LANG=ja_JP.UTF-8)
    home="$tmp/layout_$language"
    start_program "$home" "${locale[@]}"
    frame=$(wait_window '^Zentrik$')
    wait_more_windows 1 || true # the output pane
    wait_find pane file_view Zentrik >/dev/null || true
    before=$(find window Zentrik)
    wmctrl -i -r "$frame" -b add,maximized_vert,maximized_horz
    check "$language: the frame is maximised" wait_maximized "$frame" yes
    frame_moved "$before" || true
    large=$(find window Zentrik)
    sizes=$(sizes_still)
    echo "# $language, maximised: $sizes"
    close_program "$frame"
    for restart in 1 2 3; do
      start_program "$home" "${locale[@]}"
      frame=$(wait_window '^Zentrik$')
      # A frame that came back unmaximised shows its panes at the normal size: say so.
      check "$language: restart $restart brings the frame back maximised" wait_maximized "$frame" yes
      if ! maximized "$frame"; then
        echo "# saved: $(grep -rh MainFrameRect "$home/.config" 2>/dev/null || echo nothing)"
        tail -n 5 "$home.log" | sed 's/^/# log: /'
      fi
      wait_frame_rect "$large" || true
      wait_sizes "$sizes" || true
      now=$(pane_sizes)
      check "$language: restart $restart of the maximised frame keeps every pane's size within 2 px ($now)" \
        near_sizes "$sizes" "$now"
      [ "$restart" -eq 3 ] && wait_still && import -window root "$outdir/layout_restarted_$language.png"
      close_program "$frame"
    done
  done
  # A maximised frame whose own rectangle was kept with its corner just off the screen, as a
  # window manager may report a frame it is placing, still comes back maximised.
  home="$tmp/layout_en"
  record=$(grep -rl '^MainFrameRect=' "$home/.config")
  sed -i 's/^MainFrameRect=.*/MainFrameRect=-1,-20,1280,800,1/' "$record"
  start_program "$home"
  frame=$(wait_window '^Zentrik$')
  check "a frame kept maximised with its corner just off the screen comes back maximised" \
    wait_maximized "$frame" yes
  close_program "$frame"
  finish
fi

# --- without a window manager: the output pane starts above the frame ------------------
start_program "$tmp/plain"
frame=$(wait_window '^Zentrik$')
output=$(wait_window '^Output$')
wait_find output Output >/dev/null || true # the pane is in its floating window, placed and raised
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
start_openbox

export WM=openbox

# Docking back: the output pane floats from the first start; a drag onto an edge of the
# frame, or a double-click on its caption, docks it, and it stays docked after a restart.
for side in left right bottom; do
  start_program "$tmp/dock_$side"
  frame=$(wait_window '^Zentrik$')
  output=$(wait_window '^Output$')
  wait_stacked "$output"
  wait_placed "$frame" "$output" || true
  dock_by_drag "$frame" "$output" "$side"
  check "the output pane docks by a drag onto the $side edge" wait_no_window '^Output$'
  # The screenshot shows the frame painted anew, with the pane in it.
  wait_find output Zentrik >/dev/null && wait_still || true
  import -window root "$outdir/docked_$side.png"
  close_program "$frame"
  start_program "$tmp/dock_$side"
  frame=$(wait_window '^Zentrik$')
  xdotool windowactivate --sync "$frame"
  # The pane is shown wherever the restored layout puts it.
  wait_shown output || true
  check "docked on the $side edge, the output pane stays docked after a restart" \
    test "$(named_windows '^Output$')" -eq 0
  close_program "$frame"
done
start_program "$tmp/dock_click"
frame=$(wait_window '^Zentrik$')
output=$(wait_window '^Output$')
wait_stacked "$output"
wait_placed "$frame" "$output" || true
xdotool mousemove "$(caption_x "$output")" "$(caption_y "$output")" click --repeat 2 --delay 80 1
check "a double-click on its caption docks the output pane" wait_no_window '^Output$'
close_program "$frame"

# The frame comes back where it was left, with its size, maximised or not.
start_program "$tmp/place"
frame=$(wait_window '^Zentrik$')
wait_stacked "$(wait_window '^Output$')"
wait_find output Output >/dev/null || true
before=$(find window Zentrik)
wmctrl -i -r "$frame" -e 0,70,60,900,600
timeout 10 bash -c "until xwininfo -id $frame | grep -q 'Width: 900' && xwininfo -id $frame | grep -q 'Height: 600'; do sleep 0.1; done" || true
frame_moved "$before" || true
placed=$(geometry "$frame")
close_program "$frame"
start_program "$tmp/place"
frame=$(wait_window '^Zentrik$')
check "a moved and resized frame comes back the same after a restart ($placed)" \
  wait_geometry "$frame" "$placed"
wait_find output Output >/dev/null || true
before=$(find window Zentrik)
wmctrl -i -r "$frame" -b add,maximized_vert,maximized_horz
wait_maximized "$frame" yes || true
frame_moved "$before" || true
large=$(geometry "$frame")
close_program "$frame"
start_program "$tmp/place"
frame=$(wait_window '^Zentrik$')
check "a maximised frame comes back maximised after a restart" wait_maximized "$frame" yes
check "the maximised frame has the whole screen again ($large)" wait_geometry "$frame" "$large"
wait_find preview - Zentrik >/dev/null && wait_still || true # the screenshot shows the frame painted
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
wait_find output Output >/dev/null || true # placed and raised
check "under a window manager the output pane starts above the frame" above "$output" "$frame"
title_click "$frame"
check "the output pane stays above the frame after a click on its title bar" above "$output" "$frame"

# The Help menu: its mnemonic u would open the user's guide, which is not installed. The
# menu is closed again before the count: by then the key has been taken, whatever it did.
xdotool windowactivate --sync "$frame"
before=$(program_windows)
menu h u
xdotool key Escape Escape
wait_windows_back "$before" || true
check "no User's Guide item without a guide" test "$(named_windows '^Zentrik$')" -eq 1

# A part open in the main frame.
read -r px py pw ph <<<"$(wait_find preview - Zentrik)"
read -r cx cy <<<"$(centre "$px" "$py" "$pw" "$ph")" # the middle of the preview
background=$(pixel "$cx" "$cy")
click_on file-tree-row QFP_Sample_1 || true
check "the part opens in the preview" wait_pixel_change "$cx" "$cy" "$background"
# Near a corner of the mold seen from the top; background in the iso view. The drawing is
# centred and scales with the preview's height, so the point is given in shares of it.
mx=$((cx - ph * 358 / 1000))
my=$((cy - ph * 354 / 1000))
top=$(pixel "$mx" "$my")
click_at "$cx" "$cy" # the preview takes the keys
wait_focus preview - Zentrik || true
xdotool key i
check "the preview turns to the iso view by its key" wait_pixel_change "$mx" "$my" "$top"
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
# A click on the folder, not on the part: a click on the selected row would start renaming it.
# The tree takes a clicked row only after the click; the menu must find it selected.
xdotool windowactivate --sync "$frame"
wait_focus_in Zentrik || true
read -r fx fy fw fh <<<"$(wait_find file-tree-row QFP Zentrik)"
# Inside the folder's label box, beside its text: the box reaches a little beyond the text.
read -r bx by <<<"$((fx - 1)) $((fy + 3))"
unselected=$(pixel "$bx" "$by")
click_at $(centre "$fx" "$fy" "$fw" "$fh")
check "a click selects the QFP folder" wait_pixel_change "$bx" "$by" "$unselected"
wait_find file-tree-row QFP Zentrik selected >/dev/null || true
menu f f
# Typed only into the dialog: in an open menu its x would be Exit.
if timeout 10 xdotool search --sync --onlyvisible --name '^New Folder$' >/dev/null; then
  wait_focus_in "New Folder" || true
  xdotool type --delay 20 "blackbox folder"
  xdotool key Return
  timeout 10 bash -c "until [ -d '$parts/QFP/blackbox folder' ]; do sleep 0.1; done" || true
fi
check "New Folder by keyboard creates the folder on disk" test -d "$parts/QFP/blackbox folder"

# A part dragged onto another package type's folder is refused.
xdotool windowactivate --sync "$frame"
wait_find file-tree-row "blackbox folder" Zentrik >/dev/null || true
before=$(program_windows)
read -r sx sy <<<"$(centre $(wait_find file-tree-row QFP_Sample_1 Zentrik))"
read -r tx ty <<<"$(centre $(wait_find file-tree-row SOP Zentrik))"
xdotool mousemove "$sx" "$sy" mousedown 1
for step in 1 2 3 4 5 6; do
  xdotool mousemove "$((sx - step * 6))" "$((sy + step * 4))"
  sleep 0.05
done
xdotool mousemove "$tx" "$ty"
sleep 0.1
xdotool mouseup 1
refused=no
wait_more_windows "$before" && refused=yes
xdotool key Return
wait_windows_back "$before" || true
check "a cross-type move is refused with a message" test "$refused" = yes
check "the refused part stays in its type folder" \
  test -f "$parts/QFP/QFP_Sample_1.qvx" -a ! -e "$parts/SOP/QFP_Sample_1.qvx"

# A deleted part leaves no row highlighted: none is open afterwards.
xdotool windowactivate --sync "$frame"
wait_focus_in Zentrik || true
read -r dx dy dw dh <<<"$(wait_find file-tree-row PBGA_Sample_1 Zentrik)"
read -r hx hy <<<"$((dx + dw / 2)) $((dy + 3))" # inside the row's label box, above its text
unselected=$(pixel "$hx" "$hy")
before=$(program_windows)
xdotool mousemove $(centre "$dx" "$dy" "$dw" "$dh") click 3
check "a right-click selects the part" wait_pixel_change "$hx" "$hy" "$unselected"
selected=$(pixel "$hx" "$hy")
wait_more_windows "$before" # the context menu
xdotool key Down Return      # Delete
wait_more_windows "$before"  # the question
wait_inactive "$frame" || true
inactive=$(wait_pixel_still "$hx" "$hy") # the highlight while the tree has no focus
xdotool key Return                       # Yes
timeout 10 bash -c "while [ -e '$parts/PBGA/PBGA_Sample_1.qvx' ]; do sleep 0.1; done" || true
check "the part is deleted" test ! -e "$parts/PBGA/PBGA_Sample_1.qvx"
tree_rows() {  # the rectangle around the file tree's rows and their highlight boxes, "X Y W H"
  awk '$1 == "file-tree-row" {
         if (n++ == 0 || $2 < x0) x0 = $2; if (n == 1 || $3 < y0) y0 = $3
         if ($2 + $4 > x1) x1 = $2 + $4; if ($3 + $5 > y1) y1 = $3 + $5 }
       END { print x0 - 4, y0, x1 - x0 + 8, y1 - y0 }' "$dump"
}
highlighted() {  # the pixels of the tree's rows in a highlight colour
  local colours=("$selected") x y w h
  [ "$inactive" != "$unselected" ] && colours+=("$inactive")
  read -r x y w h <<<"$(tree_rows)"
  import -window root -crop "${w}x${h}+${x}+${y}" -depth 8 txt:- |
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
add="Add to list ->"
cell() { wait_find list-cell "$1" Export; } # cell "ROW COLUMN TEXT"
kind_cell() {  # kind_cell ROW: the modeling type's cell of that row of the list, "X Y W H"
  local i r
  for ((i = 0; i < 300; i++)); do
    r=$(awk -v row="$1" '$1 == "list-cell" && $7 == row && $8 == 2 {print $2, $3, $4, $5; exit}' "$dump")
    [ -n "$r" ] && { echo "$r"; return 0; }
    sleep 0.1
  done
  return 1
}
kind_is() {  # kind_is ROW TEXT: the row's modeling type is TEXT
  awk -v row="$1" -v text="$2" '$1 == "list-cell" && $7 == row && $8 == 2 {
      s = $0; for (i = 0; i < 8; i++) sub(/^[^ ]+ /, "", s); found = (s == text); exit }
    END { exit !found }' "$dump"
}
wait_kind() { poll 300 kind_is "$@"; }
open_kind_list() {  # open_kind_list ROW: opens the row's modeling-type list; prints its window
  local known
  known=$(xdotool search --onlyvisible --classname Zentrik_Du64 2>/dev/null)
  click_at $(centre $(kind_cell "$1"))
  new_window "$known"
}
click_on parts-tree-row QFP_Sample_1 Export || true
wait_find button "$add" Export enabled >/dev/null || true
click_on button "$add" Export || true
kind_cell 0 >/dev/null || true
click_on parts-tree-row SOP_Sample_1 Export || true
wait_find parts-tree-row SOP_Sample_1 Export selected >/dev/null || true
wait_find button "$add" Export enabled >/dev/null || true
click_on button "$add" Export || true
kind_cell 1 >/dev/null || true
# The first row's list opens below it; "Two-resistor model" by mouse, on the middle of its
# line, the list's lines sharing its height.
popup=$(open_kind_list 0)
wait_find combo-option "Two-resistor model" Export >/dev/null || true
option=$(awk '$1 == "combo-option" { s = $0; for (i = 0; i < 6; i++) sub(/^[^ ]+ /, "", s)
                                     if (s == "Two-resistor model") {print $6; exit} }' "$dump")
options=$(awk '$1 == "combo-option" {n++} END {print n}' "$dump")
read -r lx ly lw lh <<<"$(geometry "$popup")"
click_at "$((lx + lw / 2))" "$((ly + lh * (2 * option + 1) / (2 * options)))"
wait_kind 0 "Two-resistor model" || true
open_kind_list 1 >/dev/null || true # the second row's modeling type
xdotool key Down Down Return # "Three-resistor model" by keyboard
wait_kind 1 "Three-resistor model" || true
wait_still || true
import -window root "$outdir/export_mixed.png"
before=$(xdotool search --onlyvisible --classname Zentrik_Du64 2>/dev/null || true)
click_on button Export Export || true # in the dialog's bottom row
progress=$(new_window "$before") || true
# Its title bar is its own, drawn without buttons, so the window manager adds no frame.
no_frame() { xprop -id "$1" _NET_FRAME_EXTENTS | grep -q '= 0, 0, 0, 0$'; }
check "the window manager draws no title bar, hence no buttons, on the progress dialog" \
  poll 100 no_frame "$progress"
# With no task bar, a minimised progress dialog could never be found again.
kept_above() { xprop -id "$1" _NET_WM_STATE | grep -q ABOVE; }
shown_not_hidden() { xwininfo -id "$1" | grep -q IsViewable && ! xprop -id "$1" _NET_WM_STATE | grep -q HIDDEN; }
minimised_back() {
  xdotool windowminimize "$1" || return 1
  # The window manager handles requests in order: once this one shows, so has the minimise.
  wmctrl -i -r "$1" -b add,above || return 1
  poll 100 kept_above "$1"
  poll 100 shown_not_hidden "$1"
}
check "the progress dialog comes back when the window manager minimises it" minimised_back "$progress"
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
read -r cx cy <<<"$(centre $(wait_find preview - Zentrik))"
background=$(pixel "$cx" "$cy")
click_on file-tree-row QFP_Sample_1 Zentrik || true # the Japanese font's rows are where the program says
check "the part opens in the Japanese main frame" wait_pixel_change "$cx" "$cy" "$background"
wait_still || true
import -window root "$outdir/main_frame_japanese.png"
stop_program
check "in Japanese nothing is reported on standard error" quiet_stderr "$tmp/japanese.log"

finish
