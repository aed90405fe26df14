#!/usr/bin/env bash
# Measures reshape's passes on one generated tree against GNU sed doing the same substitutions
# and against the I/O floor (the bare file operations of the same work), and prints the ratios.
#
#   bench/run.sh [--size tiny|small|full] [--seed N] [--reps N] [--rules "1 10 100 1000"]
#                [--sed-reps N] [--build DIR] [--work DIR] [--reshape BINARY]
#                [--baseline BINARY] [--lines plain|dense]
#   --lines dense: the generated sources also hold lines that name a class two or three times,
#   in C++ templates and casts, indented by tabs; sed then makes its substitutions global.
#   bench/run.sh --tree nested [--files 100000] [--dirs 10000] [--reps N] [--syscalls] ...
#   --baseline BINARY: another build of reshape (the one before a change), timed in the same
#   rounds right after each reshape measurement; each such measurement then also gets the median
#   over the rounds of its per-round CPU-time ratio new/baseline.
#   --cpu N|none: the processor every measured command runs on (default 0). A shared machine's
#   processors can differ in how often other work interrupts them (on the development machine
#   one of two made a third of the runs 50 % slower); one processor for all keeps the rounds alike.
#
# Every measurement runs on a fresh copy of the same generated tree (the copy is not timed, and
# it leaves the files in the page cache, so all tools start alike); the measurements take turns,
# one run each per round, and the median of --reps rounds counts (sed at the largest rule count,
# which takes minutes, runs --sed-reps times). Times come from wait4(): wall, user + system CPU,
# and peak resident memory. The floor of a text pass reads every file and, for each file that
# reshape changed in a run before the measurements, writes the scratch file, appends the file's
# change log lines in one operation and renames the scratch file over the file. The run with
# every rule kind is also measured with --atomic and with -n, in the same rounds; reshape's
# scratch files (TMPDIR) then go to the work directory, on the tree's file system.
#
# With --tree nested it measures recursive runs (-r) instead, on a tree of --files files in
# --dirs directories: a script that runs every pass and changes nothing, and one that changes
# some sources, forms and projects, each against the floor walking the tree as the passes do
# (reshape_io_floor walk), and the second also with --atomic and with -n; and the peak memory of
# the first at --files and at a tenth of it (a tree of a tenth of the files and directories). --syscalls adds the system call counts of one
# run of each (strace -c -f).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
SIZE=small
SEED=1
REPS=9
SED_REPS=1
RULES="1 10 100 1000"
BUILD=$ROOT/build-bench
WORK=${TMPDIR:-/tmp}/reshape-bench
RESHAPE=
BASELINE=
LINES=plain
TREE_KIND=flat
FILES=100000
DIRS=10000
SYSCALLS=0
CPU=0

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
    --lines) LINES=$2; shift 2 ;;
    --tree) TREE_KIND=$2; shift 2 ;;
    --files) FILES=$2; shift 2 ;;
    --dirs) DIRS=$2; shift 2 ;;
    --syscalls) SYSCALLS=1; shift ;;
    --cpu) CPU=$2; shift 2 ;;
    --baseline) BASELINE=$(realpath "$2"); shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done

mkdir -p "$BUILD"
BUILD=$(cd "$BUILD" && pwd)
# A build directory configured before (with the benchmarks on) keeps its configuration.
[ -f "$BUILD/CMakeCache.txt" ] || cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release \
  -DRESHAPE_BUILD_BENCHMARKS=ON -DRESHAPE_BUILD_TESTS=OFF > /dev/null
cmake --build "$BUILD" -j2 --target reshape reshape_tree_generator reshape_io_floor \
  reshape_measure > /dev/null
RESHAPE=${RESHAPE:-$BUILD/reshape}
RESHAPE=$(cd "$(dirname "$RESHAPE")" && pwd)/$(basename "$RESHAPE")
MEASURE=$BUILD/reshape_measure
PIN=()
[ "$CPU" = none ] || PIN=(taskset -c "$CPU")
FLOOR=$BUILD/reshape_io_floor

rm -rf "$WORK"
mkdir -p "$WORK/times" "$WORK/changed" "$WORK/tmp"
export TMPDIR=$WORK/tmp
GEN=$WORK/gen
TREE=$GEN/tree
RUN=$WORK/run
SCRIPTS=$GEN/scripts


# changed NAME SCRIPT FILE...: runs reshape once, unmeasured, and writes to changed/NAME the
# files it changed with the bytes of their log lines, for the floor of the same work.
changed() {
  local name=$1 script=$2
  shift 2
  rm -rf "$RUN"
  cp -a "$TREE" "$RUN"
  (cd "$RUN" && "$RESHAPE" "$script" "$@" > /dev/null)
  local log
  log=$(ls "$RUN"/*.LOG 2> /dev/null | head -1 || true)
  for f in "$@"; do
    cmp -s "$TREE/$f" "$RUN/$f" && continue
    local upper
    upper=$(printf '%s' "$f" | tr '[:lower:]' '[:upper:]')
    echo "$f $(grep -F -- "$upper> " "$log" | wc -c)"
  done > "$WORK/changed/$name"
}

# plan LABEL COMMAND...: adds a measurement to the plan that run_plan carries out; a run of
# reshape is followed by the same run of the baseline build, if there is one (LABEL.base).
PLAN=()
BASE_LABELS=()
plan() {
  local label=$1
  shift
  local reps=$REPS
  [ "$label" = "source-sed-$LAST_RULES" ] && reps=$SED_REPS
  PLAN+=("$label $reps $(printf '%q ' "$@")")
  : > "$WORK/times/$label.all"
  if [ -n "$BASELINE" ] && [ "$1" = "$RESHAPE" ]; then
    shift
    PLAN+=("$label.base $reps $(printf '%q ' "$BASELINE" "$@")")
    : > "$WORK/times/$label.base.all"
    BASE_LABELS+=("$label")
  fi
}

# baseline_rows: for each measurement timed against the baseline, the median over the rounds
# of the per-round CPU-time ratio reshape/baseline, and every round's ratio.
baseline_rows() {
  [ ${#BASE_LABELS[@]} -gt 0 ] || return 0
  echo
  echo "against the baseline $BASELINE: median of the per-round cpu-time ratios (each round's)"
  local label ratios
  for label in "${BASE_LABELS[@]}"; do
    ratios=$(paste -d' ' "$WORK/times/$label.all" "$WORK/times/$label.base.all" |
      awk '{ printf "%.3f\n", ($2 + $3) / ($7 + $8) }')
    printf '  %-44s %6.2f  (%s)\n' "$label" \
      "$(sort -n <<< "$ratios" | awk '{ r[NR] = $1 } END { print r[int((NR + 1) / 2)] }')" \
      "$(tr '\n' ' ' <<< "$ratios")"
  done
}

# run_plan: runs every planned measurement on fresh copies of the tree, one run of each per
# round, so that a change of the machine's load touches all of them alike; the median run of
# each (by CPU time) counts.
run_plan() {
  local round entry label reps cmd rounds=$REPS
  [ "$SED_REPS" -gt "$rounds" ] && rounds=$SED_REPS
  for ((round = 0; round < rounds; round++)); do
    for entry in "${PLAN[@]}"; do
      read -r label reps cmd <<< "$entry"
      [ "$round" -lt "$reps" ] || continue
      rm -rf "$RUN"
      cp -a "$TREE" "$RUN"
      if ! (cd "$RUN" && eval "\"\${PIN[@]}\" \"\$MEASURE\" \"\$WORK/times/$label.all\" $cmd" > /dev/null 2>&1); then
        echo "$label failed: $cmd" >&2
        exit 1
      fi
      { cat "$RUN"/*.LOG 2> /dev/null || true; } | wc -l > "$WORK/times/$label.changes"
    done
  done
  for entry in "${PLAN[@]}"; do
    label=${entry%% *}
    [ "$label" = "${label%.base}" ] || continue
    awk '{ print $2 + $3, $0 }' "$WORK/times/$label.all" | sort -n |
      awk '{ line[NR] = $0 } END { print line[int((NR + 1) / 2)] }' | cut -d' ' -f2- \
      > "$WORK/times/$label"
  done
  PLAN=()
}

# field LABEL N: wall (1), cpu (2 = user + system), rss in KB (3)
field() {
  awk -v n="$2" '{ if (n == 1) print $1; else if (n == 2) printf "%.6f\n", $2 + $3; else print $4 }' \
    "$WORK/times/$1"
}
# round_ratios A B: the ratio of A's CPU time to B's in each round, and their median.
round_ratios() {
  local ratios
  ratios=$(paste -d' ' "$WORK/times/$1.all" "$WORK/times/$2.all" |
    awk '{ printf "%.2f\n", ($2 + $3) / ($7 + $8) }')
  echo "$(echo $ratios) (median $(echo "$ratios" | sort -n |
    awk '{ r[NR] = $0 } END { print r[int((NR + 1) / 2)] }'))"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
row() {  # NAME A B
  printf '  %-44s %6s  (%s)\n' "$1" "$(ratio "$(field "$2" 2)" "$(field "$3" 2)")" \
    "$(ratio "$(field "$2" 1)" "$(field "$3" 1)")"
}

# The passes' masks, in pass order, as the floor's walk takes them.
PASS_MASKS=(pas,cpp,hpp,h pas,dpk dfm bpr)

# nested_changed NAME [OUT]: runs scripts/NAME.scr once, unmeasured, on a fresh copy, and
# writes to changed/OUT (changed/NAME) the files whose bytes it changed, with the bytes of
# their log lines (also binary forms that a script matching nothing in them rewrites without
# a log line, because their round trip through the text form gives other bytes). The scripts change no file in two passes, so each file counts once.
nested_changed() {
  local out=${2:-$1}
  rm -rf "$RUN"
  cp -a "$TREE" "$RUN"
  (cd "$RUN" && "$RESHAPE" -r "$SCRIPTS/$1.scr" > /dev/null)
  { diff -rq "$TREE" "$RUN" || true; } | sed -n "s|^Files $TREE/\(.*\) and .* differ$|\1|p" \
    > "$WORK/changed/$out.names"
  : > "$RUN/none.LOG"  # a run that changes nothing writes no log
  awk -F'> ' 'FILENAME ~ /\.LOG$/ { bytes[$1] += length($0) + 1; next }
              { print $0, bytes[toupper($0)] + 0 }' "$RUN"/*.LOG "$WORK/changed/$out.names" \
    > "$WORK/changed/$out"
}

# syscalls LABEL COMMAND...: one run on a fresh copy under strace -c -f, its table kept.
syscalls() {
  local label=$1
  shift
  rm -rf "$RUN"
  cp -a "$TREE" "$RUN"
  (cd "$RUN" && strace -c -f -o "$WORK/times/$label.strace" "$@" > /dev/null)
}

if [ "$TREE_KIND" = nested ]; then
  "$BUILD/reshape_tree_generator" "$GEN" --tree nested --files "$FILES" --dirs "$DIRS" --seed "$SEED"
  SMALL=$WORK/gen-tenth
  "$BUILD/reshape_tree_generator" "$SMALL" --tree nested --files $((FILES / 10)) \
    --dirs $((DIRS / 10)) --seed "$SEED"
  LAST_RULES=none
  nested_changed nested_idle
  nested_changed nested_change
  FORMS=$GEN/forms.txt
  plan idle-reshape "$RESHAPE" -r "$SCRIPTS/nested_idle.scr"
  plan idle-floor "$FLOOR" walk floor.LOG "$WORK/changed/nested_idle" "$FORMS" "${PASS_MASKS[@]}"
  plan change-reshape "$RESHAPE" -r "$SCRIPTS/nested_change.scr"
  plan change-floor "$FLOOR" walk floor.LOG "$WORK/changed/nested_change" "$FORMS" "${PASS_MASKS[@]}"
  plan change-atomic "$RESHAPE" -r --atomic "$SCRIPTS/nested_change.scr"
  plan change-dry "$RESHAPE" -r -n "$SCRIPTS/nested_change.scr"
  run_plan
  BIG_TREE=$TREE
  TREE=$SMALL/tree
  SCRIPTS=$SMALL/scripts
  nested_changed nested_idle tenth_idle
  plan tenth-idle-reshape "$RESHAPE" -r "$SMALL/scripts/nested_idle.scr"
  plan tenth-idle-floor "$FLOOR" walk floor.LOG "$WORK/changed/tenth_idle" "$SMALL/forms.txt" "${PASS_MASKS[@]}"
  run_plan
  TREE=$BIG_TREE
  SCRIPTS=$GEN/scripts
  if [ "$SYSCALLS" = 1 ]; then
    syscalls idle-reshape "$RESHAPE" -r "$SCRIPTS/nested_idle.scr"
    syscalls idle-floor "$FLOOR" walk floor.LOG "$WORK/changed/nested_idle" "$FORMS" "${PASS_MASKS[@]}"
    syscalls change-reshape "$RESHAPE" -r "$SCRIPTS/nested_change.scr"
    syscalls change-floor "$FLOOR" walk floor.LOG "$WORK/changed/nested_change" "$FORMS" "${PASS_MASKS[@]}"
  fi
  echo
  echo "nested tree: $FILES files in $DIRS directories ($(du -sb "$TREE" | cut -f1) bytes)," \
    "files rewritten: $(wc -l < "$WORK/changed/nested_idle") by nested_idle.scr," \
    "$(wc -l < "$WORK/changed/nested_change") by nested_change.scr; median of $REPS rounds"
  echo
  printf '%-22s %10s %10s %10s %10s   %s\n' measurement wall_s cpu_s peak_kb log_lines "cpu of every round"
  for label in idle-reshape idle-floor change-reshape change-floor change-atomic change-dry \
    tenth-idle-reshape tenth-idle-floor; do
    printf '%-22s %10.3f %10.3f %10d %10s   %s\n' "$label" "$(field "$label" 1)" \
      "$(field "$label" 2)" "$(field "$label" 3)" \
      "$(case $label in *reshape | *atomic) cat "$WORK/times/$label.changes" ;; *) echo - ;; esac)" \
      "$(awk '{ printf "%.2f ", $2 + $3 }' "$WORK/times/$label.all")"
  done
  echo
  echo "ratios: cpu time (wall time in brackets)"
  row "recursive, no change: reshape/floor" idle-reshape idle-floor
  row "recursive, changes: reshape/floor" change-reshape change-floor
  row "recursive, tenth of the tree: reshape/floor" tenth-idle-reshape tenth-idle-floor
  row "recursive, changes: --atomic/plain" change-atomic change-reshape
  row "recursive, changes: -n/plain" change-dry change-reshape
  # The rounds ran the two side by side, so each round's ratio shows how noisy the machine was.
  for pair in idle change tenth-idle; do
    echo "  $pair, reshape/floor of each round (cpu): $(round_ratios "$pair-reshape" "$pair-floor")"
  done
  echo "  changes, --atomic/plain of each round (cpu): $(round_ratios change-atomic change-reshape)"
  echo "  changes, -n/plain of each round (cpu): $(round_ratios change-dry change-reshape)"
  echo "  peak memory, no change: $(field idle-reshape 3) KB at $FILES files," \
    "$(field tenth-idle-reshape 3) KB at $((FILES / 10)) files"
  if [ "$SYSCALLS" = 1 ]; then
    for label in idle-reshape idle-floor change-reshape change-floor; do
      echo
      echo "system calls, $label:"
      head -n 25 "$WORK/times/$label.strace"
    done
  fi
  baseline_rows
  exit 0
fi

"$BUILD/reshape_tree_generator" "$GEN" --size "$SIZE" --seed "$SEED" --lines "$LINES"
SED_SUFFIX=
[ "$LINES" = dense ] && SED_SUFFIX=_global
files_matching() { (cd "$TREE" && ls | grep -iE "$1" || true); }
mapfile -t SOURCE_FILES < <(files_matching '\.(pas|cpp|hpp|h)$')
mapfile -t UNIT_FILES < <(files_matching '\.(pas|dpk)$')
mapfile -t UNIT_ALL_FILES < <(files_matching '\.(pas|dpk|dpr|inc|cpp|hpp|h)$')
mapfile -t PROJECT_FILES < <(files_matching '\.bpr$')
LAST_RULES=${RULES##* }

for r in $RULES; do
  changed "source-$r" "$SCRIPTS/source_$r.scr" "${SOURCE_FILES[@]}"
done
changed source-idle "$SCRIPTS/source_idle.scr" "${SOURCE_FILES[@]}"
changed unit "$SCRIPTS/unit.scr" "${UNIT_FILES[@]}"
changed project "$SCRIPTS/project.scr" "${PROJECT_FILES[@]}"

for r in $RULES; do
  plan "source-reshape-$r" "$RESHAPE" "$SCRIPTS/source_$r.scr" "${SOURCE_FILES[@]}"
  plan "source-sed-$r" sed -i -f "$SCRIPTS/source_$r$SED_SUFFIX.sed" "${SOURCE_FILES[@]}"
  plan "source-floor-$r" "$FLOOR" text floor.LOG "$WORK/changed/source-$r" "${SOURCE_FILES[@]}"
  plan "form-reshape-$r" "$RESHAPE" "$SCRIPTS/form_$r.scr" $(cd "$TREE" && ls *.dfm)
done
plan source-reshape-idle "$RESHAPE" "$SCRIPTS/source_idle.scr" "${SOURCE_FILES[@]}"
plan form-reshape-idle "$RESHAPE" "$SCRIPTS/form_idle.scr" $(cd "$TREE" && ls *.dfm)
plan unit-reshape "$RESHAPE" "$SCRIPTS/unit.scr" "${UNIT_FILES[@]}"
plan unit-sed sed -i -f "$SCRIPTS/unit.sed" "${UNIT_FILES[@]}"
plan unit-floor "$FLOOR" text floor.LOG "$WORK/changed/unit" "${UNIT_FILES[@]}"
# The whole unit pass: every file of its masks, C++ sources and headers too.
plan unit-all-reshape "$RESHAPE" "$SCRIPTS/unit.scr" "${UNIT_ALL_FILES[@]}"
plan unit-all-sed sed -i -f "$SCRIPTS/unit.sed" "${UNIT_ALL_FILES[@]}"
plan project-reshape "$RESHAPE" "$SCRIPTS/project.scr" "${PROJECT_FILES[@]}"
plan project-sed sed -i -f "$SCRIPTS/project.sed" "${PROJECT_FILES[@]}"
plan project-floor "$FLOOR" text floor.LOG "$WORK/changed/project" "${PROJECT_FILES[@]}"
plan form-floor "$FLOOR" form "$GEN/forms.txt"
plan whole-run "$RESHAPE" "$SCRIPTS/rules_$LAST_RULES.scr"
plan whole-run-atomic "$RESHAPE" --atomic "$SCRIPTS/rules_$LAST_RULES.scr"
plan whole-run-dry "$RESHAPE" -n "$SCRIPTS/rules_$LAST_RULES.scr"
run_plan

text_bytes=$(cd "$TREE" && cat "${SOURCE_FILES[@]}" | wc -c)
form_bytes=$(cd "$TREE" && cat *.dfm | wc -c)
largest_file=$(cd "$TREE" && ls -l | awk '$5 > m { m = $5 } END { print m }')
echo
echo "tree: size $SIZE, seed $SEED, ${#SOURCE_FILES[@]} source files ($text_bytes bytes)," \
  "$(cd "$TREE" && ls *.dfm | wc -l) form files ($form_bytes bytes); median of $REPS rounds" \
  "(sed at $LAST_RULES rules: $SED_REPS)"
echo
printf '%-30s %10s %10s %10s %10s\n' measurement wall_s cpu_s peak_kb log_lines
for f in "$WORK"/times/*; do
  case $f in *.all | *.changes | *.base) continue ;; esac
  label=$(basename "$f")
  printf '%-30s %10.3f %10.3f %10d %10s\n' "$label" "$(field "$label" 1)" "$(field "$label" 2)" \
    "$(field "$label" 3)" "$(case $label in *reshape* | whole-run*) cat "$f.changes" ;; *) echo - ;; esac)"
done

echo
echo "ratios: cpu time (user + system; wall time in brackets). The machine may be shared: cpu"
echo "times and ratios within one run are what to compare."
for r in $RULES; do
  row "source pass $r rules: reshape/sed" "source-reshape-$r" "source-sed-$r"
  row "source pass $r rules: reshape/floor" "source-reshape-$r" "source-floor-$r"
done
FIRST_RULES=${RULES%% *}
if [ -f "$WORK/times/source-reshape-1" ]; then
  row "source pass 1 rule behind 999 idle / 1 rule" source-reshape-idle source-reshape-1
  row "form pass 1 rule behind 999 idle / 1 rule" form-reshape-idle form-reshape-1
fi
row "source pass $LAST_RULES rules / $FIRST_RULES rule" "source-reshape-$LAST_RULES" \
  "source-reshape-$FIRST_RULES"
row "unit pass: reshape/sed" unit-reshape unit-sed
row "unit pass: reshape/floor" unit-reshape unit-floor
row "whole unit pass (${#UNIT_ALL_FILES[@]} files): reshape/sed" unit-all-reshape unit-all-sed
row "project pass: reshape/sed" project-reshape project-sed
row "project pass: reshape/floor" project-reshape project-floor
for r in $RULES; do
  row "form pass $r rules: reshape/floor" "form-reshape-$r" form-floor
done
row "whole run with every rule kind: --atomic/plain" whole-run-atomic whole-run
row "whole run with every rule kind: -n/plain" whole-run-dry whole-run
echo "  --atomic/plain of each round (cpu): $(round_ratios whole-run-atomic whole-run)"
echo "  -n/plain of each round (cpu): $(round_ratios whole-run-dry whole-run)"
limit=$((8 * 1024 + 9 * largest_file / 2 / 1024))
echo "  peak memory of the whole run: $(field whole-run 3) KB;" \
  "limit 8 MB + 4.5 x largest file ($largest_file bytes) = $limit KB"
baseline_rows
