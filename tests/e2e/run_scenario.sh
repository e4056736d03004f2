#!/usr/bin/env bash
# Runs one scenario: tevran-script against tevran-sim on a real pseudo-terminal.
#
#   run_scenario.sh BIN_DIR SCENARIO.tev
#
# Lines of the scenario starting with "#sim " give the simulator's options (the link is added);
# "#nosim" runs without a simulator; "#file NAME" lines give files to create in the program's
# directory from SCENARIO.files/NAME before the run. Expected results beside the scenario:
#   NAME.out      the driver's standard output (exact)
#   NAME.status   its exit status (default 0)
#   NAME.stderr   lines that must each appear in its standard error
#   NAME.expect/  files that must exist in the program's directory afterwards, byte for byte
#                 (sim.log is the simulator's log of what the program sent)
# A scenario's `shell` commands run in the program's directory with SIM_BIN (the build's bin
# directory), SIM_LIB (scripts/lib/simulator.sh) and E2E_DIR (this directory); the running
# simulator's process id is in sim.pid, and a simulator a command starts writes its own there.
set -u
. "$(dirname "$0")/../../scripts/lib/simulator.sh"
bin=$1
scenario=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
name=${scenario%.tev}
work=$(mktemp -d)
trap 'kill $simpid $(cat "$work/sim.pid" 2>/dev/null) 2>/dev/null; wait $simpid 2>/dev/null; rm -rf "$work"' EXIT
simpid=
cd "$work" || exit 1

if [ -d "$name.files" ]; then cp -r "$name.files/." "$work/"; fi

if ! grep -q '^#nosim' "$scenario"; then
  simargs=$(sed -n 's/^#sim //p' "$scenario" | head -n 1)
  eval "set -- $simargs"
  start_sim "$bin" "$work" --log "$work/sim.log" "$@" || exit 1
  echo "$simpid" > "$work/sim.pid"
fi

export SIM_BIN=$bin SIM_LIB=$(cd "$(dirname "$0")/../../scripts/lib" && pwd)/simulator.sh
export E2E_DIR=$(cd "$(dirname "$0")" && pwd)
"$bin/tevran-script" --dir "$work" "$scenario" > "$work/out.txt" 2> "$work/err.txt"
status=$?
fail=0
want_status=0
[ -f "$name.status" ] && want_status=$(cat "$name.status")
if [ "$status" != "$want_status" ]; then
  echo "exit status $status, expected $want_status"; fail=1
fi
if [ -f "$name.out" ] && ! diff -u "$name.out" "$work/out.txt"; then fail=1; fi
if [ -f "$name.stderr" ]; then
  while IFS= read -r want; do
    grep -qF -- "$want" "$work/err.txt" || { echo "stderr lacks: $want"; fail=1; }
  done < "$name.stderr"
fi
if [ -d "$name.expect" ]; then
  for f in "$name.expect"/*; do
    base=$(basename "$f")
    if ! cmp -s "$f" "$work/$base"; then
      echo "file $base differs:"; od -c "$work/$base" 2>&1 | head -n 40; fail=1
    fi
  done
fi
if [ $fail -ne 0 ]; then
  echo "--- stdout"; cat "$work/out.txt"; echo "--- stderr"; cat "$work/err.txt"
fi
exit $fail
