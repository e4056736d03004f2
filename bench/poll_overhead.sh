#!/usr/bin/env bash
# The cost of the program around each poll: tevran-script records N polls at the interval
# 0.01 s (ticks on the driver's virtual clock, back to back) against tevran-sim on a
# pseudo-terminal, and poll_bare makes the same number of bare "u6" exchanges on the same kind
# of pty. Prints both rates, their ratio (program / bare; the goal is at least 0.5), the CPU
# time per poll of each, and the program's peak RSS after a short, a middle and the full run
# (the goal is growth within 1 MiB from the short to the full run).
#
# On a shared machine the rates swing with the load: each measurement is taken RUNS times,
# alternating program and bare loop, and the best of each counts.
#
#   bench/poll_overhead.sh [-n POLLS] [-s SHORT_POLLS] [-r RUNS] [-b BUILD_DIR]
#
#   -n  polls of the full run (default 100000); -n 5000 gives a quick run
#   -s  polls of the short run (default 1000)
#   -r  runs of each measurement (default 3)
#   -b  build configured with -DTEVRAN_BENCH=ON (default build-bench)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
polls=100000
short=1000
runs=3
build=$here/../build-bench
while getopts "n:s:r:b:h" opt; do
  case $opt in
    n) polls=$OPTARG ;;
    s) short=$OPTARG ;;
    r) runs=$OPTARG ;;
    b) build=$OPTARG ;;
    *) sed -n '2,18p' "$0"; exit 2 ;;
  esac
done
bin=$(cd "$build/bin" && pwd)
for p in tevran-sim tevran-script poll_bare; do
  [ -x "$bin/$p" ] || { echo "no $bin/$p (configure with -DTEVRAN_BENCH=ON and build)"; exit 2; }
done
work=$(mktemp -d)
simpid=
trap '[ -n "$simpid" ] && kill "$simpid" 2>/dev/null; rm -rf "$work"' EXIT

. "$here/../scripts/lib/simulator.sh"

now() { date +%s.%N; }

# Runs the program for $1 polls; sets secs, cpu (user + system seconds), rss_kib, failed.
run_program() {
  local n=$1
  cat > "$work/polls.tev" <<TEV
start
set MAIN_INTERVAL 0.01
commit MAIN_INTERVAL
answer file 2 $work/rec.dat
answer comment "poll overhead"
commit MAIN_RUN
tick $n every 0.01
commit MAIN_STOP
close p1
TEV
  start_sim "$bin" "$work" || exit 1
  local t0 t1
  t0=$(now)
  (cd "$work" && /usr/bin/time -f '%U %S %M' -o "$work/time.txt" \
    "$bin/tevran-script" --dir "$work" "$work/polls.tev" > "$work/out.txt" 2> "$work/err.txt") ||
    { echo "tevran-script failed:"; cat "$work/out.txt" "$work/err.txt"; exit 1; }
  t1=$(now)
  stop_sim
  secs=$(echo "$t1 - $t0" | bc -l)
  read -r user sys rss_kib < <(tail -n 1 "$work/time.txt")
  cpu=$(echo "$user + $sys" | bc -l)
  local lines
  lines=$(awk 'NR > 6' "$work/rec.dat" | wc -l)
  [ "$lines" -eq "$n" ] || { echo "the recording holds $lines lines, not $n"; exit 1; }
  # A failed poll records a line of zeros.
  failed=$(awk -F'\t' 'NR > 6 && $2 + 0 == 0 && $3 + 0 == 0' "$work/rec.dat" | wc -l)
}

max() { awk -v a="$1" -v b="$2" 'BEGIN { print (a > b ? a : b) }'; }
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b ? a : b) }'; }

# Peak RSS: a short run, the end of the first 100 s of the run (where the x range of the chart
# starts to move at this interval), and the full run.
middle=$(( polls < 10000 ? polls : 10000 ))
run_program "$short"
short_secs=$secs short_rss=$rss_kib short_cpu=$cpu
run_program "$middle"
middle_rss=$rss_kib

best_program=0 best_bare=0 program_cpu=1000000 bare_cpu=1000000 full_failed=0 bare_timeouts=0
for r in $(seq 1 "$runs"); do
  run_program "$polls"
  full_rss=$rss_kib
  full_failed=$(( full_failed + failed ))
  # The rate of the polls themselves: the short run's start-up and shutdown cancel out.
  best_program=$(max "$best_program" "$(echo "($polls - $short) / ($secs - $short_secs)" | bc -l)")
  program_cpu=$(min "$program_cpu" "$(echo "($cpu - $short_cpu) / ($polls - $short)" | bc -l)")

  start_sim "$bin" "$work" || exit 1
  /usr/bin/time -f '%U %S' -o "$work/bare_time.txt" \
    "$bin/poll_bare" "$work/COM1" "$polls" > "$work/bare.txt"
  stop_sim
  bare_secs=$(sed -n 's/.* in \([0-9.]*\) s.*/\1/p' "$work/bare.txt")
  bare_timeouts=$(( bare_timeouts + $(sed -n 's/.*, \([0-9]*\) time-outs.*/\1/p' "$work/bare.txt") ))
  best_bare=$(max "$best_bare" "$(echo "$polls / $bare_secs" | bc -l)")
  read -r user sys < <(tail -n 1 "$work/bare_time.txt")
  bare_cpu=$(min "$bare_cpu" "$(echo "($user + $sys) / $polls" | bc -l)")
done

printf 'program: %.0f polls/s (best of %d runs of %d polls; %d failed polls), CPU %.1f us/poll\n' \
  "$best_program" "$runs" "$polls" "$full_failed" "$(echo "$program_cpu * 1000000" | bc -l)"
printf 'bare:    %.0f polls/s (best of %d runs of %d polls; %d time-outs), CPU %.1f us/poll\n' \
  "$best_bare" "$runs" "$polls" "$bare_timeouts" "$(echo "$bare_cpu * 1000000" | bc -l)"
printf 'ratio program/bare: %.2f (goal >= 0.5)\n' "$(echo "$best_program / $best_bare" | bc -l)"
printf 'peak RSS: %.1f MiB after %d polls, %.1f MiB after %d, %.1f MiB after %d: growth %.2f MiB (goal <= 1)\n' \
  "$(echo "$short_rss / 1024" | bc -l)" "$short" "$(echo "$middle_rss / 1024" | bc -l)" "$middle" \
  "$(echo "$full_rss / 1024" | bc -l)" "$polls" "$(echo "($full_rss - $short_rss) / 1024" | bc -l)"
