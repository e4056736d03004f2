# What a benchmark needs before it starts, said in words when missing (exit status 2).
#   need_built BIN_DIR HINT FILE...   each FILE exists in BIN_DIR; HINT says how to build it
#   need_commands COMMAND...          each COMMAND is on the PATH (Debian: xvfb, xdotool)

need_built() {
  local bin=$1 hint=$2 f
  shift 2
  for f in "$@"; do
    [ -e "$bin/$f" ] || { echo "no $bin/$f ($hint)"; exit 2; }
  done
}

need_commands() {
  local p
  for p in "$@"; do
    command -v "$p" > /dev/null || { echo "needs $p (apt-get install xvfb xdotool)"; exit 2; }
  done
}
