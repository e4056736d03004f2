#!/usr/bin/env bash
# Kills a recording with SIGKILL at random moments and checks what each run left on disk.
#
#   kill_recording.sh BIN_DIR [RUNS] [SEED]
#
# Each run drives a recording with tevran-script against tevran-sim (real waits between polls)
# and is killed 0 to 0.9 s after its start; the moments come from SEED, so a failure can be
# repeated. Afterwards the data file must hold the six header lines (or, when the kill came
# before the recording started, a whole-line part of them), then only whole data lines, line k
# carrying time k.0, one for every poll the driver reported complete and at most one more (the
# poll killed between its write and its report).
set -u
. "$(dirname "$0")/../../scripts/lib/simulator.sh"
bin=$1
runs=${2:-60}
seed=${3:-1}
export LC_ALL=C
work=$(mktemp -d)
simpid=
device=

# A run killed while Qt's serial port replaces a dead run's lock file leaves that lock and an
# empty LCK..<device>.rmlock behind; for the next 30 s every program is told the device is in
# use. The device is the simulator's and every run is over, so its lock files go with it.
clear_locks() {
  [ -n "$device" ] || return 0
  local name=${device#/dev/}
  name=${name//\//_}
  local d
  for d in /var/lock /etc/locks /var/spool/locks /var/spool/uucp /tmp /var/tmp /var/lock/lockdev /run/lock; do
    rm -f "$d/LCK..$name" "$d/LCK..$name.rmlock" 2>/dev/null
  done
}
trap 'clear_locks; [ -n "$simpid" ] && kill "$simpid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1

start_sim "$bin" "$work" --seed "$seed" || exit 1
device=$(readlink -f "$work/COM1")

# One scenario, DATAFILE replaced per run: far more polls than a run lives to make.
{
  echo 'date 08-12-2026 09:30:00'
  echo 'start'
  echo 'answer file 2 DATAFILE'
  echo 'answer comment "kill test"'
  echo 'commit MAIN_RUN'
  echo 'print state speichern'
  for _ in $(seq 1 2000); do
    echo 'tick every 1'
    echo 'print state mzeit'
    echo 'wait 0.004'
  done
} > template.tev

header() {
  printf 'File: %s\r\nComment: kill test\r\nDate: 08-12-2026\r\nTime: 09:30:00\r\nDataset\r\n' "$1"
  printf 'time[s]\tVz[mV]\tTz[\260C]\tpO2[ppm]\tIe[mA]\r\n'
}

# Prints what is wrong with one run's data file, nothing when it is sound.
check_run() {
  local data=$1 out=$2
  local recording completed
  recording=$(grep -c '^state speichern = 1$' "$out")
  completed=$(grep -c '^state mzeit = ' "$out")
  if [ ! -e "$data" ]; then
    [ "$recording" -eq 0 ] || echo "no data file, though the recording had started"
    return
  fi
  if [ -s "$data" ] && [ "$(tail -c 1 "$data" | od -An -c | tr -d ' ')" != '\n' ]; then
    echo "the file ends inside a line"
  fi
  header "$data" > "$data.header"
  local lines
  lines=$(wc -l < "$data")
  if [ "$lines" -lt 6 ]; then
    [ "$recording" -eq 0 ] || echo "only $lines header lines, though the recording had started"
    head -c "$(wc -c < "$data")" "$data.header" | cmp -s - "$data" ||
      echo "the header is not a whole-line part of the expected one"
    return
  fi
  head -n 6 "$data" | cmp -s - "$data.header" || echo "the header differs"
  tail -n +7 "$data" | awk -v completed="$completed" '
    {
      k = NR
      if ($0 !~ /^[0-9]+\.0\t-?[0-9]+\.[0-9]\t-?[0-9]+\.[0-9]\t[0-9]\.[0-9][0-9]e[-+][0-9]+\t[0-9]\.[0-9][0-9][0-9]e[-+][0-9]+\r$/) {
        printf "data line %d is not a whole data line: %s\n", k, $0; bad = 1; exit
      }
      split($0, f, "\t")
      if (f[1] != k ".0") { printf "data line %d has time %s\n", k, f[1]; bad = 1; exit }
    }
    END {
      if (bad) exit
      if (NR < completed) printf "%d data lines, but %d polls completed\n", NR, completed
      if (NR > completed + 1) printf "%d data lines, but only %d polls completed\n", NR, completed
    }'
}

RANDOM=$seed
failures=0
total_lines=0
early=0
start_time=$(date +%s.%N)
for i in $(seq 1 "$runs"); do
  sed "s/DATAFILE/run$i.dat/" template.tev > run$i.tev
  (exec "$bin/tevran-script" --dir "$work" run$i.tev > run$i.out 2> run$i.err) &
  pid=$!
  sleep "$(printf '0.%03d' $((RANDOM % 900)))"
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  problems=$(check_run "run$i.dat" "run$i.out")
  if [ -n "$problems" ]; then
    echo "run $i: $problems"
    echo "--- run$i.dat"; od -c "run$i.dat" 2>&1 | tail -n 12
    echo "--- run$i.err"; cat "run$i.err"
    failures=$((failures + 1))
  fi
  if [ -e "run$i.dat" ]; then
    total_lines=$((total_lines + $(wc -l < "run$i.dat")))
  else
    early=$((early + 1))
  fi
  rm -f "run$i.tev"
done
elapsed=$(awk -v a="$start_time" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
echo "$runs runs killed (seed $seed), $early before the file existed, $total_lines lines checked, $failures failed, ${elapsed} s"
[ "$failures" -eq 0 ]
