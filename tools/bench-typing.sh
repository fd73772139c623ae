#!/bin/bash
# Shift+click typing under Wine: 1,000 characters into notepad and into a plain edit box of
# another process, and notepad's own handling of the same characters without any input.
# usage: tools/bench-typing.sh WIN_BUILD_DIR [RUNS]    (RUNS: whole runs of the bench, default 1)
# Builds nothing: WIN_BUILD_DIR must hold typing_bench_win.exe (target typing_bench_win).
# Needs a display and the Wine prefix (tools/env.sh); a missing Xvfb or prefix is made here,
# and an Xvfb made here is stopped again.
set -eu
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
. "$HARIKO_ROOT/tools/bench-lib.sh"
bench_args 1 typing_bench_win.exe "$@"

bench_display
for i in $(seq "$runs"); do
  echo "== run $i"
  "$HARIKO_ROOT/tools/wine-run.sh" "$exe" | sed 's/\r$//'
done
