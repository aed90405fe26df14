# Cross build for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# Executables are linked statically, so reshape.exe needs no MinGW DLL beside it. Tests run
# under Wine when it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RESHAPE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${RESHAPE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RESHAPE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${RESHAPE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${RESHAPE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(RESHAPE_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(RESHAPE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${RESHAPE_WINE})
endif()
