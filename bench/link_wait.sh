#!/usr/bin/env bash
# The windows while the program waits for a silent instrument: the real program (bench/link_wait,
# its start-up and event loop with a measuring driver inside) under xvfb-run, real clicks by
# xdotool, against tevran-sim on COM1 that never answers. Polls every 0.1 s, each timing out.
#
#   bench/link_wait.sh [-b BUILD_DIR]     (default build-bench; needs xvfb, xdotool)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build-bench
while getopts "b:h" opt; do
  case $opt in
    b) build=$OPTARG ;;
    *) sed -n '2,7p' "$0"; exit 2 ;;
  esac
done
bin=$(cd "$build/bin" && pwd)
. "$here/../scripts/lib/requirements.sh"
need_built "$bin" "build with -DTEVRAN_BENCH=ON first" link_wait tevran-sim TEVRAN.uir
need_commands xvfb-run xdotool

work=$(mktemp -d)
simpid=
trap '[ -n "$simpid" ] && kill "$simpid" 2>/dev/null; rm -rf "$work"' EXIT
cp "$bin/TEVRAN.uir" "$work/"
# Port 1, polls every 0.1 s.
printf ' 1 0.100000 0 1 0.000000 10.000000 0.000000 10.000000 0 0 Kv_2016\r\n' > "$work/TEVRAN.ini"
. "$here/../scripts/lib/simulator.sh"
start_sim "$bin" "$work" --delay 100000

QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24" "$bin/link_wait" "$work"
