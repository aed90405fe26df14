#!/usr/bin/env bash
# Runs two reshape binaries over copies of the same generated tree with every generated script
# and fails unless both leave identical bytes behind: every file, side file and change log, and
# the console output. Used to show that an optimisation changed no output.
#
#   bench/compare_outputs.sh OLD_BINARY NEW_BINARY [--size tiny|small|full] [--seed N]
#                            [--generator BINARY] [--work DIR]
set -euo pipefail

OLD=$(realpath "$1")
NEW=$(realpath "$2")
shift 2
SIZE=small
SEED=1
GENERATOR=$(dirname "$NEW")/reshape_tree_generator
WORK=${TMPDIR:-/tmp}/reshape-compare
while [ $# -gt 0 ]; do
  case $1 in
    --size) SIZE=$2; shift 2 ;;
    --seed) SEED=$2; shift 2 ;;
    --generator) GENERATOR=$2; shift 2 ;;
    --work) WORK=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done

rm -rf "$WORK"
"$GENERATOR" "$WORK/gen" --size "$SIZE" --seed "$SEED" > /dev/null
status=0
for script in "$WORK"/gen/scripts/*.scr; do
  name=$(basename "$script" .scr)
  for side in old new; do
    rm -rf "$WORK/$side"
    cp -a "$WORK/gen/tree" "$WORK/$side"
    binary=$OLD
    [ $side = new ] && binary=$NEW
    (cd "$WORK/$side" && "$binary" "$script" > "$WORK/$side.console" 2>&1) || true
  done
  if diff -r -q "$WORK/old" "$WORK/new" > /dev/null && cmp -s "$WORK/old.console" "$WORK/new.console"; then
    echo "$name: identical ($(find "$WORK/new" -type f | wc -l) files)"
  else
    echo "$name: DIFFERENT"
    diff -r -q "$WORK/old" "$WORK/new" | head -5 || true
    status=1
  fi
done
exit $status
