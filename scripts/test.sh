#!/usr/bin/env bash
# Builds reshape and runs every test (unit and end-to-end; the checks over the real-world form
# corpus run when ../shared/corpus or $RESHAPE_CORPUS_DIR exists), then lists the skipped tests
# with their reason.
# Usage: scripts/test.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build="${1:-build}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE="${RESHAPE_BUILD_TYPE:-RelWithDebInfo}" ${RESHAPE_CMAKE_FLAGS:-}
cmake --build "$build" -j "$(nproc)"
status=0
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" || status=$?
scripts/skipped_tests.sh "$build"
exit $status
