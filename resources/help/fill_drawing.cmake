# Fills in one help drawing for one language:
#   cmake -DDRAWING=mold.svg -DTEXTS=texts/eng.txt -DSTYLE=style.svg -DTYPE=QFP
#         -DOUTPUT=qfp_mold.svg -P fill_drawing.cmake
# The drawing's @STYLE@ becomes the shared style, @TYPE@ the type's name in the title, and
# every other @NAME@ the text of NAME in the language's table. A name the table lacks, or a
# line of the table that is not "NAME = text", stops the build rather than leave a gap.
cmake_minimum_required(VERSION 3.16)
foreach(argument DRAWING TEXTS STYLE TYPE OUTPUT)
  if(NOT DEFINED ${argument})
    message(FATAL_ERROR "fill_drawing.cmake needs -D${argument}=...")
  endif()
endforeach()

file(STRINGS ${TEXTS} table ENCODING UTF-8)
foreach(line IN LISTS table)
  if(line STREQUAL "" OR line MATCHES "^#")
    continue()
  endif()
  if(NOT line MATCHES "^([A-Z][A-Z0-9_]*) =( (.*))?$")
    message(FATAL_ERROR "${TEXTS}: not a \"NAME = text\" line: ${line}")
  endif()
  set(name ${CMAKE_MATCH_1})
  set(text "${CMAKE_MATCH_3}")
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  set(text_${name} "${text}")
endforeach()

file(READ ${STYLE} style)
string(REGEX REPLACE "\n$" "" style "${style}")
set(text_STYLE "${style}")
set(text_TYPE "${TYPE}")

file(READ ${DRAWING} drawing)
string(REGEX MATCHALL "@[A-Z][A-Z0-9_]*@" placeholders "${drawing}")
list(REMOVE_DUPLICATES placeholders)
foreach(placeholder IN LISTS placeholders)
  string(REGEX REPLACE "^@(.*)@$" "\\1" name ${placeholder})
  if(NOT DEFINED text_${name})
    message(FATAL_ERROR "${DRAWING}: ${TEXTS} has no text ${name}")
  endif()
  string(REPLACE "${placeholder}" "${text_${name}}" drawing "${drawing}")
endforeach()
file(WRITE ${OUTPUT} "${drawing}")
