#!/bin/bash
# ｴﾝﾄﾘを探す under Wine: Ctrl+Alt+F to the box, and each keystroke over 15,000 entries.
# usage: tools/bench-search.sh WIN_BUILD_DIR [RUNS]    (RUNS: whole runs of the bench, default 1)
# Builds nothing: WIN_BUILD_DIR must hold search_bench_win.exe (target search_bench_win).
set -eu
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
. "$HARIKO_ROOT/tools/bench-lib.sh"
bench_args 1 search_bench_win.exe "$@"

bench_display
for i in $(seq "$runs"); do
  echo "== run $i"
  "$HARIKO_ROOT/tools/wine-run.sh" "$exe" | sed 's/\r$//'
done
