# Cross-builds the converter for 64-bit Windows with Debian's mingw-w64.
# The posix flavour of the compiler has std::thread and std::mutex; -static
# puts its runtime (libstdc++, winpthreads) into the .exe, so that the
# program runs on a Windows without any of mingw's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MIROTABE_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MIROTABE_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MIROTABE_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${MIROTABE_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MIROTABE_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
# 64-bit file sizes and offsets in the POSIX calls (off_t, struct stat),
# as on Linux. GCC 12 warns of overlapping copies inside std::string's own
# appends when it inlines them (GCC bug 105651), which is no fault of ours.
set(CMAKE_CXX_FLAGS_INIT "-D_FILE_OFFSET_BITS=64 -Wno-restrict")
