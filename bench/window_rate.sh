#!/usr/bin/env bash
# The real program in its real window on a virtual X display, against tevran-sim, measuring
# without recording at a short interval with both axes scaled automatically: for each 10 s of
# the run, the program's CPU (cores) and its polls per second (requests the simulator received).
# Given a second build, runs it the same way right after the first and prints both side by
# side, with the machine's load before and after each run.
#
#   bench/window_rate.sh [-t SECONDS] [-i INTERVAL] [-p] BUILD_DIR [OTHER_BUILD_DIR]
#
#   -t  length of each run from its first poll (default 100)
#   -i  sampling interval in seconds (default 0.01)
#   -p  the pointer rests over the chart during the run (the values under it shown and following)
# Needs xvfb-run and xdotool. Each program runs from a temporary copy of its directory, with its
# own per-user settings, so no build's settings and no user's window geometry are touched. Every
# alarm is on, with limits no value reaches, so that the alarm check runs in full at each poll.
set -euo pipefail

seconds=100
interval=0.01
pointer=
while getopts "t:i:ph" opt; do
  case $opt in
    t) seconds=$OPTARG ;;
    i) interval=$OPTARG ;;
    p) pointer=-p ;;
    *) sed -n '2,15p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[ $# -ge 1 ] || { sed -n '2,15p' "$0"; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${TEVRAN_BENCH_INNER:-}" ]; then
  export TEVRAN_BENCH_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x900x24" "$0" -t "$seconds" -i "$interval" $pointer "$@"
fi

. "$here/../scripts/lib/simulator.sh"
work=$(mktemp -d /tmp/tevran-window-rate-XXXXXX)
simpid=""
prog=""
cleanup() {
  [ -n "$prog" ] && kill "$prog" 2>/dev/null || true
  stop_sim
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
ticks=$(getconf CLK_TCK)
load() { cut -d' ' -f1-3 /proc/loadavg; }

# Runs the program of build $1 into $work/$2.txt: one line "CPU_CORES POLLS_PER_S" per 10 s.
measure() {
  local bin dir
  bin=$(cd "$1/bin" && pwd)
  dir="$work/$2"
  mkdir -p "$dir"
  cp "$bin/tevran" "$bin/TEVRAN.uir" "$dir/"
  printf ' 1 %f 0 1 0.000000 10.000000 0.000000 10.000000 1 1 Kv_2016\r\n' "$interval" \
    > "$dir/TEVRAN.ini"
  mkdir -p "$dir/config/tevran"
  {
    echo "[alarms]"
    for q in vz tz po2 ie; do
      printf '%s_low=-1e12\n%s_low_on=1\n%s_high=1e12\n%s_high_on=1\n' $q $q $q $q
    done
    echo "silent_s=3600"
  } > "$dir/config/tevran/tevran.conf"
  # The same in the settings directory, for a build that keeps tevran.conf there.
  cp "$dir/config/tevran/tevran.conf" "$dir/tevran.conf"
  start_sim "$bin" "$dir" --seed 5 --log "$dir/requests.log"
  (cd "$dir" && XDG_CONFIG_HOME="$dir/config" QT_QPA_PLATFORM=xcb exec ./tevran 2> "$dir/tevran.err") &
  prog=$!
  local main
  main=$(xdotool search --sync --onlyvisible --name '^TEVRAN - oxygen measurement' | head -n 1)
  xdotool windowmove "$main" 0 0
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$main")"
  # Run (panel coordinates below the menu bar), then cancel the file dialog: a run without
  # recording.
  xdotool mousemove --window "$main" 869 $((120 + HEIGHT - 680)) click 1
  sleep 1.5
  xdotool key Escape
  local polls0=0
  for _ in $(seq 1 100); do
    polls0=$(stat -c %s "$dir/requests.log" 2>/dev/null || echo 0)
    [ "$polls0" -gt 0 ] && break
    sleep 0.05
  done
  [ "$polls0" -gt 0 ] || { echo "window_rate: $2 does not poll" >&2; cat "$dir/tevran.err" >&2; exit 1; }
  # The pointer in the middle of the chart, where it stays for the run.
  [ -n "$pointer" ] && xdotool mousemove --window "$main" 400 $((300 + (HEIGHT - 680) / 2))
  : > "$work/$2.txt"
  local cpu0 cpu1 req0 req1 t
  cpu0=$(awk '{ print $14 + $15 }' "/proc/$prog/stat")
  req0=$(stat -c %s "$dir/requests.log")
  for t in $(seq 10 10 "$seconds"); do
    sleep 10
    cpu1=$(awk '{ print $14 + $15 }' "/proc/$prog/stat")
    req1=$(stat -c %s "$dir/requests.log")
    # Each request is "u6" and a carriage return: 3 bytes.
    awk -v c="$((cpu1 - cpu0))" -v r="$((req1 - req0))" -v hz="$ticks" \
      'BEGIN { printf "%.2f %.1f\n", c / hz / 10, r / 3 / 10 }' >> "$work/$2.txt"
    cpu0=$cpu1 req0=$req1
  done
  kill "$prog" 2>/dev/null || true
  wait "$prog" 2>/dev/null || true
  prog=""
  stop_sim
}

names=("$1")
before[0]=$(load)
measure "$1" a
after[0]=$(load)
if [ $# -ge 2 ]; then
  names+=("$2")
  before[1]=$(load)
  measure "$2" b
  after[1]=$(load)
fi

echo "interval $interval s, no recording, automatic scaling, window under Xvfb${pointer:+, the pointer over the chart}"
for i in "${!names[@]}"; do
  echo "build $((i + 1)): ${names[$i]} (load average before ${before[$i]}, after ${after[$i]})"
done
if [ ${#names[@]} -eq 2 ]; then
  printf '%8s  %18s  %18s\n' "" "build 1" "build 2"
  printf '%8s  %8s %9s  %8s %9s\n' "window" "CPU" "polls/s" "CPU" "polls/s"
  paste -d' ' "$work/a.txt" "$work/b.txt" |
    awk '{ printf "%3d-%3d s  %8.2f %9.1f  %8.2f %9.1f\n", (NR - 1) * 10, NR * 10, $1, $2, $3, $4 }'
else
  printf '%8s  %8s %9s\n' "window" "CPU" "polls/s"
  awk '{ printf "%3d-%3d s  %8.2f %9.1f\n", (NR - 1) * 10, NR * 10, $1, $2 }' "$work/a.txt"
fi
