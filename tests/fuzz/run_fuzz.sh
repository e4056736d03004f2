#!/usr/bin/env bash
# Runs every fuzz target (or those named) for a fixed time each, on a corpus that grows between
# runs, and prints per target the executions, the corpus size and the findings.
#
#   tests/fuzz/run_fuzz.sh [-t SECONDS] [-b BUILD_DIR] [-c CORPUS_DIR] [TARGET...]
#
#   -t  seconds per target (default 60)
#   -b  the fuzz build (default build-fuzz beside this repository's sources), configured with
#         CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTEVRAN_FUZZ=ON \
#           -DBUILD_TESTING=OFF -DTEVRAN_BUILD_GUI=OFF
#   -c  corpus root (default BUILD_DIR/fuzz-corpus); CORPUS_DIR/TARGET starts from the seeds of
#       tests/fuzz/seeds/TARGET
# Targets: measurement_reply parameter_reply settings_file viewer_lines format_language.
# A finding is written to BUILD_DIR/fuzz-findings/TARGET/ (crash-*, leak-*, timeout-*); copy it to
# tests/fuzz/regressions/TARGET/ once the fault is mended, so the replay test keeps it.
# Exit status: 0 without findings, 1 with findings, 2 on a usage error.
set -u
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
seconds=60
build=$src/build-fuzz
corpus=
while getopts "t:b:c:h" opt; do
  case $opt in
    t) seconds=$OPTARG ;;
    b) build=$(cd "$OPTARG" && pwd) ;;
    c) corpus=$OPTARG ;;
    *) sed -n '2,18p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
corpus=${corpus:-$build/fuzz-corpus}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(measurement_reply parameter_reply settings_file viewer_lines format_language)

max_len() {
  case $1 in
    measurement_reply | parameter_reply) echo 64 ;;
    format_language) echo 512 ;;
    *) echo 4096 ;;
  esac
}

found_any=0
printf '%-18s %12s %10s %8s %9s\n' target executions "exec/s" corpus findings
for t in "${targets[@]}"; do
  bin=$build/bin/fuzz_$t
  if [ ! -x "$bin" ]; then echo "no $bin (build with -DTEVRAN_FUZZ=ON)"; exit 2; fi
  mkdir -p "$corpus/$t" "$build/fuzz-findings/$t"
  log=$build/fuzz-findings/$t.log
  before=$(find "$build/fuzz-findings/$t" -type f | wc -l)
  "$bin" -max_total_time="$seconds" -max_len="$(max_len "$t")" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz-findings/$t/" "$corpus/$t" "$here/seeds/$t" > "$log" 2>&1
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  size=$(find "$corpus/$t" -type f | wc -l)
  after=$(find "$build/fuzz-findings/$t" -type f | wc -l)
  new=$((after - before))
  printf '%-18s %12s %10s %8s %9s\n' "$t" "${execs:-?}" "${rate:-?}" "$size" "$new"
  if [ "$new" -gt 0 ]; then
    found_any=1
    grep -m 3 -E 'ERROR: |runtime error|property does not hold' "$log" | sed 's/^/    /'
    find "$build/fuzz-findings/$t" -type f -newer "$bin" | sed 's/^/    kept: /'
  fi
done
exit $found_any
