# Writes Unicode's Vertical_Orientation property as a C++ table of runs:
# each run's first code point and its class, in code point order, the code
# points the data file leaves out counting as R, as the file says they do.
#
#   cmake -DINPUT=VerticalOrientation.txt -DOUTPUT=table.inc -P make_vertical_orientation.cmake
#
# A script rather than a program, so that a cross build (WebAssembly) runs
# it as it is, with no compiler for the build machine.
cmake_minimum_required(VERSION 3.25)

file(STRINGS "${INPUT}" lines REGEX "^[0-9A-F]")
file(STRINGS "${INPUT}" version LIMIT_COUNT 1 REGEX "^# VerticalOrientation-")
string(REGEX REPLACE "^# " "" version "${version}")

set(classes "U;R;Tu;Tr")
set(names "kUpright;kRotated;kTransformedUpright;kTransformedRotated")
set(runs "")
set(count 0)
set(previous "")
set(next 0)

macro(add_run first class)
  if(NOT "${class}" STREQUAL "${previous}")
    list(FIND classes "${class}" index)
    list(GET names ${index} name)
    math(EXPR hex "${first}" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND runs "    {${hex}, VerticalOrientation::${name}},\n")
    math(EXPR count "${count} + 1")
    set(previous "${class}")
  endif()
endmacro()

foreach(line IN LISTS lines)
  if(NOT line MATCHES "^([0-9A-F]+)(\\.\\.([0-9A-F]+))? *; *(Tu|Tr|U|R) *(#|$)")
    message(FATAL_ERROR "${INPUT}: cannot read the line: ${line}")
  endif()
  set(class ${CMAKE_MATCH_4})
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
    add_run(${next} R)
  endif()
  add_run(${first} ${class})
  math(EXPR next "${last} + 1")
endforeach()
if(next LESS_EQUAL 1114111)
  add_run(${next} R)
endif()

file(WRITE "${OUTPUT}.tmp"
  "// Made from ${version} by make_vertical_orientation.cmake.\n"
  "inline constexpr std::size_t kOrientationRunCount = ${count};\n"
  "inline constexpr OrientationRun kOrientationRuns[kOrientationRunCount] = {\n"
  "${runs}};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
