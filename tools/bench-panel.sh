#!/bin/bash
# Panel figures under Wine: reload times for 25 and 5,000 entries (Public and Private), the
# switch to Private, paste overhead, window count and peak working set.
# usage: tools/bench-panel.sh WIN_BUILD_DIR [RUNS]    (RUNS: whole runs of the bench, default 3)
# Builds nothing: WIN_BUILD_DIR must hold panel_bench_win.exe (target panel_bench_win).
# Its source: bench/panel_bench_win.cpp.
# The bench starts the real panel, so it needs a display and the Wine prefix (tools/env.sh);
# an Xvfb or prefix that is missing is made here, and an Xvfb made here is stopped again.
set -eu
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
. "$HARIKO_ROOT/tools/bench-lib.sh"
bench_args 3 panel_bench_win.exe "$@"

work=$(mktemp -d "$build/bench-panel.XXXXXX")
bench_cleanup() { rm -rf "$work"; }
bench_display
echo "== panel_bench_win.exe under Wine, $runs runs (reloads: best of 20 rounds within a run;"
echo "   the switch to Private is a single measurement per run, so it is the noisiest figure)"
for i in $(seq "$runs"); do
  out="$work/run$(printf %03d "$i").txt"
  rc=0
  "$HARIKO_ROOT/tools/wine-run.sh" "$exe" >"$out" 2>&1 || rc=$?
  sed -i 's/\r$//' "$out"  # the exe writes CR LF
  [ "$rc" = 0 ] || { echo "run $i failed (exit code $rc):"; cat "$out"; exit 1; }
done

# Each line is: label, one number, unit. Across the runs: every value, then the median and best.
awk '
  function isnum(s) { return s ~ /^-?[0-9]+(\.[0-9]+)?$/ }
  {
    k = 0
    for (i = NF; i >= 1; i--) if (isnum($i)) { k = i; break }
    if (k < 2) next
    label = $1; for (i = 2; i < k; i++) label = label " " $i
    unit = ""; for (i = k + 1; i <= NF; i++) unit = unit (unit == "" ? "" : " ") $i
    sub(/ *\(best\)$/, "", unit)
    if (!(label in seen)) { seen[label] = ++n; order[n] = label; units[label] = unit }
    vals[label] = vals[label] " " $k
  }
  function median(s,   a, m, i, j, t) {
    m = split(s, a, " ")
    for (i = 2; i <= m; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    return m % 2 ? a[(m + 1) / 2] : (a[m / 2] + a[m / 2 + 1]) / 2
  }
  function best(s,   a, m, i, b) {
    m = split(s, a, " "); b = a[1]
    for (i = 2; i <= m; i++) if (a[i] + 0 < b + 0) b = a[i]
    return b
  }
  END {
    printf "%-46s %-28s %10s %10s  %s\n", "figure", "each run", "median", "best", "unit"
    for (i = 1; i <= n; i++) {
      l = order[i]; med[l] = median(vals[l])
      printf "%-46s %-28s %10.3f %10.3f  %s\n", l, substr(vals[l], 2), med[l], best(vals[l]), units[l]
    }
    pub25 = med["reload Public, 25 entries"]; pub5k = med["reload Public, 5000 entries"]
    priv5k = med["reload Private, 5000 entries"]
    print "== ratios of the medians"
    if (pub25 > 0 && pub5k > 0)
      printf "reload Public, 5000 / 25 entries:            %.2f\n", pub5k / pub25
    if (pub5k > 0 && priv5k > 0)
      printf "reload Private / Public, 5000 entries:       %.2f\n", priv5k / pub5k
    for (i = 1; i <= n; i++) {
      l = order[i]
      if ((l ~ /^USER objects/ || l ~ /^kernel handles/) && med[l] == 0) zero = zero (zero == "" ? "" : ", ") "\"" l "\""
    }
    if (zero != "") print "note: " zero " read 0: Wine does not count these; the figures mean something on Windows only"
  }' "$work"/run*.txt
grep -hvE '^[^ ].* -?[0-9]+(\.[0-9]+)?( [^0-9 ].*)?$' "$work"/run*.txt | sort -u | sed 's/^/other output: /' || true
