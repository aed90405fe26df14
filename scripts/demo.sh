#!/usr/bin/env bash
# Builds reshape and runs it on a copy of the demo tree in examples/demo (the committed files
# never change): shows the console lines, the change log and what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-demo -DRESHAPE_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-demo -j "$(nproc)" --target reshape reshape_dfm_tool >/dev/null
reshape="$PWD/build-demo/reshape"
dfm_tool="$PWD/build-demo/reshape_dfm_tool"

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
diff -r --exclude='*.dfb' --exclude='*.dft' --exclude='*.dfm' --exclude='demo.LOG' before after | cat -v || true
echo
echo "== what changed in the forms (their text form before: NAME.dft; after: the new NAME.dfm as text)"
for form in after/*.dfm; do
  "$dfm_tool" bin2text "$form" "${form%.dfm}.after.txt"
  diff -u "${form%.dfm}.dft" "${form%.dfm}.after.txt" | tr -d '\r' || true
done
