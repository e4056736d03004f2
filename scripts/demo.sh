#!/usr/bin/env bash
# Starts the simulated instrument on COM1 in the program's directory, then the program; stops the
# simulator when the program ends.
set -eu
. "$(dirname "$0")/lib/simulator.sh"
bin=$(cd "${1:-build/bin}" && pwd)
simpid=
trap stop_sim EXIT
start_sim "$bin" "$bin" --line-speed
status=0
"$bin/tevran" || status=$?
exit $status
