#!/usr/bin/env bash
# Starts the simulated instrument on COM1 in the program's directory, then the program; stops the
# simulator when the program ends.
set -eu
bin=$(cd "${1:-build/bin}" && pwd)
"$bin/tevran-sim" --link "$bin/COM1" --line-speed > "$bin/.sim-ready" &
sim=$!
trap 'kill $sim 2>/dev/null || true; wait $sim 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
  grep -q '^ready' "$bin/.sim-ready" 2>/dev/null && break
  sleep 0.05
done
status=0
"$bin/tevran" || status=$?
exit $status
