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

include(${CMAKE_CURRENT_LIST_DIR}/ucd_runs.cmake)

ucd_read("${INPUT}" "LineBreak-" lines version)

# The wide, full-width and half-width code points, as ranges "first-last".
file(STRINGS "${WIDTHS}" widthLines REGEX "^[0-9A-F]+(\\.\\.[0-9A-F]+)? *; *[FWH] ")
set(wide "")
foreach(line IN LISTS widthLines)
  ucd_range("${line}" first last)
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

ucd_runs_begin(LineBreakClass::kAL)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^[0-9A-F.]+ *; *([A-Z0-9]+) *# *([A-Z][a-z&])")
    message(FATAL_ERROR "${INPUT}: cannot read the line: ${line}")
  endif()
  set(class ${CMAKE_MATCH_1})
  set(category ${CMAKE_MATCH_2})
  ucd_range("${line}" first last)
  ucd_runs_gap_before(${first} "${line}")

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
        ucd_add_run(${code} LineBreakClass::k${class}Wide)
      else()
        ucd_add_run(${code} LineBreakClass::k${class})
      endif()
    endforeach()
  else()
    ucd_add_run(${first} LineBreakClass::k${class})
  endif()
  ucd_runs_covered(${last})
endforeach()
ucd_runs_write("${OUTPUT}" make_line_break.cmake "${version}" kLineBreakRunCount kLineBreakRuns
               LineBreakRun)
