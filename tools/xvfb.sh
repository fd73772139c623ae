#!/bin/bash
# start: runs Xvfb (no window manager) on $DISPLAY unless a server already answers there.
# stop:  ends the Xvfb this script started (by its pid file).
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
pidfile="$HARIKO_BUILD/xvfb${DISPLAY//:/-}.pid"
case "$1" in
  start)
    mkdir -p "$HARIKO_BUILD"
    if xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then exit 0; fi
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$HARIKO_BUILD/xvfb.log" 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 100); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && exit 0; sleep 0.1; done
    echo "Xvfb did not start on $DISPLAY:" >&2; tail -5 "$HARIKO_BUILD/xvfb.log" >&2; exit 1 ;;
  stop)
    if [ -f "$pidfile" ]; then kill "$(cat "$pidfile")" 2>/dev/null || true; rm -f "$pidfile"; fi ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
