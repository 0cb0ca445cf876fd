# Writes Unicode's Vertical_Orientation property as a C++ table of runs:
# each run's first code point and its class, in code point order, the code
# points the data file leaves out counting as R, as the file says they do.
#
#   cmake -DINPUT=VerticalOrientation.txt -DOUTPUT=table.inc -P make_vertical_orientation.cmake
#
# A script rather than a program, so that a cross build (WebAssembly) runs
# it as it is, with no compiler for the build machine.
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/ucd_runs.cmake)

ucd_read("${INPUT}" "VerticalOrientation-" lines version)

set(classes "U;R;Tu;Tr")
set(names "kUpright;kRotated;kTransformedUpright;kTransformedRotated")

ucd_runs_begin(VerticalOrientation::kRotated)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^[0-9A-F.]+ *; *(Tu|Tr|U|R) *(#|$)")
    message(FATAL_ERROR "${INPUT}: cannot read the line: ${line}")
  endif()
  list(FIND classes "${CMAKE_MATCH_1}" index)
  list(GET names ${index} name)
  ucd_range("${line}" first last)
  ucd_runs_gap_before(${first} "${line}")
  ucd_add_run(${first} VerticalOrientation::${name})
  ucd_runs_covered(${last})
endforeach()
ucd_runs_write("${OUTPUT}" make_vertical_orientation.cmake "${version}" kOrientationRunCount
               kOrientationRuns OrientationRun)
