#!/usr/bin/env bash
# Builds the fuzz targets with Clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz (or $RESHAPE_FUZZ_BUILD) and runs each chosen target for SECONDS, starting from
# the committed seeds, the corpus seeds and what earlier runs found. Prints the executions per
# target; exits 1 when any target found a crash, a sanitizer report, a leak, a hang or a broken
# property (the input is then in BUILD/artifacts/).
# Usage: fuzz/run.sh TARGET|all SECONDS
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then
  echo "usage: fuzz/run.sh TARGET|all SECONDS" >&2
  exit 2
fi
targets=("$1")
if [ "$1" = all ]; then
  targets=(script_reader_fuzz line_transforms_fuzz form_to_text_fuzz form_compiler_fuzz
           form_pipeline_fuzz)
fi
seconds="$2"
build="${RESHAPE_FUZZ_BUILD:-build-fuzz}"

RESHAPE_NEEDS_CLANG=1 scripts/setup.sh
# The same configuration as the sanitizer test build of CI, so that one build serves both.
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRESHAPE_SANITIZE=ON -DRESHAPE_BUILD_FUZZERS=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

# Both form-file targets read binary forms and share one dictionary.
dictionary_of() {
  case "$1" in
    form_pipeline_fuzz) echo fuzz/form_to_text_fuzz.dict ;;
    *) echo "fuzz/$1.dict" ;;
  esac
}

failed=()
summary=()
for target in "${targets[@]}"; do
  found="$build/corpus/$target"
  seeds="$build/seeds/$target"
  mkdir -p "$found" "$build/artifacts" "$build/logs"
  rm -rf "$seeds"
  fuzz/gather_seeds.sh "$target" "$seeds"
  dirs=("$found")
  [ -d "fuzz/corpus/$target" ] && dirs+=("fuzz/corpus/$target")
  [ -d "$seeds" ] && dirs+=("$seeds")
  log="$build/logs/$target.log"
  echo "== $target for ${seconds}s"
  status=0
  # Forms reach a few hundred kilobytes; one input may run 10 s and allocate 256 MB at most.
  "$build/fuzz/$target" -max_len=1048576 -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=256 \
    -max_total_time="$seconds" -dict="$(dictionary_of "$target")" -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" "${dirs[@]}" >"$log" 2>&1 || status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  line="$target: ${executions:-?} executions"
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    line+=", FAILED (exit $status), see $log"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|fuzz property|terminate|.*runtime error)' "$log" | head -n 5 || true
  fi
  echo "$line"
  summary+=("$line")
done

echo "== fuzzing summary"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "findings in: ${failed[*]}" >&2
  exit 1
fi
