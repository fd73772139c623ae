#!/bin/bash
# Cost of the sealed Private format under Wine: the key function (unlock time) and sealing,
# writing and opening 5,000 entries beyond it.
# usage: tools/bench-sealed.sh WIN_BUILD_DIR [RUNS]    (RUNS: default 5)
# Builds nothing: WIN_BUILD_DIR must hold sealed_bench_win.exe (target sealed_bench_win).
# Its source: bench/sealed_bench_win.cpp.
set -eu
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
. "$HARIKO_ROOT/tools/bench-lib.sh"
bench_args 5 sealed_bench_win.exe "$@"
[ -f "$WINEPREFIX/system.reg" ] || "$HARIKO_ROOT/tools/setup-prefix.sh"
echo "== load average: $(cut -d' ' -f1-3 /proc/loadavg)"
"$HARIKO_ROOT/tools/wine-run.sh" "$exe" "$runs"
