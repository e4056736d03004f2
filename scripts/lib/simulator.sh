# The simulated instrument for scripts that run the program or the scenario driver against it.
# Sourced, not run:  . scripts/lib/simulator.sh
#
#   start_sim BIN_DIR DIR [OPTION...]
#       Starts BIN_DIR/tevran-sim serving the link DIR/COM1 with the given options, its "ready"
#       line in DIR/sim.ready and its messages in DIR/sim.err, and sets simpid. Returns once the
#       simulator is ready; after 5 s without that, shows its messages and returns 1.
#   stop_sim
#       Ends the simulator start_sim started, if it still runs.

start_sim() {
  local bin=$1 dir=$2
  shift 2
  rm -f "$dir/sim.ready"
  "$bin/tevran-sim" --link "$dir/COM1" "$@" > "$dir/sim.ready" 2> "$dir/sim.err" &
  simpid=$!
  for _ in $(seq 1 100); do
    grep -q '^ready' "$dir/sim.ready" 2>/dev/null && return 0
    sleep 0.05
  done
  echo "simulator did not start" >&2
  cat "$dir/sim.err" >&2
  return 1
}

stop_sim() {
  if [ -n "${simpid:-}" ]; then
    kill "$simpid" 2>/dev/null || true
    wait "$simpid" 2>/dev/null || true
  fi
  simpid=
}
