#!/bin/bash
# Builds ハリコ.exe and starts it under Wine with a Japanese locale.
# With a reachable display the program simply shows there. Without one, Xvfb is started, the
# program is shown pasting into Wine's notepad, and screenshots are saved under build/.
set -u
USER_DISPLAY=${DISPLAY:-}
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$HARIKO_ROOT"
"$HARIKO_ROOT/tools/install-deps.sh" || exit 1
cmake -S . -B "$HARIKO_BUILD/win" -DCMAKE_TOOLCHAIN_FILE="$HARIKO_ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
cmake --build "$HARIKO_BUILD/win" -j2 --target hariko e2e_driver >"$HARIKO_BUILD/run-build.log" 2>&1 \
  || cmake --build "$HARIKO_BUILD/win" -j2 --target hariko >>"$HARIKO_BUILD/run-build.log" 2>&1 \
  || { tail -30 "$HARIKO_BUILD/run-build.log"; exit 1; }
EXE="$HARIKO_BUILD/win/ハリコ.exe"

# The program keeps its data in the prefix; use one of its own so tests never touch it.
export WINEPREFIX="$HARIKO_BUILD/run-prefix"
[ -f "$WINEPREFIX/system.reg" ] || "$HARIKO_ROOT/tools/setup-prefix.sh" || exit 1

if [ -n "$USER_DISPLAY" ] && xdpyinfo -display "$USER_DISPLAY" >/dev/null 2>&1; then
  export DISPLAY=$USER_DISPLAY
  # A real desktop has a window manager: let it frame and move Wine's windows.
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d Y /f </dev/null >/dev/null 2>&1
  echo "starting $EXE on $DISPLAY"
  exec "$WINE64" "$EXE"
fi
"$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1

# Headless: our own Xvfb, the program, notepad, one paste, screenshots.
export DISPLAY=:98
"$HARIKO_ROOT/tools/xvfb.sh" start || exit 1
trap 'wineserver -k >/dev/null 2>&1; "$HARIKO_ROOT/tools/xvfb.sh" stop' EXIT
wineserver -p </dev/null >/dev/null 2>&1
shot="$HARIKO_BUILD/screenshot.png"
if [ -f "$HARIKO_BUILD/win/e2e_driver.exe" ]; then
  "$HARIKO_ROOT/tools/wine-run.sh" "$HARIKO_BUILD/win/e2e_driver.exe" --demo "$EXE"
  rc=$?
else
  ("$WINE64" "$EXE" </dev/null >/dev/null 2>&1 &)
  sleep 6
  rc=0
fi
import -display "$DISPLAY" -window root "$shot" && echo "screenshot: $shot"
exit $rc
