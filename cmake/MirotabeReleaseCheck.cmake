# Read by cpack before it builds a package (CPACK_PROJECT_CONFIG_FILE), and
# run by a test as a script. A package for release must not send its users
# to a placeholder: the home page is in the version box, the help menu opens
# it, and it is the package's Homepage field. A host of the names set aside
# for examples and tests (example.com, .example, .invalid, .test, localhost)
# is a placeholder; so is anything that is no web address.
if(CPACK_MIROTABE_DEVELOPMENT_BUILD)
  return()
endif()
string(TOLOWER "${CPACK_PACKAGE_HOMEPAGE_URL}" address)
string(REGEX REPLACE "^https?://([^/?#]*@)?([^/:?#]*).*$" "\\2" host "${address}")
if(host STREQUAL address OR host STREQUAL ""
   OR host MATCHES "(^|\\.)(example\\.(com|net|org)|example|invalid|test|localhost)$")
  message(FATAL_ERROR
    "The home page '${CPACK_PACKAGE_HOMEPAGE_URL}' is a placeholder, and a package for "
    "release must not send its users there. Configure the real one "
    "(cmake -DMIROTABE_HOMEPAGE=https://...), or, for a package that is not for release, "
    "-DMIROTABE_DEVELOPMENT_BUILD=ON.")
endif()
