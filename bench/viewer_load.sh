#!/usr/bin/env bash
# The stored-file viewer's load of a 1 GiB data file against `wc -l` over the same file.
#
#   bench/viewer_load.sh [BUILD_DIR] [BYTES]
#
# BUILD_DIR is configured with -DTEVRAN_BENCH=ON (default: build-bench beside this script's
# folder; configured and built when missing). The file (default 1 GiB, about 30 million lines)
# goes to $TMPDIR or /tmp and is deleted afterwards. Both programs read it from the page cache,
# each best of five (RUNS). Target: load (with the band of every line) <= 1.5 x wc -l; then
# zooms into it, each read again from the file: <= 0.1 s each. Last, the whole-recording window's
# looks at a recording at 0.01 s (300 lines more every 3 s) as its file grows.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${1:-$root/build-bench}
bytes=${2:-1073741824}
tmp=${TMPDIR:-/tmp}

if [ ! -x "$build/bin/viewer_load" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEVRAN_BENCH=ON >/dev/null
  cmake --build "$build" --target viewer_load >/dev/null
fi

need_kib=$((bytes / 1024 + 65536))
avail_kib=$(df -Pk "$tmp" | awk 'NR == 2 { print $4 }')
df -h "$tmp" | sed 's/^/# /'
if [ "$avail_kib" -lt "$need_kib" ]; then
  echo "not enough free space in $tmp: need $need_kib KiB, have $avail_kib KiB" >&2
  exit 1
fi

file=$(mktemp "$tmp/tevran-viewer-XXXXXX.dat")
follow=$(mktemp "$tmp/tevran-follow-XXXXXX.dat")
trap 'rm -f "$file" "$follow"' EXIT
"$build/bin/viewer_load" --make "$file" "$bytes" >/dev/null
size=$(stat -c %s "$file")
lines=$(wc -l < "$file")
cat "$file" > /dev/null  # into the page cache

# Best wall time of each, in seconds, the two measured in turn so that both see the same load
# of the machine: `wc -l` as a process, the viewer's load inside its process (start-up apart).
runs=${RUNS:-5}
wc_us=
load_us=
for _ in $(seq "$runs"); do
  s=$(date +%s%N)
  wc -l "$file" > /dev/null
  e=$(date +%s%N)
  t=$(( (e - s) / 1000 ))
  if [ -z "$wc_us" ] || [ "$t" -lt "$wc_us" ]; then wc_us=$t; fi
  out=$("$build/bin/viewer_load" "$file" 1 2>/dev/null)
  t=$(sed -n 's/^load_us //p' <<<"$out")
  if [ -z "$load_us" ] || [ "$t" -lt "$load_us" ]; then
    load_us=$t
    load_cpu_us=$(sed -n 's/^load_cpu_us //p' <<<"$out")
  fi
done
points=$(sed -n 's/^points //p' <<<"$out")
rss_before=$(sed -n 's/^rss_before_load_kib //p' <<<"$out")
rss_peak=$(sed -n 's/^peak_rss_kib //p' <<<"$out")
wc_rss=$(/usr/bin/time -f %M wc -l "$file" 2>&1 >/dev/null | tail -n 1)
s=$(date +%s%N)
"$build/bin/viewer_load" "$file" 1 > /dev/null 2>&1
e=$(date +%s%N)
process_us=$(( (e - s) / 1000 ))
sec() { awk -v us="$1" 'BEGIN { printf "%.3f", us / 1e6 }'; }
wc_s=$(sec "$wc_us")
load_s=$(sec "$load_us")
process_s=$(sec "$process_us")

echo "file           $size bytes, $lines lines"
echo "wc -l          $wc_s s   (peak RSS $wc_rss KiB)"
echo "viewer load    $load_s s   ($points points; whole process with start-up: $process_s s; CPU of its threads in that load: $(sec "$load_cpu_us") s)"
awk -v l="$load_us" -v w="$wc_us" 'BEGIN { r = l / w; printf "ratio          %.2f  (target <= 1.5: %s)\n", r, r <= 1.5 ? "met" : "MISSED" }'
echo "zooms          $(sed -n 's/^zooms //p' <<<"$out") read again: mean $(sec "$(sed -n 's/^zoom_mean_us //p' <<<"$out")") s, slowest $(sec "$(sed -n 's/^zoom_max_us //p' <<<"$out")") s (target <= 0.1 s); Home $(sec "$(sed -n 's/^home_us //p' <<<"$out")") s"
echo "peak RSS       $rss_peak KiB  (before the load: $rss_before KiB, after it: $(sed -n 's/^rss_after_load_kib //p' <<<"$out") KiB)"
"$build/bin/viewer_load" --follow "$follow" |
  awk '/^follow_lines/ { printf "whole-recording window, a look at %6d lines: mean %.1f ms, slowest %.1f ms (%.2f %% of a core)\n", $2, $4 / 1000, $6 / 1000, $8 * 100 }'
