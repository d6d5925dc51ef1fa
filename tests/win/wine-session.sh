#!/bin/sh
# The Wine session the tests run in, in the prefix $WINEPREFIX.
#   wine-session.sh start WINE WINESERVER   makes the prefix on first use (~15 s), starts its wineserver and
#                                           system processes for the whole session
#   wine-session.sh stop WINESERVER         ends them, and whatever still runs in the prefix
# Everything the session keeps running gets /dev/null as its output: a Wine process started by a test would
# inherit that test's output, and ctest would wait for it to close.
set -eu
case "$1" in
start)
  wine=$2
  wineserver=$3
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # A fresh prefix stalls on its first COM call unless it is made and settled first.
    timeout 300 "$wine" wineboot -i </dev/null >/dev/null 2>&1
    timeout 120 "$wineserver" -w
  fi
  "$wineserver" -p </dev/null >/dev/null 2>&1 || true # already running: kept
  timeout 120 "$wine" cmd /c exit </dev/null >/dev/null 2>&1
  ;;
stop)
  wineserver=$2
  "$wineserver" -k || true
  timeout 60 "$wineserver" -w
  ;;
*)
  echo "usage: $0 start WINE WINESERVER | stop WINESERVER" >&2
  exit 2
  ;;
esac
