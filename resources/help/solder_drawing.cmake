# Writes the solder-ball drawing of the ball-grid-array types, texts left as @NAME@ for
# fill_drawing.cmake:  cmake -DOUTPUT=solder.svg -P solder_drawing.cmake
# The bottom view shows the default grid, 20 x 20 balls with the outer and centre areas
# filled; a detail names the pitch, diameter and height of a ball; three small matrices show
# the layouts. Lengths are in tenths of a pixel, as CMake's arithmetic knows only integers.
cmake_minimum_required(VERSION 3.16)
if(NOT DEFINED OUTPUT)
  message(FATAL_ERROR "solder_drawing.cmake needs -DOUTPUT=...")
endif()

set(lines 20)   # balls in a row and in a column
set(outer 3)    # lines of the outer area on each side
set(centre 6)   # lines of the centre area in each direction
math(EXPR centre_first "(${lines} - ${centre}) / 2")
math(EXPR centre_last "${centre_first} + ${centre} - 1")

# Sets ${out} to the tenths ${tenths} written as pixels: 1045 -> 104.5, 880 -> 88.
function(pixels out tenths)
  math(EXPR whole "${tenths} / 10")
  math(EXPR fraction "${tenths} % 10")
  if(fraction EQUAL 0)
    set(${out} ${whole} PARENT_SCOPE)
  else()
    set(${out} ${whole}.${fraction} PARENT_SCOPE)
  endif()
endfunction()

# Appends a line as it stands: the texts' @NAME@ are for the filling step.
function(put line)
  set_property(GLOBAL APPEND_STRING PROPERTY drawing "${line}\n")
endfunction()

# Appends a line whose @name@ are the caller's variables; a value is not filled in again, so a
# variable may hold a text's @NAME@.
function(put_filled template)
  string(CONFIGURE "${template}" line @ONLY)
  put("${line}")
endfunction()

# Sets ${out} to the area of the layout that ball (column, row) lies in: "outer", "centre"
# or "" for neither.
function(area_of out column row)
  math(EXPR last "${lines} - 1")
  math(EXPR from_right "${last} - ${column}")
  math(EXPR from_top "${last} - ${row}")
  set(area "")
  foreach(distance ${column} ${row} ${from_right} ${from_top})
    if(distance LESS outer)
      set(area outer)
    endif()
  endforeach()
  if(area STREQUAL "" AND column GREATER_EQUAL centre_first AND column LESS_EQUAL centre_last
     AND row GREATER_EQUAL centre_first AND row LESS_EQUAL centre_last)
    set(area centre)
  endif()
  set(${out} "${area}" PARENT_SCOPE)
endfunction()

# A dimension from a to b along the axis ("x" or "y"): its line at the distance "at" across,
# the extension lines from "from" (beside the part) to 3 px past the line, arrowheads 7 px
# long and 5.2 px wide at both ends.
function(dimension axis a b from at)
  if(at GREATER from)
    math(EXPR past "${at} + 30")
  else()
    math(EXPR past "${at} - 30")
  endif()
  math(EXPR a_in "${a} + 70")
  math(EXPR b_in "${b} - 70")
  math(EXPR at_less "${at} - 26")
  math(EXPR at_more "${at} + 26")
  foreach(value a b from at past a_in b_in at_less at_more)
    pixels(${value} ${${value}})
  endforeach()
  if(axis STREQUAL "x")
    put_filled([[<line class="ext" x1="@a@" y1="@from@" x2="@a@" y2="@past@"/>]])
    put_filled([[<line class="ext" x1="@b@" y1="@from@" x2="@b@" y2="@past@"/>]])
    put_filled([[<line class="dim" x1="@a@" y1="@at@" x2="@b@" y2="@at@"/>]])
    put_filled([[<polygon class="arrow" points="@a@,@at@ @a_in@,@at_less@ @a_in@,@at_more@"/>]])
    put_filled([[<polygon class="arrow" points="@b@,@at@ @b_in@,@at_more@ @b_in@,@at_less@"/>]])
  else()
    put_filled([[<line class="ext" x1="@from@" y1="@a@" x2="@past@" y2="@a@"/>]])
    put_filled([[<line class="ext" x1="@from@" y1="@b@" x2="@past@" y2="@b@"/>]])
    put_filled([[<line class="dim" x1="@at@" y1="@a@" x2="@at@" y2="@b@"/>]])
    put_filled([[<polygon class="arrow" points="@at@,@a@ @at_more@,@a_in@ @at_less@,@a_in@"/>]])
    put_filled([[<polygon class="arrow" points="@at@,@b@ @at_less@,@b_in@ @at_more@,@b_in@"/>]])
  endif()
endfunction()

put([[<svg xmlns="http://www.w3.org/2000/svg" width="480" height="360" viewBox="0 0 480 360" font-family="@FONT@">]])
put([[<!-- Solder ball of the ball-grid-array types, drawn by solder_drawing.cmake. -->]])
put([[@STYLE@]])
put([[<text x="12" y="20" class="title">@TYPE@  @SOLDER_BALL@</text>]])

# Bottom view: balls 9 px apart, column by column from the left, each from the bottom up;
# a ball outside both areas is drawn as an empty place. The board reaches one pitch past
# the outer balls' centres.
set(pitch 90)
set(left 525)
set(bottom 2815)
math(EXPR right "${left} + (${lines} - 1) * ${pitch}")
math(EXPR top "${bottom} - (${lines} - 1) * ${pitch}")
math(EXPR board_x "${left} - ${pitch}")
math(EXPR board_y "${top} - ${pitch}")
math(EXPR board_size "(${lines} + 1) * ${pitch}")
foreach(value board_x board_y board_size)
  pixels(${value} ${${value}})
endforeach()
put_filled([[<rect class="board" x="@board_x@" y="@board_y@" width="@board_size@" height="@board_size@"/>]])
math(EXPR last "${lines} - 1")
foreach(column RANGE ${last})
  math(EXPR cx "${left} + ${column} * ${pitch}")
  pixels(cx ${cx})
  foreach(row RANGE ${last})
    math(EXPR cy "${bottom} - ${row} * ${pitch}")
    pixels(cy ${cy})
    area_of(area ${column} ${row})
    if(area STREQUAL "")
      set(class ballx)
    else()
      set(class ball)
    endif()
    put_filled([[<circle class="@class@" cx="@cx@" cy="@cy@" r="2.25"/>]])
  endforeach()
endforeach()
put([[<text x="138" y="352" text-anchor="middle" class="view">@BOTTOM_VIEW_OUTER_AND_CENTER@</text>]])

# The counts of lines, measured between the edges of the balls' places; extension lines
# start 2 px clear of them.
math(EXPR edge_left "${left} - ${pitch} / 2")
math(EXPR edge_right "${right} + ${pitch} / 2")
math(EXPR edge_top "${top} - ${pitch} / 2")
math(EXPR edge_bottom "${bottom} + ${pitch} / 2")
math(EXPR outer_span "${outer} * ${pitch}")
math(EXPR centre_offset "${centre_first} * ${pitch}")
math(EXPR centre_span "${centre} * ${pitch}")

math(EXPR clear_top "${edge_top} - 20")
dimension(x ${edge_left} ${edge_right} ${clear_top} 875)
put([[<text x="138" y="83.5" text-anchor="middle" class="dt">@NUMBER_OF_ALL_LINES_X@</text>]])

math(EXPR outer_end "${edge_left} + ${outer_span}")
math(EXPR clear_bottom "${edge_bottom} + 20")
dimension(x ${edge_left} ${outer_end} ${clear_bottom} 3045)
put([[<text x="118" y="317.5" text-anchor="middle" class="dt">@NUMBER_OF_OUTER_LINES_X@</text>]])

math(EXPR centre_left "${edge_left} + ${centre_offset}")
math(EXPR centre_right "${centre_left} + ${centre_span}")
math(EXPR clear_centre_bottom "${edge_bottom} - ${centre_offset} + 20")
dimension(x ${centre_left} ${centre_right} ${clear_centre_bottom} 2350)
put([[<text x="@CENTER_LINES_X_LABEL_X@" y="248" text-anchor="middle" class="@CENTER_LINES_X_LABEL_CLASS@">@NUMBER_OF_CENTER_LINES_X@</text>]])

math(EXPR clear_right "${edge_right} + 20")
dimension(y ${edge_top} ${edge_bottom} ${clear_right} 2465)
put([[<text x="259.5" y="196" text-anchor="middle" class="dt" transform="rotate(-90 259.5 196)">@NUMBER_OF_ALL_LINES_Y@</text>]])

math(EXPR outer_bottom "${edge_top} + ${outer_span}")
math(EXPR clear_left "${edge_left} - 20")
dimension(y ${edge_top} ${outer_bottom} ${clear_left} 315)
put([[<text x="27.5" y="106" text-anchor="end" class="dt" transform="rotate(-90 27.5 106)">@NUMBER_OF_OUTER_LINES_Y@</text>]])

math(EXPR centre_top "${edge_top} + ${centre_offset}")
math(EXPR centre_bottom "${centre_top} + ${centre_span}")
math(EXPR clear_centre_left "${centre_left} - 20")
dimension(y ${centre_top} ${centre_bottom} ${clear_centre_left} 990)
put([[<text x="95" y="196" text-anchor="middle" class="dt" transform="rotate(-90 95 196)">@NUMBER_OF_CENTER_LINES_Y@</text>]])

# Detail of two balls on the board, not to the scale of the bottom view.
put([[<rect class="frame" x="306" y="36" width="166" height="140"/>]])
put([[<text x="389" y="50" text-anchor="middle" class="view">@DETAIL@</text>]])
put([[<circle class="ball" cx="346" cy="127" r="15"/>]])
put([[<circle class="ball" cx="406" cy="127" r="15"/>]])
put([[<rect class="board" x="316" y="100" width="146" height="12"/>]])
put([[<line class="datum" x1="316" y1="142" x2="462" y2="142"/>]])
dimension(x 3460 4060 980 660)
put([[<text x="376" y="62" text-anchor="middle" class="dt">@PITCH@</text>]])
dimension(x 3910 4210 1290 1540)
put([[<text x="312" y="158" class="dt">@DIAMETER_OF_SOLDER_BALL@</text>]])
dimension(y 1120 1420 4230 4520)
put([[<text x="448" y="131" text-anchor="end" class="dt">@HEIGHT@</text>]])

# The layouts as matrices of 1.3 px squares 1.9 px apart, column by column from the left,
# each from the top down; only the places that carry a ball are drawn.
put([[<text x="306" y="200" class="dt">@BALL_LAYOUT@</text>]])
set(layout_top 2120)
set(layout_names @FULL_MATRIX@ @OUTER_AREA@ @OUTER_AND_CENTER_AREAS@)
foreach(layout full outer outer_centre)
  foreach(column RANGE ${last})
    math(EXPR x "3120 + ${column} * 19")
    pixels(x ${x})
    foreach(row RANGE ${last})
      area_of(area ${column} ${row})
      if(layout STREQUAL "full" OR area STREQUAL "outer"
         OR (layout STREQUAL "outer_centre" AND area STREQUAL "centre"))
        math(EXPR y "${layout_top} + ${row} * 19")
        pixels(y ${y})
        put_filled([[<rect class="cu" x="@x@" y="@y@" width="1.3" height="1.3"/>]])
      endif()
    endforeach()
  endforeach()
  math(EXPR label_y "${layout_top} + 230")
  pixels(label_y ${label_y})
  list(POP_FRONT layout_names name)
  put_filled([[<text x="358" y="@label_y@" class="note">@name@</text>]])
  math(EXPR layout_top "${layout_top} + 460")
endforeach()
put([[</svg>]])

get_property(drawing GLOBAL PROPERTY drawing)
file(WRITE ${OUTPUT} "${drawing}")
