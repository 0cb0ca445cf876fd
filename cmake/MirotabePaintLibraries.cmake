# The libraries the painter (render/) is built on, under one set of names for
# every edition:
#   mirotabe::harfbuzz         shaping: the fonts' vertical forms and metrics
#   mirotabe::harfbuzz_subset  the fonts' subsets embedded in PDFs
#   mirotabe::freetype         the glyphs' outlines drawn into PNGs
#   mirotabe::png              PNG files
#   mirotabe::zlib             the PDFs' compressed streams
# On Linux they are the system's (Debian's packages, through pkg-config).
# A cross-compiled build (mingw-w64, emscripten) has no system of its own to
# take them from and builds them from pinned sources instead.
include_guard(GLOBAL)

if(WIN32 OR EMSCRIPTEN)
  include(MirotabePinnedLibraries OPTIONAL RESULT_VARIABLE mirotabe_pinned_libraries)
  if(NOT mirotabe_pinned_libraries)
    message(FATAL_ERROR "The painter's libraries for this platform come from "
                        "cmake/MirotabePinnedLibraries.cmake, which is missing.")
  endif()
  return()
endif()

find_package(PkgConfig REQUIRED)
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
pkg_check_modules(MIROTABE_HARFBUZZ REQUIRED IMPORTED_TARGET GLOBAL harfbuzz)
pkg_check_modules(MIROTABE_HARFBUZZ_SUBSET REQUIRED IMPORTED_TARGET GLOBAL harfbuzz-subset)
pkg_check_modules(MIROTABE_FREETYPE REQUIRED IMPORTED_TARGET GLOBAL freetype2)

add_library(mirotabe::harfbuzz ALIAS PkgConfig::MIROTABE_HARFBUZZ)
add_library(mirotabe::harfbuzz_subset ALIAS PkgConfig::MIROTABE_HARFBUZZ_SUBSET)
add_library(mirotabe::freetype ALIAS PkgConfig::MIROTABE_FREETYPE)
# FindPNG's and FindZLIB's targets are not global: interfaces of their own
# carry them to every folder.
add_library(mirotabe_png INTERFACE)
target_link_libraries(mirotabe_png INTERFACE PNG::PNG)
add_library(mirotabe::png ALIAS mirotabe_png)
add_library(mirotabe_zlib INTERFACE)
target_link_libraries(mirotabe_zlib INTERFACE ZLIB::ZLIB)
add_library(mirotabe::zlib ALIAS mirotabe_zlib)
