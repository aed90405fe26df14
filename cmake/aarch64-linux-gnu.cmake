# Cross build for 64-bit ARM Linux with Debian's cross compiler (g++-aarch64-linux-gnu):
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
# Tests run under qemu-user when it is installed; its -L points it at the ARM64 C library.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(RESHAPE_CROSS_PREFIX aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${RESHAPE_CROSS_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${RESHAPE_CROSS_PREFIX}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${RESHAPE_CROSS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(RESHAPE_QEMU NAMES qemu-aarch64 qemu-aarch64-static NO_CMAKE_FIND_ROOT_PATH)
if(RESHAPE_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${RESHAPE_QEMU} -L ${CMAKE_FIND_ROOT_PATH})
endif()
