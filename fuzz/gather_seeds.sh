#!/usr/bin/env bash
# Copies seed inputs for one fuzz target from the real-world corpus (../shared/corpus or
# $RESHAPE_CORPUS_DIR) into DIR. The corpus is too large to keep in the repository; the small
# seeds committed under fuzz/corpus/ are used besides these. Nothing happens without a corpus.
# Usage: fuzz/gather_seeds.sh TARGET DIR
set -euo pipefail
cd "$(dirname "$0")/.."
target="$1"
dir="$2"
corpus="${RESHAPE_CORPUS_DIR:-../shared/corpus}"
[ -d "$corpus" ] || exit 0
mkdir -p "$dir"

# Copies the files found under the corpus with the given find arguments, each as
# <folder path with _>, optionally behind a prefix of bytes (printf format).
copy_seeds() {
  local prefix="$1"
  shift
  (cd "$corpus" && find "$@" -type f -print0) | while IFS= read -r -d '' file; do
    local name="${file//\//_}"
    { printf "$prefix"; cat "$corpus/$file"; } > "$dir/$name"
  done
}

case "$target" in
  form_to_text_fuzz | form_pipeline_fuzz)
    copy_seeds "" binary binary-unsupported trees -iname '*.dfm' ;;
  form_compiler_fuzz | text_form_editor_fuzz)
    copy_seeds "" text trees -iname '*.dfm' ;;
  line_transforms_fuzz)
    # Options byte 0 (single-byte code page), no script of its own.
    copy_seeds '\000\000' trees \( -iname '*.pas' -o -iname '*.cpp' -o -iname '*.h' \
      -o -iname '*.hpp' -o -iname '*.dpk' -o -iname '*.bpr' -o -iname '*.dpr' \) ;;
  unit_clauses_fuzz)
    # Options byte 0 (single-byte code page, a unit) and 8 (a package source).
    copy_seeds '\000' trees \( -iname '*.pas' -o -iname '*.dpr' -o -iname '*.inc' \)
    copy_seeds '\010' trees -iname '*.dpk' ;;
  script_reader_fuzz) ;;
  *) echo "unknown fuzz target: $target" >&2; exit 1 ;;
esac
