#!/usr/bin/env bash
# Installs what building and testing reshape needs, when it is missing: a C++20 compiler,
# CMake and GoogleTest (Debian packages g++, cmake, libgtest-dev). A prepared machine pays
# nothing. Source it or run it; it needs root (or sudo) only when something is missing.
set -euo pipefail

missing=()
command -v g++ >/dev/null 2>&1 || missing+=(g++)
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v make >/dev/null 2>&1 || missing+=(make)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
if [ "${RESHAPE_NEEDS_CLANG:-0}" = 1 ]; then
  command -v clang++ >/dev/null 2>&1 || missing+=(clang)
  ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || missing+=(libclang-rt-14-dev)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  if ! command -v apt-get >/dev/null 2>&1; then
    echo "Please install these packages (Debian names): ${missing[*]}" >&2
    exit 1
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
