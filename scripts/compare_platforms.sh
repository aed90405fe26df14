#!/usr/bin/env bash
# Runs the native reshape and a cross-built one (reshape.exe under Wine, or the ARM64 program
# under qemu-user) on copies of the same trees and checks that both leave exactly the same
# bytes: console output, change log, rewritten files, backups and text forms. The trees are
# examples/demo with its script, and every tree under the corpus's trees/ directory
# (../shared/corpus or $RESHAPE_CORPUS_DIR) with a script that touches every kind of file.
# Usage: scripts/compare_platforms.sh windows|arm64 NATIVE_RESHAPE OTHER_RESHAPE
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 3 ] || { [ "$1" != windows ] && [ "$1" != arm64 ]; }; then
  echo "usage: $0 windows|arm64 NATIVE_RESHAPE OTHER_RESHAPE" >&2
  exit 2
fi
platform=$1
native=$(realpath "$2")
other=$(realpath "$3")
corpus="${RESHAPE_CORPUS_DIR:-../shared/corpus}"

work=$(mktemp -d)
if [ "$platform" = windows ]; then
  label="on Windows"
  source scripts/wine_env.sh
  trap 'reshape_wine_stop; rm -rf "$work"' EXIT
  reshape_wine_start
  run_other() { "$RESHAPE_WINE" "$other" "$@" </dev/null; }
else
  label="on ARM64"
  source scripts/arm64_env.sh
  trap 'rm -rf "$work"' EXIT
  # The emulator's command line is several words, so it stays unquoted.
  run_other() { $RESHAPE_QEMU "$other" "$@" </dev/null; }
fi

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
# separator: on Windows, both sides' backslashes are turned to "/" before comparing (in change
# records the escaped ones, so that escaped quotes stay).
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
  local code_native=0 code_other=0 out="$work/$name.$compared"
  (cd "$work/native/$name" && "$native" "$@") >"$out.native" || code_native=$?
  (cd "$work/other/$name" && run_other "$@") >"$out.other" || code_other=$?
  local same=1
  if [ "$code_native" != "$code_other" ]; then
    echo "$name: exit code $code_native native, $code_other $label"
    same=0
  fi
  if ! cmp -s <(normalize <"$out.native" | slashes) <(normalize <"$out.other" | slashes); then
    echo "$name: console output differs"
    diff <(normalize <"$out.native" | slashes | cat -A) \
      <(normalize <"$out.other" | slashes | cat -A) | head -20 || true
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
  if ! diff -r "$work/native/$name" "$work/other/$name"; then
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
  for side in native other; do
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
[ "$platform" = arm64 ] || separators=1
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
