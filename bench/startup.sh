#!/usr/bin/env bash
# Start-up time of the real program: from launch to the main window shown, under xvfb-run (an X
# server without a window manager), against tevran-sim on COM1. The program and TEVRAN.uir are
# copied into a scratch directory, which becomes the program's directory. The window is looked
# for with xdotool about every 10 ms; the goal is below 0.5 s.
#
#   bench/startup.sh [-r RUNS] [-b BUILD_DIR]     (defaults: 5 runs, build-bench)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
runs=5
build=$here/../build-bench
while getopts "r:b:h" opt; do
  case $opt in
    r) runs=$OPTARG ;;
    b) build=$OPTARG ;;
    *) sed -n '2,8p' "$0"; exit 2 ;;
  esac
done
bin=$(cd "$build/bin" && pwd)
. "$here/../scripts/lib/requirements.sh"
need_built "$bin" "build first" tevran tevran-sim TEVRAN.uir
need_commands xvfb-run xdotool

work=$(mktemp -d)
simpid=
trap '[ -n "$simpid" ] && kill "$simpid" 2>/dev/null; rm -rf "$work"' EXIT
cp "$bin/tevran" "$bin/TEVRAN.uir" "$work/"
. "$here/../scripts/lib/simulator.sh"
start_sim "$bin" "$work"

# One X server for all runs; each run launches the program, waits for its main window, and
# ends it. The first run also pays for cold caches.
cat > "$work/runs.sh" <<'INNER'
set -u
work=$1 runs=$2
for r in $(seq 1 "$runs"); do
  t0=$(date +%s%N)
  "$work/tevran" > "$work/prog.out" 2> "$work/prog.err" &
  pid=$!
  shown=0
  while [ $(( $(date +%s%N) - t0 )) -lt 10000000000 ]; do
    if xdotool search --onlyvisible --name '^TEVRAN - oxygen measurement' > /dev/null 2>&1; then
      shown=1
      break
    fi
    kill -0 "$pid" 2> /dev/null || break
    sleep 0.005  # a breath for the X server between the searches' connections
  done
  t1=$(date +%s%N)
  kill "$pid" 2> /dev/null; wait "$pid" 2> /dev/null
  if [ $shown -eq 1 ]; then
    echo "run $r: $(( (t1 - t0) / 1000000 )) ms"
  else
    echo "run $r: the main window did not appear"; cat "$work/prog.err"
  fi
  sleep 0.3
done
INNER
# A display number of its own: other X servers of the machine start at 99.
xvfb-run -a -n 173 -s "-screen 0 1280x1024x24" bash "$work/runs.sh" "$work" "$runs" | tee "$work/result.txt"
times=$(awk '/ ms$/ { print $3 }' "$work/result.txt" | sort -n)
n=$(echo "$times" | grep -c . || true)
[ "$n" -gt 0 ] || { echo "no run showed the main window"; exit 1; }
printf 'start-up to main window: best %d ms, median %d ms, worst %d ms over %d runs (goal < 500 ms)\n' \
  "$(echo "$times" | head -n 1)" "$(echo "$times" | sed -n "$(( (n + 1) / 2 ))p")" \
  "$(echo "$times" | tail -n 1)" "$n"
