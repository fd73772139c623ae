#!/bin/bash
# Time of a backup and of a restore under Wine, without the menu flows' fixed pauses and
# message boxes, for data sets of 25 and 5,000 entries.
# usage: tools/bench-backup.sh WIN_BUILD_DIR [RUNS]    (RUNS: timed runs per size, default 9)
# Builds nothing: WIN_BUILD_DIR must hold backup_bench_win.exe (target backup_bench_win).
# Its source: bench/backup_bench_win.cpp.
# No window is shown; the Wine prefix is made when missing (tools/env.sh).
set -eu
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
. "$HARIKO_ROOT/tools/bench-lib.sh"
bench_args 9 backup_bench_win.exe "$@"
[ -f "$WINEPREFIX/system.reg" ] || "$HARIKO_ROOT/tools/setup-prefix.sh"
"$HARIKO_ROOT/tools/wine-run.sh" "$exe" "$runs"
