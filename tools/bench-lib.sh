# Sourced by tools/bench-*.sh: the arguments every bench takes and the display it runs on.
# bench_args DEFAULT_RUNS EXE "$@": sets build (WIN_BUILD_DIR made absolute), runs and exe,
# or stops with the usage.
bench_args() {
  local default_runs=$1 name=$2
  shift 2
  [ $# = 1 ] || [ $# = 2 ] || { echo "usage: $0 WIN_BUILD_DIR [RUNS]" >&2; exit 2; }
  build=$(cd "$1" && pwd)
  runs=${2:-$default_runs}
  [[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "RUNS must be a whole number above 0" >&2; exit 2; }
  exe="$build/$name"
  [ -f "$exe" ] || { echo "$exe is missing: build the target ${name%.exe} first" >&2; exit 1; }
}

# An Xvfb is started when there is no display, and stopped again at exit with the Wine server,
# after bench_cleanup (a function the bench may define); the prefix is made when missing.
bench_display() {
  bench_started_x=
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    "$HARIKO_ROOT/tools/xvfb.sh" start
    bench_started_x=1
  fi
  trap bench_finish EXIT
  [ -f "$WINEPREFIX/system.reg" ] || "$HARIKO_ROOT/tools/setup-prefix.sh"
  echo "== $("$WINE64" --version 2>/dev/null), DISPLAY=$DISPLAY, load average: $(cut -d' ' -f1-3 /proc/loadavg)"
}

bench_finish() {
  if declare -F bench_cleanup >/dev/null; then bench_cleanup; fi
  if [ -n "$bench_started_x" ]; then
    wineserver -k 2>/dev/null || true
    "$HARIKO_ROOT/tools/xvfb.sh" stop
  fi
}
