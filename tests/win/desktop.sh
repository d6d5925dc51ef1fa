#!/bin/sh
# The X desktop the Windows tests run on: Xvfb and openbox, so that Wine's windows are real, managed windows.
#   desktop.sh start DIR          starts both on a free display, writes the display to DIR/display
#   desktop.sh stop DIR           stops them, by the process ids kept in DIR/pids
#   desktop.sh run DIR COMMAND... runs COMMAND on that display
# What it starts gets /dev/null as its output, so that ctest does not wait for it.
set -eu
dir=$2
case "$1" in
start)
  mkdir -p "$dir"
  : >"$dir/pids"
  for n in 80 81 82 83 84 85 86 87 88 89; do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset </dev/null >/dev/null 2>&1 &
    echo $! >>"$dir/pids"
    tries=0
    until [ -e "/tmp/.X11-unix/X$n" ] || [ $tries -ge 300 ]; do sleep 0.1; tries=$((tries + 1)); done
    if [ -e "/tmp/.X11-unix/X$n" ]; then
      echo ":$n" >"$dir/display"
      break
    fi
  done
  [ -s "$dir/display" ] || { echo "no display between :80 and :89 could be started" >&2; exit 1; }
  DISPLAY=$(cat "$dir/display")
  export DISPLAY
  openbox </dev/null >/dev/null 2>&1 &
  echo $! >>"$dir/pids"
  tries=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    tries=$((tries + 1))
    [ $tries -lt 300 ] || { echo "openbox did not start" >&2; exit 1; }
    sleep 0.1
  done
  ;;
stop)
  if [ -f "$dir/pids" ]; then
    for pid in $(cat "$dir/pids"); do kill "$pid" 2>/dev/null || true; done
  fi
  rm -f "$dir/pids" "$dir/display"
  ;;
run)
  shift 2
  DISPLAY=$(cat "$dir/display")
  export DISPLAY
  exec "$@"
  ;;
*)
  echo "usage: $0 start|stop|run DIR [COMMAND...]" >&2
  exit 2
  ;;
esac
