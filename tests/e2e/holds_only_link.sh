#!/usr/bin/env bash
# holds_only_link.sh PID ENTRY: fails when process PID holds a terminal device other than the one
# ENTRY (a COMn link) names now; while ENTRY names nothing, it may hold none. Its standard
# streams (0, 1, 2) are not counted.
pid=$1 entry=$2
want=$(readlink -e "$entry" 2>/dev/null)
status=0
for fd in /proc/"$pid"/fd/*; do
  n=${fd##*/}
  [ "$n" -le 2 ] && continue
  target=$(readlink "$fd" 2>/dev/null) || continue
  case $target in
    /dev/tty*|/dev/pts/*|/dev/serial/*)
      if [ "$target" != "$want" ]; then
        echo "process $pid holds $target (fd $n); $entry names ${want:-nothing}" >&2
        status=1
      fi ;;
  esac
done
exit $status
