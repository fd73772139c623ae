#!/bin/bash
# Ctrl+Alt+1 (ﾎｯﾄｷｰを使う) under Wine: from the release of Ctrl and Alt to the text in notepad.
# usage: tools/bench-hotkey.sh WIN_BUILD_DIR [RUNS]    (RUNS: whole runs of the bench, default 1)
# Builds nothing: WIN_BUILD_DIR must hold hotkey_bench_win.exe (target hotkey_bench_win).
set -eu
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
. "$HARIKO_ROOT/tools/bench-lib.sh"
bench_args 1 hotkey_bench_win.exe "$@"

bench_display
for i in $(seq "$runs"); do
  echo "== run $i"
  "$HARIKO_ROOT/tools/wine-run.sh" "$exe" | sed 's/\r$//'
done
