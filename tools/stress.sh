#!/bin/bash
# Kills ハリコ.exe at random moments of its file work, COUNT times, and checks after every
# kill that a clean start and close find all data again. Builds nothing: give it a Windows
# build folder that holds ハリコ.exe and stress_driver.exe.
#
#   tools/stress.sh [WIN_BUILD_DIR] [COUNT] [SEED]     (defaults: $HARIKO_BUILD/win, 300)
#
# Xvfb and the Wine prefix as tools/test.sh uses them; an existing prefix is kept. The lines
# also go to WIN_BUILD_DIR/stress.log (follow it with tail -f), the files of failed rounds to
# WIN_BUILD_DIR/stress-evidence/. Exit code 0 only when no round lost anything.
set -u
win=$(cd "${1:-${HARIKO_BUILD:-$(dirname "${BASH_SOURCE[0]}")/../build}/win}" 2>/dev/null && pwd) \
  || { echo "no build folder ${1:-}" >&2; exit 2; }
count=${2:-300}
seed=${3:-}
# The prefix and display belong to the build the folder is part of, unless given.
: "${HARIKO_BUILD:=$(dirname "$win")}"
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"

exe="$win/ハリコ.exe"
driver="$win/stress_driver.exe"
if [ ! -f "$exe" ] || [ ! -f "$driver" ]; then
  echo "$win lacks ハリコ.exe or stress_driver.exe: build the targets hariko and stress_driver" >&2
  exit 2
fi

cleanup() {
  WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
  "$HARIKO_ROOT/tools/xvfb.sh" stop
}
trap cleanup EXIT

"$HARIKO_ROOT/tools/xvfb.sh" start || exit 1
[ -f "$WINEPREFIX/system.reg" ] || "$HARIKO_ROOT/tools/setup-prefix.sh" || exit 1
# A persistent wineserver saves start-up time on every one of the many program starts.
wineserver -p </dev/null >/dev/null 2>&1

echo "stress: $count rounds under Wine (DISPLAY=$DISPLAY, WINEPREFIX=$WINEPREFIX); progress in $win/stress.log"
cd "$win" || exit 2
"$HARIKO_ROOT/tools/wine-run.sh" "$driver" "$exe" "$count" $seed
