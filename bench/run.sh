#!/usr/bin/env bash
# Measures reshape's passes on one generated tree against GNU sed doing the same substitutions
# and against the I/O floor (the bare file operations of the same work), and prints the ratios.
#
#   bench/run.sh [--size tiny|small|full] [--seed N] [--reps N] [--rules "1 10 100 1000"]
#                [--sed-reps N] [--build DIR] [--work DIR] [--reshape BINARY]
#
# Every measurement runs on a fresh copy of the same generated tree (the copy is not timed, and
# it leaves the files in the page cache, so all tools start alike); the measurements take turns,
# one run each per round, and the fastest of --reps runs counts. Times come from wait4(): wall, user + system CPU, and peak resident memory.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
SIZE=small
SEED=1
REPS=3
SED_REPS=1  # sed is the slow baseline (minutes at 1,000 rules); one run of it is enough
RULES="1 10 100 1000"
BUILD=$ROOT/build-bench
WORK=${TMPDIR:-/tmp}/reshape-bench
RESHAPE=

while [ $# -gt 0 ]; do
  case $1 in
    --size) SIZE=$2; shift 2 ;;
    --seed) SEED=$2; shift 2 ;;
    --reps) REPS=$2; shift 2 ;;
    --sed-reps) SED_REPS=$2; shift 2 ;;
    --rules) RULES=$2; shift 2 ;;
    --build) BUILD=$2; shift 2 ;;
    --work) WORK=$2; shift 2 ;;
    --reshape) RESHAPE=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done

mkdir -p "$BUILD"
BUILD=$(cd "$BUILD" && pwd)
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DRESHAPE_BUILD_BENCHMARKS=ON \
  -DRESHAPE_BUILD_TESTS=OFF > /dev/null
cmake --build "$BUILD" -j2 --target reshape reshape_tree_generator reshape_io_floor \
  reshape_measure > /dev/null
RESHAPE=${RESHAPE:-$BUILD/reshape}
RESHAPE=$(cd "$(dirname "$RESHAPE")" && pwd)/$(basename "$RESHAPE")
MEASURE=$BUILD/reshape_measure
FLOOR=$BUILD/reshape_io_floor

rm -rf "$WORK"
mkdir -p "$WORK/times"
GEN=$WORK/gen
TREE=$GEN/tree
RUN=$WORK/run
SCRIPTS=$GEN/scripts
"$BUILD/reshape_tree_generator" "$GEN" --size "$SIZE" --seed "$SEED"

files_matching() { (cd "$TREE" && ls | grep -iE "$1" || true); }
mapfile -t SOURCE_FILES < <(files_matching '\.(pas|cpp|hpp|h)$')
mapfile -t UNIT_FILES < <(files_matching '\.(pas|dpk)$')
mapfile -t PROJECT_FILES < <(files_matching '\.bpr$')

# plan LABEL COMMAND...: adds a measurement to the plan that run_plan carries out.
PLAN=()
plan() {
  local label=$1
  shift
  local reps=$REPS
  [ "$1" = sed ] && reps=$SED_REPS
  PLAN+=("$label $reps $(printf '%q ' "$@")")
  : > "$WORK/times/$label.all"
}

# run_plan: runs every planned measurement on fresh copies of the tree, one run of each per
# round, so that a change of the machine's load touches all of them alike; the fastest run of
# each counts.
run_plan() {
  local round entry label reps cmd rounds=$REPS
  [ "$SED_REPS" -gt "$rounds" ] && rounds=$SED_REPS
  for ((round = 0; round < rounds; round++)); do
    for entry in "${PLAN[@]}"; do
      read -r label reps cmd <<< "$entry"
      [ "$round" -lt "$reps" ] || continue
      rm -rf "$RUN"
      cp -a "$TREE" "$RUN"
      if ! (cd "$RUN" && eval "\"\$MEASURE\" \"\$WORK/times/$label.all\" $cmd" > /dev/null 2>&1); then
        echo "$label failed: $cmd" >&2
        exit 1
      fi
      { cat "$RUN"/*.LOG 2> /dev/null || true; } | wc -l > "$WORK/times/$label.changes"
    done
  done
  for entry in "${PLAN[@]}"; do
    label=${entry%% *}
    sort -n "$WORK/times/$label.all" | head -1 > "$WORK/times/$label"
  done
  PLAN=()
}

# plan_logs LABEL: the floor of appending as many change log lines as run LABEL wrote.
plan_logs() {
  plan "$1-logs" "$FLOOR" log floor.LOG "$(cat "$WORK/times/$1.changes")"
}

# field LABEL N: wall (1), cpu (2 = user + system), rss in KB (3)
field() {
  awk -v n="$2" '{ if (n == 1) print $1; else if (n == 2) printf "%.6f\n", $2 + $3; else print $4 }' \
    "$WORK/times/$1"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

for r in $RULES; do
  plan "source-reshape-$r" "$RESHAPE" "$SCRIPTS/source_$r.scr" "${SOURCE_FILES[@]}"
  plan "source-sed-$r" sed -i -f "$SCRIPTS/source_$r.sed" "${SOURCE_FILES[@]}"
  plan "form-reshape-$r" "$RESHAPE" "$SCRIPTS/form_$r.scr" $(cd "$TREE" && ls *.dfm)
done
plan source-reshape-idle "$RESHAPE" "$SCRIPTS/source_idle.scr" "${SOURCE_FILES[@]}"
plan form-reshape-idle "$RESHAPE" "$SCRIPTS/form_idle.scr" $(cd "$TREE" && ls *.dfm)
plan source-floor "$FLOOR" text "${SOURCE_FILES[@]}"
plan unit-reshape "$RESHAPE" "$SCRIPTS/unit.scr" "${UNIT_FILES[@]}"
plan unit-sed sed -i -f "$SCRIPTS/unit.sed" "${UNIT_FILES[@]}"
plan unit-floor "$FLOOR" text "${UNIT_FILES[@]}"
plan project-reshape "$RESHAPE" "$SCRIPTS/project.scr" "${PROJECT_FILES[@]}"
plan project-sed sed -i -f "$SCRIPTS/project.sed" "${PROJECT_FILES[@]}"
plan project-floor "$FLOOR" text "${PROJECT_FILES[@]}"
plan form-floor "$FLOOR" form "$GEN/forms.txt"
LAST_RULES=${RULES##* }
plan whole-run "$RESHAPE" "$SCRIPTS/rules_$LAST_RULES.scr"
run_plan
# The floors of the log lines need the numbers of lines that the runs above wrote.
for r in $RULES; do
  plan_logs "source-reshape-$r"
  plan_logs "form-reshape-$r"
done
plan_logs unit-reshape
plan_logs project-reshape
run_plan

text_bytes=$(cd "$TREE" && cat "${SOURCE_FILES[@]}" | wc -c)
form_bytes=$(cd "$TREE" && cat *.dfm | wc -c)
largest_form=$(cd "$TREE" && ls -l *.dfm | awk '$5 > m { m = $5 } END { print m }')
echo
echo "tree: size $SIZE, seed $SEED, ${#SOURCE_FILES[@]} source files ($text_bytes bytes)," \
  "$(cd "$TREE" && ls *.dfm | wc -l) form files ($form_bytes bytes), fastest of $REPS runs"
echo
printf '%-30s %10s %10s %10s %10s\n' measurement wall_s cpu_s peak_kb log_lines
for f in "$WORK"/times/*; do
  case $f in *.all | *.changes | *-logs) continue ;; esac
  label=$(basename "$f")
  printf '%-30s %10.3f %10.3f %10d %10s\n' "$label" "$(field "$label" 1)" "$(field "$label" 2)" \
    "$(field "$label" 3)" "$(case $label in *reshape* | whole-run) cat "$f.changes" ;; *) echo - ;; esac)"
  if [ -f "$f-logs" ]; then
    printf '%-30s %10.3f %10.3f %10d\n' "  floor of its log lines" "$(field "$label-logs" 1)" \
      "$(field "$label-logs" 2)" "$(field "$label-logs" 3)"
  fi
done

echo
echo "ratios (wall time; cpu time in brackets). floor: the file operations of the pass;"
echo "floor+log: those and the change log appends that the run made, done the cheapest way"
row() {  # NAME A B
  printf '  %-44s %6s  (%s)\n' "$1" "$(ratio "$(field "$2" 1)" "$(field "$3" 1)")" \
    "$(ratio "$(field "$2" 2)" "$(field "$3" 2)")"
}
# floor_plus_logs RESHAPE FLOOR N: field N of FLOOR plus the same field of the floor of RESHAPE's
# log lines
floor_plus_logs() {
  awk -v a="$(field "$2" "$3")" -v b="$(field "$1-logs" "$3")" 'BEGIN { print a + b }'
}
# row_with_logs NAME RESHAPE FLOOR: reshape over the floor plus the floor of its log lines
row_with_logs() {
  printf '  %-44s %6s  (%s)\n' "$1" "$(ratio "$(field "$2" 1)" "$(floor_plus_logs "$2" "$3" 1)")" \
    "$(ratio "$(field "$2" 2)" "$(floor_plus_logs "$2" "$3" 2)")"
}
# floor_with_logs_over NAME RESHAPE FLOOR OTHER: the floor plus the log lines of run RESHAPE, over
# OTHER: below 1 when any run that appends those lines can beat OTHER at all
floor_with_logs_over() {
  printf '  %-44s %6s  (%s)\n' "$1" "$(ratio "$(floor_plus_logs "$2" "$3" 1)" "$(field "$4" 1)")" \
    "$(ratio "$(floor_plus_logs "$2" "$3" 2)" "$(field "$4" 2)")"
}
for r in $RULES; do
  row "source pass $r rules: reshape/floor" "source-reshape-$r" source-floor
  row_with_logs "source pass $r rules: reshape/(floor+log)" "source-reshape-$r" source-floor
  row "source pass $r rules: reshape/sed" "source-reshape-$r" "source-sed-$r"
  floor_with_logs_over "source pass $r rules: (floor+log)/sed" "source-reshape-$r" source-floor \
    "source-sed-$r"
done
row "unit pass: reshape/floor" unit-reshape unit-floor
row_with_logs "unit pass: reshape/(floor+log)" unit-reshape unit-floor
row "unit pass: reshape/sed" unit-reshape unit-sed
row "project pass: reshape/floor" project-reshape project-floor
row_with_logs "project pass: reshape/(floor+log)" project-reshape project-floor
row "project pass: reshape/sed" project-reshape project-sed
for r in $RULES; do
  row "form pass $r rules: reshape/floor" "form-reshape-$r" form-floor
  row_with_logs "form pass $r rules: reshape/(floor+log)" "form-reshape-$r" form-floor
done
FIRST_RULES=${RULES%% *}
row "source pass $LAST_RULES rules / $FIRST_RULES rule" "source-reshape-$LAST_RULES" \
  "source-reshape-$FIRST_RULES"
row "form pass $LAST_RULES rules / $FIRST_RULES rule" "form-reshape-$LAST_RULES" \
  "form-reshape-$FIRST_RULES"
if [ -f "$WORK/times/source-reshape-1" ]; then
  row "source pass 1 rule behind 999 idle / 1 rule" source-reshape-idle source-reshape-1
  row "form pass 1 rule behind 999 idle / 1 rule" form-reshape-idle form-reshape-1
fi
limit=$((8 * 1024 + 4 * largest_form / 1024))
echo "  peak memory of the whole run: $(field whole-run 3) KB;" \
  "limit 8 MB + 4 x largest form ($largest_form bytes) = $limit KB"
