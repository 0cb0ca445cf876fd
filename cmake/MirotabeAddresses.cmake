# The author's home page and e-mail address. The help menu shows and opens
# them, and the package and its software-centre description name them, so a
# build has either the real ones or none: left empty, as by default, the
# help menu has no 作者ＨＰ, the version box names neither, and the package
# has no Homepage field. A release sets them:
#   cmake -DMIROTABE_HOMEPAGE=https://... -DMIROTABE_EMAIL=...
set(MIROTABE_HOMEPAGE "" CACHE STRING
    "The author's home page (https://...), which the help menu opens and the package names; empty for none")
set(MIROTABE_EMAIL "" CACHE STRING
    "The author's e-mail address, which the version box and the package name; empty for none")

# A build folder configured while the defaults were placeholders keeps them
# in its cache; they are forgotten there rather than refused below.
if(MIROTABE_HOMEPAGE STREQUAL "https://www.example.com/mirotabe/")
  set_property(CACHE MIROTABE_HOMEPAGE PROPERTY VALUE "")
endif()
if(MIROTABE_EMAIL STREQUAL "orubeni@example.com")
  set_property(CACHE MIROTABE_EMAIL PROPERTY VALUE "")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/MirotabeAddressCheck.cmake)
mirotabe_address_problem(homepage "${MIROTABE_HOMEPAGE}" problem)
if(problem)
  message(FATAL_ERROR "MIROTABE_HOMEPAGE: ${problem}")
endif()
mirotabe_address_problem(email "${MIROTABE_EMAIL}" problem)
if(problem)
  message(FATAL_ERROR "MIROTABE_EMAIL: ${problem}")
endif()
