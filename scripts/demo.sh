#!/usr/bin/env bash
# Builds reshape and runs it on copies of the demo tree in examples/demo (the committed files
# never change): first a dry run that shows the migration as a diff and writes nothing, then
# the real run with its console lines, change log and what changed. The copies stay in
# build-demo/run (before/, preview/, after/) for a look afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
echo "== building reshape in build-demo"
cmake -S . -B build-demo -DRESHAPE_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
cmake --build build-demo -j "$(nproc)" --target reshape reshape_dfm_tool
reshape="$PWD/build-demo/reshape"
dfm_tool="$PWD/build-demo/reshape_dfm_tool"

run="$PWD/build-demo/run"
rm -rf "$run"
mkdir -p "$run"
for copy in before preview after; do
  cp -r examples/demo "$run/$copy"
done

echo
echo "== reshape -n --diff demo.scr (dry run: shows what would change, writes nothing)"
cd "$run/preview"
# A build without options takes "-n" for the script's name and cannot open it.
if "$reshape" -n --diff demo.scr >"$run/preview.txt" 2>&1; then
  cat "$run/preview.txt"
  if diff -r "$run/before" "$run/preview" >/dev/null; then
    echo "(the tree is unchanged: no file, log, .dfb or .dft was written)"
  else
    echo "(the dry run changed the tree:)"
    diff -rq "$run/before" "$run/preview" || true
  fi
  summary=(--summary)
elif grep -q '^Cannot open file -n\.$' "$run/preview.txt"; then
  echo "(this build of reshape has no options yet; the real run follows)"
  summary=()
else
  cat "$run/preview.txt"
  echo "(the dry run failed)"
  summary=()
fi

echo
echo "== reshape ${summary[*]:+${summary[*]} }demo.scr (in the copy build-demo/run/after)"
cd "$run/after"
"$reshape" "${summary[@]}" demo.scr
echo
echo "== demo.LOG"
cat demo.LOG
echo
echo "== what changed (diff -r before after; CR LF line ends shown as ^M by cat -v)"
cd "$run"
diff -r --exclude='*.dfb' --exclude='*.dft' --exclude='*.dfm' --exclude='demo.LOG' before after |
  cat -v || true
echo "(Every class name of a line is renamed, also inside template brackets and casts and after"
echo " tabs: TFlatButton* button = new TFlatButton(this); dynamic_cast<TFlatButton*>(sender).)"
echo
echo "== what changed in the forms (their text form before: NAME.dft; after: the new NAME.dfm as text)"
for form in after/*.dfm; do
  "$dfm_tool" bin2text "$form" "${form%.dfm}.after.txt"
  diff -u "${form%.dfm}.dft" "${form%.dfm}.after.txt" | tr -d '\r' || true
done
echo
echo "== the copies are in $run:"
echo "   before/   examples/demo as committed"
echo "   preview/  after the dry run (the same bytes as before/)"
echo "   after/    after the run: migrated files, demo.LOG, NAME.dfb (old form bytes),"
echo "             NAME.dft (old form as text), NAME.after.txt (new form as text)"
