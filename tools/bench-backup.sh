#!/bin/bash
# Time of a backup and of a restore under Wine, without the menu flows' fixed pauses and
# message boxes, for data sets of 25 and 5,000 entries.
# usage: tools/bench-backup.sh WIN_BUILD_DIR [RUNS]    (RUNS: timed runs per size, default 9)
# Builds nothing: WIN_BUILD_DIR must hold backup_bench_win.exe (target backup_bench_win).
# Its source: bench/backup_bench_win.cpp.
# No window is shown; the Wine prefix is made when missing (tools/env.sh).
set -eu
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
[ $# = 1 ] || [ $# = 2 ] || { echo "usage: $0 WIN_BUILD_DIR [RUNS]" >&2; exit 2; }
build=$(cd "$1" && pwd)
runs=${2:-9}
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "RUNS must be a whole number above 0" >&2; exit 2; }
exe="$build/backup_bench_win.exe"
[ -f "$exe" ] || { echo "$exe is missing: build the target backup_bench_win first" >&2; exit 1; }
[ -f "$WINEPREFIX/system.reg" ] || "$HARIKO_ROOT/tools/setup-prefix.sh"
"$HARIKO_ROOT/tools/wine-run.sh" "$exe" "$runs"
