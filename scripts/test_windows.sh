#!/usr/bin/env bash
# Cross-builds reshape.exe and its tests for 64-bit Windows with MinGW-w64 and runs the unit and
# end-to-end tests under Wine (on Debian both are installed first when missing). Of the limit
# tests only the quick ones run: peak memory cannot be measured under Wine, and the 100 MB and
# many-files runs cost a minute there, so they are left to the native build.
# Usage: scripts/test_windows.sh [BUILD_DIR]   (default: build-win)
set -euo pipefail
cd "$(dirname "$0")/.."
RESHAPE_NEEDS_WINDOWS=1 scripts/setup.sh
build="${1:-build-win}"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE="${RESHAPE_BUILD_TYPE:-Release}"
cmake --build "$build" -j "$(nproc)" --target reshape reshape_unit_tests reshape_e2e_tests

source scripts/wine_env.sh
trap reshape_wine_stop EXIT
reshape_wine_start
status=0
RESHAPE_LIMIT_TESTS=1 GTEST_FILTER="-LimitsE2E.Hundred*" \
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)" || status=$?
scripts/skipped_tests.sh "$build"
exit $status
