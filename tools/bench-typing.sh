#!/bin/bash
# Shift+click typing under Wine: 1,000 characters into notepad and into a plain edit box of
# another process, and notepad's own handling of the same characters without any input.
# usage: tools/bench-typing.sh WIN_BUILD_DIR [RUNS]    (RUNS: whole runs of the bench, default 1)
# Builds nothing: WIN_BUILD_DIR must hold typing_bench_win.exe (target typing_bench_win).
# Needs a display and the Wine prefix (tools/env.sh); a missing Xvfb or prefix is made here,
# and an Xvfb made here is stopped again.
set -eu
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
[ $# = 1 ] || [ $# = 2 ] || { echo "usage: $0 WIN_BUILD_DIR [RUNS]" >&2; exit 2; }
build=$(cd "$1" && pwd)
runs=${2:-1}
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "RUNS must be a whole number above 0" >&2; exit 2; }
exe="$build/typing_bench_win.exe"
[ -f "$exe" ] || { echo "$exe is missing: build the target typing_bench_win first" >&2; exit 1; }

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
for i in $(seq "$runs"); do
  echo "== run $i"
  "$HARIKO_ROOT/tools/wine-run.sh" "$exe" | sed 's/\r$//'
done
