#!/usr/bin/env bash
# Builds the fuzz targets with Clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz (or $RESHAPE_FUZZ_BUILD) and runs each chosen target for SECONDS, starting from
# the committed seeds, the corpus seeds and what earlier runs found. Prints the executions per
# target; exits 1 when any target found a crash, a sanitizer report, a leak, a hang or a broken
# property (the input is then in BUILD/artifacts/).
# Usage: [RESHAPE_FUZZ_JOBS=N] fuzz/run.sh TARGET|all SECONDS
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then
  echo "usage: fuzz/run.sh TARGET|all SECONDS" >&2
  exit 2
fi
targets=("$1")
if [ "$1" = all ]; then
  targets=(script_reader_fuzz line_transforms_fuzz form_to_text_fuzz form_compiler_fuzz
           form_pipeline_fuzz text_form_editor_fuzz unit_clauses_fuzz)
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
    text_form_editor_fuzz) echo fuzz/form_compiler_fuzz.dict ;;
    *) echo "fuzz/$1.dict" ;;
  esac
}

# Runs one target and leaves its exit status beside its log.
fuzz_one() {
  local target="$1"
  local found="$build/corpus/$target"
  local seeds="$build/seeds/$target"
  local log="$build/logs/$target.log"
  rm -rf "$seeds"
  fuzz/gather_seeds.sh "$target" "$seeds"
  local dirs=("$found")
  [ -d "fuzz/corpus/$target" ] && dirs+=("fuzz/corpus/$target")
  [ -d "$seeds" ] && dirs+=("$seeds")
  local status=0
  # Forms reach a few hundred kilobytes; one input may run 10 s and allocate 256 MB at most.
  "$build/fuzz/$target" -max_len=1048576 -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=256 \
    -max_total_time="$seconds" -dict="$(dictionary_of "$target")" -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" "${dirs[@]}" >"$log" 2>&1 || status=$?
  echo "$status" >"$log.status"
}

# Each target is one process on one core; RESHAPE_FUZZ_JOBS of them run at once (default 1).
jobs="${RESHAPE_FUZZ_JOBS:-1}"
mkdir -p "$build/artifacts" "$build/logs"
running=0
for target in "${targets[@]}"; do
  mkdir -p "$build/corpus/$target"
  rm -f "$build/logs/$target.log.status"
  echo "== $target for ${seconds}s"
  fuzz_one "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

failed=()
summary=()
for target in "${targets[@]}"; do
  log="$build/logs/$target.log"
  status=$(cat "$log.status" 2>/dev/null || echo "?")
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  line="$target: ${executions:-?} executions"
  if [ "$status" != 0 ]; then
    failed+=("$target")
    line+=", FAILED (exit $status), see $log"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|fuzz property|terminate|.*runtime error)' "$log" | head -n 5 || true
  fi
  summary+=("$line")
done

echo "== fuzzing summary"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "findings in: ${failed[*]}" >&2
  exit 1
fi
