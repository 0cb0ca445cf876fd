# Makes the manual: the README as a page of HTML. cmark-gfm renders its
# tables as GitHub shows them, escapes its text, and leaves out raw HTML and
# javascript: links (no --unsafe), so that the page shows the README and runs
# nothing. The page is put together by plain replacement: configure_file
# would also replace @NAME@ and ${NAME} in the README's own text.
# Usage: cmake -DCMARK_GFM=PROGRAM -DSOURCE=README.md -DTEMPLATE=manual.html.in
#              -DVERSION=X.Y.Z -DOUTPUT=README.html -P make-manual.cmake
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${CMARK_GFM} --validate-utf8 --extension table --extension autolink
                        ${SOURCE}
                OUTPUT_VARIABLE body RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmark-gfm could not convert ${SOURCE}: ${result}")
endif()
file(READ ${TEMPLATE} page)
string(REPLACE "@VERSION@" "${VERSION}" page "${page}")
string(REPLACE "@BODY@" "${body}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
