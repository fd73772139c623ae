#!/bin/bash
# 差し込み: a text of 100 fields filled in, and the registry's eras read once.
# usage: tools/bench-fields.sh WIN_BUILD_DIR [RUNS]    (RUNS: whole runs of the bench, default 1)
# Builds nothing: WIN_BUILD_DIR must hold fields_bench_win.exe (target fields_bench_win).
# Needs a display and the Wine prefix (tools/env.sh); a missing Xvfb or prefix is made here,
# and an Xvfb made here is stopped again.
set -eu
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
. "$HARIKO_ROOT/tools/bench-lib.sh"
bench_args 1 fields_bench_win.exe "$@"

bench_display
for i in $(seq "$runs"); do
  echo "== run $i"
  "$HARIKO_ROOT/tools/wine-run.sh" "$exe" | sed 's/\r$//'
done
