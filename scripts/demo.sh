#!/usr/bin/env bash
# Builds reshape and runs it on a copy of the demo tree in examples/demo (the committed files
# never change): shows the console lines, the change log and what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DRESHAPE_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)" --target reshape >/dev/null
reshape="$PWD/build/reshape"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r examples/demo "$work/before"
cp -r examples/demo "$work/after"
cd "$work/after"
echo "== reshape demo.scr (in a copy of examples/demo)"
"$reshape" demo.scr
echo
echo "== demo.LOG"
cat demo.LOG
echo
echo "== what changed (diff -r before after; CR LF line ends shown as ^M by cat -A)"
cd "$work"
diff -r --exclude='*.dfb' --exclude='*.dft' --exclude='demo.LOG' before after | cat -v || true
