#!/usr/bin/env bash
# Installs what building and testing reshape needs, when it is missing: a C++20 compiler,
# CMake, GoogleTest, CLI11 and nlohmann-json (Debian packages g++, cmake, libgtest-dev,
# libcli11-dev, nlohmann-json3-dev); with RESHAPE_NEEDS_WINDOWS=1
# also the MinGW-w64 cross compiler and Wine, with RESHAPE_NEEDS_ARM64=1 the ARM64 cross
# compiler (with its C library) and qemu-user. A prepared machine pays nothing. Source it or run
# it; it needs root (or sudo) only when something is missing.
set -euo pipefail

missing=()
command -v g++ >/dev/null 2>&1 || missing+=(g++)
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v make >/dev/null 2>&1 || missing+=(make)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -f /usr/include/CLI/CLI.hpp ] || missing+=(libcli11-dev)
[ -f /usr/include/nlohmann/json.hpp ] || missing+=(nlohmann-json3-dev)
if [ "${RESHAPE_NEEDS_CLANG:-0}" = 1 ]; then
  command -v clang++ >/dev/null 2>&1 || missing+=(clang)
  # The fuzzer runtime is named after the processor (x86_64, aarch64).
  ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-"$(uname -m)".a >/dev/null 2>&1 ||
    missing+=(libclang-rt-14-dev)
fi

# Installed without recommended packages: Wine would bring fonts, sound and graphics libraries
# that a console program and its tests never use.
lean=()
if [ "${RESHAPE_NEEDS_WINDOWS:-0}" = 1 ]; then
  command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || lean+=(g++-mingw-w64-x86-64-posix)
  [ -x /usr/lib/wine/wine64 ] || command -v wine64 >/dev/null 2>&1 || command -v wine >/dev/null 2>&1 ||
    lean+=(wine64)
fi
# qemu-user without its recommended binfmt registration: the scripts name the emulator.
if [ "${RESHAPE_NEEDS_ARM64:-0}" = 1 ]; then
  command -v aarch64-linux-gnu-g++ >/dev/null 2>&1 || lean+=(g++-aarch64-linux-gnu)
  command -v qemu-aarch64 >/dev/null 2>&1 || command -v qemu-aarch64-static >/dev/null 2>&1 ||
    lean+=(qemu-user)
  [ -d /usr/src/googletest ] || lean+=(googletest)
fi

if [ $((${#missing[@]} + ${#lean[@]})) -gt 0 ]; then
  echo "Installing: ${missing[*]} ${lean[*]}"
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  if ! command -v apt-get >/dev/null 2>&1; then
    echo "Please install these packages (Debian names): ${missing[*]} ${lean[*]}" >&2
    exit 1
  fi
  $sudo apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  fi
  if [ ${#lean[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${lean[@]}"
  fi
fi
