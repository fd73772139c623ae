#!/bin/bash
# Entry editor figures under Wine: opening it from a click on 設定/編集 until row 1 is drawn on
# the screen (25, 1,000 and 5,000 entries) against notepad's start in the same run and against
# one panel reload plus one bare window, closing it with the save, and its child windows.
# The editor as first shown goes to editor-shot-<entries>.bmp in the current folder.
# usage: tools/bench-editor.sh WIN_BUILD_DIR [RUNS]    (RUNS: whole runs of the bench, default 3)
# Builds nothing: WIN_BUILD_DIR must hold editor_bench_win.exe (target editor_bench_win).
# Its source: bench/editor_bench_win.cpp.
# Needs a display and the Wine prefix (tools/env.sh); a missing Xvfb or prefix is made here,
# and an Xvfb made here is stopped again.
set -eu
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
. "$HARIKO_ROOT/tools/bench-lib.sh"
bench_args 3 editor_bench_win.exe "$@"

work=$(mktemp -d "$build/bench-editor.XXXXXX")
bench_cleanup() { rm -rf "$work"; }
bench_display
echo "== editor_bench_win.exe under Wine, $runs runs (times: best of 7 rounds within a run, or their median)"
for i in $(seq "$runs"); do
  out="$work/run$i.txt"
  rc=0
  "$HARIKO_ROOT/tools/wine-run.sh" "$exe" >"$out" 2>&1 || rc=$?
  sed -i 's/\r$//' "$out"
  [ "$rc" = 0 ] || { echo "run $i failed (exit code $rc):"; cat "$out"; exit 1; }
done
# Each line: a label, then one number and perhaps a unit. Per label: every run's value and the median.
awk '
  {
    k = 0
    for (i = NF; i >= 1; i--) if ($i ~ /^-?[0-9]+(\.[0-9]+)?$/) { k = i; break }
    if (k < 2) next
    label = $1; for (i = 2; i < k; i++) label = label " " $i
    if (!(label in seen)) { seen[label] = ++n; order[n] = label; unit[label] = (k < NF ? $NF : "") }
    vals[label] = vals[label] " " $k
  }
  END {
    printf "%-50s %-30s %10s  %s\n", "figure", "each run", "median", "unit"
    for (i = 1; i <= n; i++) {
      l = order[i]; m = split(substr(vals[l], 2), a, " ")
      for (x = 2; x <= m; x++) for (y = x; y > 1 && a[y - 1] + 0 > a[y] + 0; y--) { t = a[y]; a[y] = a[y - 1]; a[y - 1] = t }
      med = m % 2 ? a[(m + 1) / 2] : (a[m / 2] + a[m / 2 + 1]) / 2
      printf "%-50s %-30s %10.3f  %s\n", l, substr(vals[l], 2), med, unit[l]
    }
  }' "$work"/run*.txt
