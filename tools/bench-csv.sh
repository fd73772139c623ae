#!/bin/bash
# Time of a CSV export and import (置き換え with its kept copy, 後ろに追加) under Wine, without the
# file dialogs, the preview and the boxes, for data sets of 25 and 5,000 entries.
# usage: tools/bench-csv.sh WIN_BUILD_DIR [RUNS]    (RUNS: timed runs per size, default 9)
# Builds nothing: WIN_BUILD_DIR must hold csv_bench_win.exe (target csv_bench_win).
# Its source: bench/csv_bench_win.cpp.
set -eu
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
. "$HARIKO_ROOT/tools/bench-lib.sh"
bench_args 9 csv_bench_win.exe "$@"
[ -f "$WINEPREFIX/system.reg" ] || "$HARIKO_ROOT/tools/setup-prefix.sh"
"$HARIKO_ROOT/tools/wine-run.sh" "$exe" "$runs"
