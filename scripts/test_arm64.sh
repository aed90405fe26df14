#!/usr/bin/env bash
# Cross-builds reshape and its tests for 64-bit ARM Linux and runs the unit and end-to-end tests
# under qemu-user (on Debian both are installed first when missing). The emulator starts each
# test executable, and the end-to-end tests start reshape through it too
# (RESHAPE_TEST_RUNNER), so no binfmt registration is needed. Of the limit tests only the quick
# ones run: peak memory would be the emulator's (the harness reports none), and the 100 MB runs
# cost minutes there, so they are left to the native build; so are the two tests that start
# reshape from a host program (a shell, timeout), which cannot start an ARM64 program itself.
# Usage: scripts/test_arm64.sh [BUILD_DIR]   (default: build-arm64)
set -euo pipefail
cd "$(dirname "$0")/.."
RESHAPE_NEEDS_ARM64=1 scripts/setup.sh
build="${1:-build-arm64}"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
  -DCMAKE_BUILD_TYPE="${RESHAPE_BUILD_TYPE:-Release}"
cmake --build "$build" -j "$(nproc)" --target reshape reshape_unit_tests reshape_e2e_tests

source scripts/arm64_env.sh
status=0
RESHAPE_LIMIT_TESTS=1 GTEST_FILTER="-LimitsE2E.Hundred*:PosixE2E.PipesAndDevices*:PosixE2E.StandardOutput*" \
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)" || status=$?
scripts/skipped_tests.sh "$build"
exit $status
