# Makes the user's manual: the chapters of docs/manual/ as one page of HTML.
# cmark-gfm renders their tables as GitHub shows them, escapes their text,
# and leaves out raw HTML and javascript: links (no --unsafe), so that the
# page shows the manual and runs nothing. Each chapter becomes a section
# whose id is its file's name (README.md, the contents, is "contents"), and
# a link to a chapter's file becomes a link to its section, so that the
# links work alike on the page and between the Markdown files; a link to a
# file that is not one of the chapters fails the build. Any list of
# chapters makes a page of its own (the browser's chapter alone, say).
# The page is put together by plain replacement: configure_file would also
# replace @NAME@ and ${NAME} in the chapters' own text.
# Usage: cmake -DCMARK_GFM=PROGRAM -DCHAPTERS=a.md|b.md -DTEMPLATE=manual.html.in
#              -DVERSION=X.Y.Z -DOUTPUT=manual.html -P make-manual.cmake
cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" CHAPTERS "${CHAPTERS}")

set(body "")
set(sections "")
foreach(chapter IN LISTS CHAPTERS)
  execute_process(COMMAND ${CMARK_GFM} --validate-utf8 --extension table --extension autolink
                          ${chapter}
                  OUTPUT_VARIABLE html RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmark-gfm could not convert ${chapter}: ${result}")
  endif()
  get_filename_component(name ${chapter} NAME_WE)
  set(id ${name})
  if(name STREQUAL "README")
    set(id contents)
  endif()
  string(APPEND body "<section id=\"${id}\">\n${html}</section>\n")
  list(APPEND sections "${name}.md|${id}")
endforeach()
foreach(section IN LISTS sections)
  string(REPLACE "|" ";" section "${section}")
  list(GET section 0 file)
  list(GET section 1 id)
  string(REPLACE "href=\"${file}\"" "href=\"#${id}\"" body "${body}")
endforeach()
# Code blocks and tables scroll sideways on a narrow screen: the keyboard
# can reach them to scroll them too.
string(REPLACE "<pre>" "<pre tabindex=\"0\">" body "${body}")
string(REPLACE "<table>" "<table tabindex=\"0\">" body "${body}")
string(REGEX MATCH "href=\"[^\"#:]*\\.md[\"#]" stray "${body}")
if(stray)
  message(FATAL_ERROR "The manual links to a file that is none of its chapters: ${stray}")
endif()

file(READ ${TEMPLATE} page)
string(REPLACE "@VERSION@" "${VERSION}" page "${page}")
string(REPLACE "@BODY@" "${body}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
