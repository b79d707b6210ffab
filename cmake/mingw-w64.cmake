# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -G Ninja --toolchain cmake/mingw-w64.cmake
# Programs built for the target run under Wine, in a prefix of their own in the build folder's
# tests/ (made by win32/tests/wine-env on first use), so CTest can run the test programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(tavrelon_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${tavrelon_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tavrelon_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${tavrelon_mingw}-windres)
set(CMAKE_STRIP ${tavrelon_mingw}-strip)

set(CMAKE_FIND_ROOT_PATH /usr/${tavrelon_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Only system DLLs at run time: the compiler's own libraries are linked in. No link time in the
# header, so that two builds of one commit give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env WINEPREFIX=${CMAKE_BINARY_DIR}/tests/wineprefix
    ${CMAKE_CURRENT_LIST_DIR}/../win32/tests/wine-run)
