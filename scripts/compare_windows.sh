#!/usr/bin/env bash
# Runs the native reshape and reshape.exe under Wine on copies of the same trees and checks that
# both leave exactly the same bytes: console output, change log, rewritten files, backups and
# text forms. The trees are examples/demo with its script, and every tree under the corpus's
# trees/ directory (../shared/corpus or $RESHAPE_CORPUS_DIR) with a script that touches every
# kind of file.
# Usage: scripts/compare_windows.sh NATIVE_RESHAPE RESHAPE_EXE
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then
  echo "usage: $0 NATIVE_RESHAPE RESHAPE_EXE" >&2
  exit 2
fi
native=$(realpath "$1")
windows=$(realpath "$2")
corpus="${RESHAPE_CORPUS_DIR:-../shared/corpus}"

work=$(mktemp -d)
source scripts/wine_env.sh
trap 'reshape_wine_stop; rm -rf "$work"' EXIT
reshape_wine_start

# Common classes, units, packages and properties of such trees; every pass has work to do.
tree_script=$'Tree migration.\r\n'
for command in 'RENC>TButton,TFlatButton' 'RENC>TLabel,TTextLabel' 'RENC>TFrame,TFrameEx' \
  'RENS>Caption,Title' 'RENU>Dialogs,GuiDialogs' 'RENU>StdCtrls,GuiStdCtrls' \
  'PKGR>rtl,rtl60' 'DELP>TabOrder' 'RENP>TTextLabel:Caption,Text' \
  'RENP>Font.Name,Font.Family' 'PSET>TCheckBox:Checked=True,State[cbChecked]'; do
  tree_script+="$command"$'\r\n'
done

# The failure report names the executable and a code address; both differ by build.
normalize() {
  sed -E 's/Exception (E[A-Za-z]+) in module [^ ]+ at [0-9A-Fa-f]+\./Exception \1 in module MODULE at ADDRESS./'
}

# Paths in a recursive run's console lines, log and change records have the platform's
# separator: both sides' backslashes are turned to "/" before comparing (in change records the
# escaped ones, so that escaped quotes stay).
slashes() {
  if [ "$separators" = 1 ]; then sed 's/\\/\//g'; else cat; fi
}
separators=0

# compare NAME SCRIPT_NAME [FILE...]: runs both in their copy of tree NAME, then compares.
compared=0
failed=0
compare() {
  local name=$1
  shift
  local code_native=0 code_windows=0 out="$work/$name.$compared"
  (cd "$work/native/$name" && "$native" "$@") >"$out.native" || code_native=$?
  (cd "$work/windows/$name" && "$RESHAPE_WINE" "$windows" "$@" </dev/null) >"$out.windows" ||
    code_windows=$?
  local same=1
  if [ "$code_native" != "$code_windows" ]; then
    echo "$name: exit code $code_native native, $code_windows on Windows"
    same=0
  fi
  if ! cmp -s <(normalize <"$out.native" | slashes) <(normalize <"$out.windows" | slashes); then
    echo "$name: console output differs"
    diff <(normalize <"$out.native" | slashes | cat -A) \
      <(normalize <"$out.windows" | slashes | cat -A) | head -20 || true
    same=0
  fi
  if [ "$separators" = 1 ]; then
    for file in "$work"/*/"$name"/*.LOG; do
      [ -f "$file" ] && slashes <"$file" >"$file.tmp" && mv "$file.tmp" "$file"
    done
    for file in "$work"/*/"$name"/*.jsonl; do
      [ -f "$file" ] && sed 's/\\\\/\//g' <"$file" >"$file.tmp" && mv "$file.tmp" "$file"
    done
  fi
  if ! diff -r "$work/native/$name" "$work/windows/$name"; then
    echo "$name: files differ"
    same=0
  fi
  compared=$((compared + 1))
  if [ $same = 1 ]; then
    echo "$name ($# arguments): identical, exit code $code_native, $(wc -l <"$out.native") console lines"
  else
    failed=$((failed + 1))
  fi
}

# copy NAME SOURCE_DIR [SCRIPT_NAME SCRIPT_TEXT]
copy() {
  local side
  for side in native windows; do
    mkdir -p "$work/$side"
    cp -r --no-preserve=mode "$2" "$work/$side/$1"
    [ $# -lt 4 ] || printf '%s' "$4" >"$work/$side/$1/$3"
  done
}

copy demo examples/demo
compare demo demo.scr
if [ -d "$corpus/trees" ]; then
  for tree in "$corpus"/trees/*/; do
    name=$(basename "$tree")
    copy "$name" "$tree" tree.scr "$tree_script"
    compare "$name" tree.scr
    # Then every file named on the command line, except the text forms that stop a whole run.
    files=()
    for file in "$work/native/$name"/*; do
      file=$(basename "$file")
      case "$file" in
        tree.scr | tree.LOG | *.dfb | *.dft) continue ;;
        *.[dD][fF][mM]) [ "$(head -c 1 "$work/native/$name/$file" | od -An -tx1)" = " ff" ] || continue ;;
      esac
      files+=("$file")
    done
    compare "$name" tree.scr "${files[@]}"
  done
else
  echo "no corpus trees at $corpus: only the demo is compared"
fi

# The options, on fresh copies: a recursive dry run with diffs, then an all-or-nothing recursive
# run with its summary and change records.
separators=1
for tree in examples/demo "$corpus"/trees/*/; do
  [ -d "$tree" ] || continue
  name=options-$(basename "$tree")
  copy "$name" "$tree" tree.scr "$tree_script"
  script=tree.scr
  [ "$tree" = examples/demo ] && script=demo.scr
  compare "$name" -r -n --diff "$script"
  compare "$name" -r --atomic --summary --json-log changes.jsonl "$script"
done
echo "Comparison: $((compared - failed)) passed, $failed failed"
[ $failed = 0 ]
