#!/usr/bin/env bash
# Lists the tests that GoogleTest skipped in the last ctest run of BUILD_DIR, each with the
# reason its GTEST_SKIP gave, read from the run's log; prints nothing when none was skipped.
# Usage: scripts/skipped_tests.sh BUILD_DIR
set -euo pipefail
log="$1/Testing/Temporary/LastTest.log"
[ -f "$log" ] || exit 0
# A skip in GoogleTest's output: "[ RUN      ] Suite.Test", "file:line: Skipped", the reason
# (any lines), "[  SKIPPED ] Suite.Test (N ms)".
skipped=$(awk '
  { sub(/\r$/, "") }
  /^\[ RUN      \] / { name = $4; reason = ""; skipping = 0; next }
  /: Skipped$/ && name != "" { skipping = 1; next }
  /^\[  SKIPPED \] / {
    if (skipping) print name ": " (reason == "" ? "(no reason given)" : reason)
    name = ""; skipping = 0; next
  }
  skipping && $0 != "" { reason = reason (reason == "" ? "" : " ") $0 }
' "$log" | sort -u)
[ -n "$skipped" ] || exit 0
echo
echo "Skipped tests ($(wc -l <<<"$skipped")), with their reason:"
sed 's/^/  /' <<<"$skipped"
