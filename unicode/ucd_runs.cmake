# What the table scripts share: reading a Unicode data file's ranges and
# writing a property as a C++ table of runs (each run's first code point
# and its value, in code point order, the code points the file leaves out
# given the file's default value).
#
# A script's run: ucd_runs_begin(), then for each of the file's lines in
# order ucd_range() and ucd_runs_cover() with the line's value, then
# ucd_runs_end() and ucd_runs_write().

# Reads the data lines of `file` into `linesVar`, and its version (the
# first comment line that starts with `versionPrefix`) into `versionVar`.
function(ucd_read file versionPrefix linesVar versionVar)
  file(STRINGS "${file}" lines REGEX "^[0-9A-F]")
  file(STRINGS "${file}" version LIMIT_COUNT 1 REGEX "^# ${versionPrefix}")
  string(REGEX REPLACE "^# " "" version "${version}")
  set(${linesVar} "${lines}" PARENT_SCOPE)
  set(${versionVar} "${version}" PARENT_SCOPE)
endfunction()

# The range "XXXX" or "XXXX..YYYY" at the start of `line`, as numbers.
function(ucd_range line firstVar lastVar)
  if(NOT line MATCHES "^([0-9A-F]+)(\\.\\.([0-9A-F]+))?")
    message(FATAL_ERROR "${INPUT}: cannot read the range of the line: ${line}")
  endif()
  math(EXPR first "0x${CMAKE_MATCH_1}")
  if(CMAKE_MATCH_3)
    math(EXPR last "0x${CMAKE_MATCH_3}")
  else()
    set(last ${first})
  endif()
  set(${firstVar} ${first} PARENT_SCOPE)
  set(${lastVar} ${last} PARENT_SCOPE)
endfunction()

# Starts a table whose unlisted code points have the value `default`.
macro(ucd_runs_begin default)
  set(ucd_runs "")
  set(ucd_count 0)
  set(ucd_previous "")
  set(ucd_next 0)
  set(ucd_default "${default}")
endmacro()

# Starts a run of `value` (a C++ expression) at `first`, unless the run
# before has the same value.
macro(ucd_add_run first value)
  if(NOT "${value}" STREQUAL "${ucd_previous}")
    math(EXPR ucd_hex "${first}" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND ucd_runs "    {${ucd_hex}, ${value}},\n")
    math(EXPR ucd_count "${ucd_count} + 1")
    set(ucd_previous "${value}")
  endif()
endmacro()

# Before the run of a line from `first` to `last`: fails on ranges out of
# order, and gives the gap before `first` the default value. After its runs,
# call ucd_runs_covered(last).
macro(ucd_runs_gap_before first line)
  if(${first} LESS ucd_next)
    message(FATAL_ERROR "${INPUT}: the ranges are out of order at ${line}")
  endif()
  if(${first} GREATER ucd_next)
    ucd_add_run(${ucd_next} "${ucd_default}")
  endif()
endmacro()

macro(ucd_runs_covered last)
  math(EXPR ucd_next "${last} + 1")
endmacro()

# Gives the code points after the file's last range the default value, and
# writes the table as `count` and `array` of `runType` to `output`, keeping
# the file as it is when nothing changed, so that nothing rebuilds.
function(ucd_runs_write output script version count array runType)
  set(runs "${ucd_runs}")
  set(total ${ucd_count})
  if(ucd_next LESS_EQUAL 1114111)
    math(EXPR hex "${ucd_next}" OUTPUT_FORMAT HEXADECIMAL)
    if(NOT "${ucd_default}" STREQUAL "${ucd_previous}")
      string(APPEND runs "    {${hex}, ${ucd_default}},\n")
      math(EXPR total "${total} + 1")
    endif()
  endif()
  file(WRITE "${output}.tmp"
    "// Made from ${version} by ${script}.\n"
    "inline constexpr std::size_t ${count} = ${total};\n"
    "inline constexpr ${runType} ${array}[${count}] = {\n"
    "${runs}};\n")
  file(COPY_FILE "${output}.tmp" "${output}" ONLY_IF_DIFFERENT)
  file(REMOVE "${output}.tmp")
endfunction()
