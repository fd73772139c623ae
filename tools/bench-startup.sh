#!/bin/bash
# Start-up time of ハリコ.exe against Wine's notepad.exe, both started by the same probe
# (CreateProcess, then polling until the first entry button, or notepad's edit box, is drawn
# on the screen), several runs each, alternating; medians, their ratio (with the older figure
# of a visible window with any child beside it) and the peak working set of both.
# Then the same with the marks build (marks/ハリコ.exe, target startup_marks) and the medians
# of its marks: where the start spends its time, from the process's creation to the first
# paint, and the windows and GDI objects it made.
# usage: tools/bench-startup.sh WIN_BUILD_DIR [RUNS]    (RUNS per program, default 11)
# Builds nothing: WIN_BUILD_DIR must hold ハリコ.exe, startup_probe_win.exe and marks/ハリコ.exe
# (targets hariko, startup_probe_win and startup_marks; sources in bench/). Needs a display
# and the Wine prefix (tools/env.sh); an Xvfb or prefix that is missing is made here, and an
# Xvfb made here is stopped again.
# The probe starts and closes each program once untimed first, so that the timed starts are
# ordinary later starts (settings "Type" present, no welcome box) and never a refused second one.
set -eu -o pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
. "$HARIKO_ROOT/tools/bench-lib.sh"
bench_args 11 startup_probe_win.exe "$@"
probe=$exe
marked="$build/marks/ハリコ.exe"
for f in "$build/ハリコ.exe" "$probe" "$marked"; do
  [ -f "$f" ] || { echo "$f is missing: build the targets hariko, startup_probe_win and startup_marks first" >&2; exit 1; }
done

bench_display
echo "== startup_probe_win.exe under Wine: $runs timed starts of each program"
rc=0
"$HARIKO_ROOT/tools/wine-run.sh" "$probe" "$runs" | tr -d '\r' || rc=$?
echo "== load average afterwards: $(cut -d' ' -f1-3 /proc/loadavg)"

echo
echo "== the marks build (marks/ハリコ.exe), $runs timed starts, load average: $(cut -d' ' -f1-3 /proc/loadavg)"
marks="$build/marks/startup-marks.txt"
rm -f "$marks"
"$HARIKO_ROOT/tools/wine-run.sh" "$probe" "$runs" "$marked" | tr -d '\r' | grep -E '^(ratio|ハリコ.exe,)' || rc=1
# The first line is the untimed warm-up start (a first start of the data folder, perhaps).
echo "== medians of $(($(wc -l <"$marks") - 1)) starts, ms from the process's creation (counts as they are)"
tail -n +2 "$marks" | awk '
  { line = $0
    while (match(line, /[^=]+=[0-9.]+/)) {
      pair = substr(line, RSTART, RLENGTH); line = substr(line, RSTART + RLENGTH)
      sub(/^ +/, "", pair); k = pair; sub(/=.*/, "", k); v = pair; sub(/.*=/, "", v)
      if (!(k in n)) order[++keys] = k
      vals[k, ++n[k]] = v + 0
    } }
  END {
    for (i = 1; i <= keys; i++) {
      k = order[i]; m = n[k]
      for (a = 1; a <= m; a++) s[a] = vals[k, a]
      for (a = 2; a <= m; a++) for (b = a; b > 1 && s[b-1] > s[b]; b--) { t = s[b]; s[b] = s[b-1]; s[b-1] = t }
      med = m % 2 ? s[(m+1)/2] : (s[m/2] + s[m/2+1]) / 2
      printf "  %-28s %8.1f   (%d starts)\n", k, med, m
    } }'
echo "== load average afterwards: $(cut -d' ' -f1-3 /proc/loadavg)"
exit "$rc"
