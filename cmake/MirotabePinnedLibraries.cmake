# The painter's libraries for the cross-compiled builds (mingw-w64 for
# Windows, emscripten for the browser), which have no system to take them
# from: built here from the sources of Debian's own packages of the versions
# the Linux build links (HarfBuzz 6.0.0, FreeType 2.12.1, libpng 1.6.39,
# zlib 1.2.13), which scripts/install-deps.sh unpacks into third_party/.
# Windows takes zlib from Debian's libz-mingw-w64-dev instead. Static
# libraries only, built with their own warnings: they are not this
# program's code. Their licences go with the programs (THIRD-PARTY-NOTICES.txt).
include_guard(GLOBAL)
enable_language(C)

set(MIROTABE_THIRD_PARTY ${PROJECT_SOURCE_DIR}/third_party)
foreach(source harfbuzz freetype libpng1.6 zlib)
  if(NOT EXISTS ${MIROTABE_THIRD_PARTY}/${source}/.mirotabe-version)
    message(FATAL_ERROR "third_party/${source} is missing: scripts/install-deps.sh fetches "
                        "the pinned sources of the painter's libraries")
  endif()
endforeach()

# zlib
if(WIN32)
  # The programs are linked -static: the archive, not the DLL's import library.
  set(ZLIB_USE_STATIC_LIBS ON)
  find_package(ZLIB REQUIRED)
  add_library(mirotabe_zlib INTERFACE)
  target_link_libraries(mirotabe_zlib INTERFACE ZLIB::ZLIB)
else()
  set(zlib_dir ${MIROTABE_THIRD_PARTY}/zlib)
  add_library(mirotabe_zlib STATIC
    ${zlib_dir}/adler32.c ${zlib_dir}/compress.c ${zlib_dir}/crc32.c ${zlib_dir}/deflate.c
    ${zlib_dir}/inffast.c ${zlib_dir}/inflate.c ${zlib_dir}/inftrees.c ${zlib_dir}/trees.c
    ${zlib_dir}/uncompr.c ${zlib_dir}/zutil.c)
  target_include_directories(mirotabe_zlib SYSTEM PUBLIC ${zlib_dir})
  # The gz* file functions are left out: nothing reads or writes .gz files.
  target_compile_definitions(mirotabe_zlib PRIVATE Z_HAVE_UNISTD_H)
endif()
add_library(mirotabe::zlib ALIAS mirotabe_zlib)

# libpng, with the configuration its sources ship prebuilt.
set(png_dir ${MIROTABE_THIRD_PARTY}/libpng1.6)
set(png_config ${PROJECT_BINARY_DIR}/third_party/png)
configure_file(${png_dir}/scripts/pnglibconf.h.prebuilt ${png_config}/pnglibconf.h COPYONLY)
add_library(mirotabe_png STATIC
  ${png_dir}/png.c ${png_dir}/pngerror.c ${png_dir}/pngget.c ${png_dir}/pngmem.c
  ${png_dir}/pngpread.c ${png_dir}/pngread.c ${png_dir}/pngrio.c ${png_dir}/pngrtran.c
  ${png_dir}/pngrutil.c ${png_dir}/pngset.c ${png_dir}/pngtrans.c ${png_dir}/pngwio.c
  ${png_dir}/pngwrite.c ${png_dir}/pngwtran.c ${png_dir}/pngwutil.c)
target_include_directories(mirotabe_png SYSTEM PUBLIC ${png_dir} ${png_config})
# No processor-specific filters: the same bytes on every machine.
target_compile_definitions(mirotabe_png PRIVATE PNG_ARM_NEON_OPT=0 PNG_POWERPC_VSX_OPT=0
                                                PNG_INTEL_SSE_OPT=0 PNG_MIPS_MSA_OPT=0)
target_link_libraries(mirotabe_png PUBLIC mirotabe_zlib)
add_library(mirotabe::png ALIAS mirotabe_png)

# FreeType, through its own build, with no optional dependency: the painter
# hands it TrueType and OpenType outlines only.
set(FT_DISABLE_ZLIB ON CACHE BOOL "" FORCE)
set(FT_DISABLE_BZIP2 ON CACHE BOOL "" FORCE)
set(FT_DISABLE_PNG ON CACHE BOOL "" FORCE)
set(FT_DISABLE_HARFBUZZ ON CACHE BOOL "" FORCE)
set(FT_DISABLE_BROTLI ON CACHE BOOL "" FORCE)
set(SKIP_INSTALL_ALL ON CACHE BOOL "" FORCE)
set(mirotabe_shared_libs ${BUILD_SHARED_LIBS})
set(BUILD_SHARED_LIBS OFF)
add_subdirectory(${MIROTABE_THIRD_PARTY}/freetype ${PROJECT_BINARY_DIR}/third_party/freetype
                 EXCLUDE_FROM_ALL SYSTEM)
set(BUILD_SHARED_LIBS ${mirotabe_shared_libs})
# Without its gzip support, which carries a copy of zlib under zlib's own
# names, beside the one the PDFs and PNGs are deflated by: the painter
# reads no compressed fonts.
set(ftoption ${PROJECT_BINARY_DIR}/third_party/freetype/include/freetype/config/ftoption.h)
file(READ ${ftoption} ftoption_text)
string(REPLACE "#define FT_CONFIG_OPTION_USE_ZLIB" "/* #undef FT_CONFIG_OPTION_USE_ZLIB */"
       ftoption_text "${ftoption_text}")
file(WRITE ${ftoption} "${ftoption_text}")
add_library(mirotabe::freetype ALIAS freetype)

# HarfBuzz as its one-file build of the library and its subsetter, without
# FreeType or any system's font functions: the painter reads the fonts' own
# tables.
set(hb_dir ${MIROTABE_THIRD_PARTY}/harfbuzz/src)
add_library(mirotabe_harfbuzz STATIC ${hb_dir}/harfbuzz-subset.cc)
target_include_directories(mirotabe_harfbuzz SYSTEM PUBLIC ${hb_dir})
target_compile_options(mirotabe_harfbuzz PRIVATE -w)
add_library(mirotabe::harfbuzz ALIAS mirotabe_harfbuzz)
add_library(mirotabe::harfbuzz_subset ALIAS mirotabe_harfbuzz)

# Their licences, in one file that goes with the programs built on them.
set(notices "The Mirotabe programs for this system are built on these libraries, each under\n"
            "its own licence, reproduced below.\n")
foreach(licence "HarfBuzz 6.0.0|harfbuzz/COPYING" "FreeType 2.12.1|freetype/docs/FTL.TXT"
                "libpng 1.6.39|libpng1.6/LICENSE" "zlib 1.2.13|zlib/LICENSE")
  string(REPLACE "|" ";" licence "${licence}")
  list(GET licence 0 library)
  list(GET licence 1 file)
  file(READ ${MIROTABE_THIRD_PARTY}/${file} text)
  string(APPEND notices "\n==== ${library} (${file}) ====\n\n${text}")
endforeach()
set(MIROTABE_THIRD_PARTY_NOTICES ${PROJECT_BINARY_DIR}/THIRD-PARTY-NOTICES.txt
    CACHE INTERNAL "The licences of the libraries the cross-compiled programs carry")
file(WRITE ${PROJECT_BINARY_DIR}/third_party/notices.txt "${notices}")
configure_file(${PROJECT_BINARY_DIR}/third_party/notices.txt ${MIROTABE_THIRD_PARTY_NOTICES}
               COPYONLY)
