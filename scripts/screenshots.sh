#!/usr/bin/env bash
# Makes the screenshots under docs/ from the real program on a virtual X display, driven with
# xdotool like an operator: a live run against tevran-sim with the window filling a 1920x1080
# screen (as maximised) and a 1024x600 one, the stored file in the viewer, the
# controller-parameter panel, and the window filling a 1920x1080 screen with QT_SCALE_FACTOR=2.
#
#   scripts/screenshots.sh [BUILD_DIR]        (default: build; needs xvfb, xdotool, imagemagick)
#
# The program runs from a temporary copy of its directory, with per-user settings of its own, so
# build/bin keeps its settings and no remembered window geometry changes the pictures.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$repo/build}/bin" && pwd)
out="$repo/docs"

if [ -z "${TEVRAN_SHOTS_INNER:-}" ]; then
  export TEVRAN_SHOTS_INNER=1
  xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$bin/.."
  # Twice the size of everything on a 1920x1080 screen: 960x540 logical pixels.
  TEVRAN_SHOTS_INNER=scaled exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$bin/.."
fi

. "$repo/scripts/lib/simulator.sh"
work=$(mktemp -d /tmp/tevran-shots-XXXXXX)
simpid=""
prog=""
cleanup() {
  [ -n "$prog" ] && kill "$prog" 2>/dev/null || true
  [ -n "$simpid" ] && kill "$simpid" 2>/dev/null || true
  wait 2>/dev/null || true
  [ -n "${SHOTS_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

cp "$bin/tevran" "$bin/TEVRAN.uir" "$work/"
# Port 1, 0.2 s, Vz on the left and pO2 on the right, both axes scaled automatically.
printf ' 1 0.200000 0 2 -100.000000 0.000000 0.000000 100000.000000 1 1 Kv_2016\r\n' \
  > "$work/TEVRAN.ini"
start_sim "$bin" "$work" --seed 3 --params 1.5,20,0.25,650,0.8

cd "$work"  # the file dialogs start in the current directory
export XDG_CONFIG_HOME="$work/config"
if [ "$TEVRAN_SHOTS_INNER" = scaled ]; then
  QT_SCALE_FACTOR=2 QT_QPA_PLATFORM=xcb ./tevran 2> "$work/tevran.err" &
else
  QT_QPA_PLATFORM=xcb ./tevran 2> "$work/tevran.err" &
fi
prog=$!

window() {  # the id of the window whose title begins with $1, once it is shown
  xdotool search --sync --onlyvisible --name "^$1" | head -n 1
}
main=$(window "TEVRAN - oxygen measurement")
xdotool windowmove "$main" 0 0
sleep 1
shot() {  # window id, file
  import -window "$1" "$2"
  echo "wrote $2 ($(identify -format '%wx%h' "$2"))"
}
if [ "$TEVRAN_SHOTS_INNER" = scaled ]; then
  # Filling the screen, as maximised, with everything twice as large.
  xdotool windowsize "$main" 1920 1080
  sleep 2
  shot "$main" "$out/window-scale2.png"
  exit 0
fi

# Panel coordinates: the content starts below the menu bar.
eval "$(xdotool getwindowgeometry --shell "$main")"
menubar=$((HEIGHT - 680))
home_width=$WIDTH home_height=$HEIGHT
click() {  # click at panel coordinates $1 $2 of the main window
  xdotool mousemove --window "$main" "$1" $(($2 + menubar)) click 1
}
type_line() {  # types $1 into the focused dialog $2 and presses Enter
  xdotool windowfocus --sync "$2"
  xdotool type --delay 20 "$1"
  sleep 0.2
  xdotool key Return
}
modal() {  # the id of the dialog open now: the largest shown window other than the main window
  local id best area
  for _ in $(seq 1 100); do
    best="" area=0
    for id in $(xdotool search --onlyvisible --class tevran 2>/dev/null | grep -v "^$main\$"); do
      eval "$(xdotool getwindowgeometry --shell "$id")"
      # Completion lists and menus are small or narrow; dialogs are not.
      if [ "$HEIGHT" -ge 80 ] && [ $((WIDTH * HEIGHT)) -gt "$area" ]; then
        best=$id area=$((WIDTH * HEIGHT))
      fi
    done
    [ -n "${SHOTS_DEBUG:-}" ] && for id in $(xdotool search --onlyvisible --class tevran); do echo "  $1: $id '$(xdotool getwindowname $id)' $(xdotool getwindowgeometry $id | tr '\n' ' ')" >&2; done
    [ -n "$best" ] && { echo "$best"; return; }
    sleep 0.1
  done
  echo "screenshots: no dialog appeared ($1)" >&2
  exit 1
}
# Run: name a data file, give a comment, then measure for a minute.
click 869 120
dialog=$(modal "file dialog of Run")
type_line "$work/furnace3.dat" "$dialog"
sleep 1
dialog=$(modal "comment")
type_line "furnace 3, second run" "$dialog"
sleep 1
if xdotool search --onlyvisible --name '^Comment$' >/dev/null 2>&1; then
  echo "screenshots: the comment prompt did not close" >&2
  exit 1
fi
sleep "${SHOTS_MEASURE_SECONDS:-61}"
# A 1024x600 laptop screen, filled as maximised (no window manager, so no title bar).
xdotool windowsize "$main" 1024 600
sleep 2
shot "$main" "$out/window-1024x600.png"
# Maximised on a wide screen: without a window manager, the window is given the screen's size.
xdotool windowsize "$main" 1920 1080
sleep 2
shot "$main" "$out/main-window.png"
xdotool windowsize "$main" "$home_width" "$home_height"
sleep 1

# Stop, then show the file just recorded.
click 967 120
sleep 1
click 869 554
sleep 1
dialog=$(modal "file dialog of Open")
type_line "$work/furnace3.dat" "$dialog"
sleep 2
shot "$main" "$out/viewer.png"

# Instrument -> Controller parameters...: the panel reads the five values from the instrument.
xdotool windowfocus --sync "$main"
xdotool key --window "$main" alt+i
sleep 0.5
xdotool key c
params=$(window "Controller parameters")
sleep 2
shot "$params" "$out/parameters.png"
