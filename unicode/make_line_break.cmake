# Writes Unicode's Line_Break property as a C++ table of runs: each run's
# first code point and its class, in code point order.
#
#   cmake -DINPUT=LineBreak.txt -DWIDTHS=EastAsianWidth.txt -DOUTPUT=table.inc
#         -P make_line_break.cmake
#
# The classes that the rules resolve before they look at them are resolved
# here, as strict Japanese line breaking resolves them: AI, SG and XX (every
# code point the data leaves out) are AL, SA is CM for the marks and AL
# otherwise, and CJ (the small kana, ー) is NS. Three classes are split, for
# the two rules that look at more than the class: OP and CP of East Asian
# width F, W or H (from the width data) do not bind to a letter before or
# after them, and a reserved code point among the pictographs takes an emoji
# modifier as an emoji does.
#
# A script rather than a program, so that a cross build (WebAssembly) runs
# it as it is, with no compiler for the build machine.
cmake_minimum_required(VERSION 3.25)

file(STRINGS "${INPUT}" lines REGEX "^[0-9A-F]")
file(STRINGS "${INPUT}" version LIMIT_COUNT 1 REGEX "^# LineBreak-")
string(REGEX REPLACE "^# " "" version "${version}")

# The wide, full-width and half-width code points, as ranges "first-last".
file(STRINGS "${WIDTHS}" widthLines REGEX "^[0-9A-F]+(\\.\\.[0-9A-F]+)? *; *[FWH] ")
set(wide "")
foreach(line IN LISTS widthLines)
  string(REGEX MATCH "^([0-9A-F]+)(\\.\\.([0-9A-F]+))?" range "${line}")
  math(EXPR first "0x${CMAKE_MATCH_1}")
  if(CMAKE_MATCH_3)
    math(EXPR last "0x${CMAKE_MATCH_3}")
  else()
    set(last ${first})
  endif()
  list(APPEND wide "${first}-${last}")
endforeach()

function(is_wide code out)
  set(found FALSE)
  foreach(range IN LISTS wide)
    string(REPLACE "-" ";" ends "${range}")
    list(GET ends 0 first)
    list(GET ends 1 last)
    if(code GREATER_EQUAL first AND code LESS_EQUAL last)
      set(found TRUE)
      break()
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

set(runs "")
set(count 0)
set(previous "")
set(next 0)

macro(add_run first class)
  if(NOT "${class}" STREQUAL "${previous}")
    math(EXPR hex "${first}" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND runs "    {${hex}, LineBreakClass::k${class}},\n")
    math(EXPR count "${count} + 1")
    set(previous "${class}")
  endif()
endmacro()

foreach(line IN LISTS lines)
  if(NOT line MATCHES "^([0-9A-F]+)(\\.\\.([0-9A-F]+))? *; *([A-Z0-9]+) *# *([A-Z][a-z&])")
    message(FATAL_ERROR "${INPUT}: cannot read the line: ${line}")
  endif()
  set(class ${CMAKE_MATCH_4})
  set(category ${CMAKE_MATCH_5})
  math(EXPR first "0x${CMAKE_MATCH_1}")
  if(CMAKE_MATCH_3)
    math(EXPR last "0x${CMAKE_MATCH_3}")
  else()
    set(last ${first})
  endif()
  if(first LESS next)
    message(FATAL_ERROR "${INPUT}: the ranges are out of order at ${line}")
  endif()
  if(first GREATER next)
    add_run(${next} AL)
  endif()

  if(class MATCHES "^(AI|SG|XX)$")
    set(class AL)
  elseif(class STREQUAL "SA")
    if(category MATCHES "^M[nc]$")
      set(class CM)
    else()
      set(class AL)
    endif()
  elseif(class STREQUAL "CJ")
    set(class NS)
  elseif(class STREQUAL "ID" AND category STREQUAL "Cn" AND first GREATER_EQUAL 0x1F000)
    set(class IDReservedPictographic)
  endif()

  if(class MATCHES "^(OP|CP)$")
    # One code point at a time: a range may be partly wide.
    foreach(code RANGE ${first} ${last})
      is_wide(${code} isWide)
      if(isWide)
        add_run(${code} ${class}Wide)
      else()
        add_run(${code} ${class})
      endif()
    endforeach()
  else()
    add_run(${first} ${class})
  endif()
  math(EXPR next "${last} + 1")
endforeach()
if(next LESS_EQUAL 1114111)
  add_run(${next} AL)
endif()

file(WRITE "${OUTPUT}.tmp"
  "// Made from ${version} by make_line_break.cmake.\n"
  "inline constexpr std::size_t kLineBreakRunCount = ${count};\n"
  "inline constexpr LineBreakRun kLineBreakRuns[kLineBreakRunCount] = {\n"
  "${runs}};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
