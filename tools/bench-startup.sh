#!/bin/bash
# Start-up time of ハリコ.exe against Wine's notepad.exe, both started by the same probe
# (CreateProcess, then polling for the visible main window with its controls), several runs
# each, alternating; medians, their ratio and the peak working set of both.
# usage: tools/bench-startup.sh WIN_BUILD_DIR [RUNS]    (RUNS per program, default 7)
# Builds nothing: WIN_BUILD_DIR must hold ハリコ.exe and startup_probe_win.exe (targets hariko
# and startup_probe_win; the probe's source is bench/startup_probe_win.cpp). Needs a display
# and the Wine prefix (tools/env.sh); an Xvfb or prefix that is missing is made here, and an
# Xvfb made here is stopped again.
# The probe starts and closes each program once untimed first, so that the timed starts are
# ordinary later starts (settings "Type" present, no welcome box) and never a refused second one.
set -eu -o pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
[ $# = 1 ] || [ $# = 2 ] || { echo "usage: $0 WIN_BUILD_DIR [RUNS]" >&2; exit 2; }
build=$(cd "$1" && pwd)
runs=${2:-7}
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "RUNS must be a whole number above 0" >&2; exit 2; }
probe="$build/startup_probe_win.exe"
for f in "$build/ハリコ.exe" "$probe"; do
  [ -f "$f" ] || { echo "$f is missing: build the targets hariko and startup_probe_win first" >&2; exit 1; }
done

started_x=
if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
  "$HARIKO_ROOT/tools/xvfb.sh" start
  started_x=1
fi
finish() {
  if [ -n "$started_x" ]; then
    wineserver -k 2>/dev/null || true
    "$HARIKO_ROOT/tools/xvfb.sh" stop
  fi
}
trap finish EXIT
[ -f "$WINEPREFIX/system.reg" ] || "$HARIKO_ROOT/tools/setup-prefix.sh"

echo "== $("$WINE64" --version 2>/dev/null), DISPLAY=$DISPLAY, load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== startup_probe_win.exe under Wine: $runs timed starts of each program"
rc=0
"$HARIKO_ROOT/tools/wine-run.sh" "$probe" "$runs" | tr -d '\r' || rc=$?
echo "== load average afterwards: $(cut -d' ' -f1-3 /proc/loadavg)"
exit "$rc"
