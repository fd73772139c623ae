#!/bin/bash
# Creates a fresh 64-bit Japanese Wine prefix at $WINEPREFIX (removing an old one).
# Optional: DPI=144 sets the prefix's screen DPI.
set -e
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
# A step that fails must say which one and why: its output is in the log, not on the screen.
trap 'rc=$?; echo "setup-prefix: \"$BASH_COMMAND\" failed (exit $rc); the end of $WINEPREFIX.log:"
      tail -20 "$WINEPREFIX.log" 2>/dev/null; exit $rc' ERR
# A test run killed while a folder was made immutable (chattr +i) would keep it from going.
[ -d "$WINEPREFIX" ] && { chattr -R -i "$WINEPREFIX" 2>/dev/null || true; }
boot() {
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot --init </dev/null >>"$WINEPREFIX.log" 2>&1 && wineserver -w
}
mkdir -p "$(dirname "$WINEPREFIX")"; : >"$WINEPREFIX.log"
# A boot that fails is tried once more from scratch before the run gives up.
boot || { echo "setup-prefix: wineboot failed once, trying again"; wineserver -k 2>/dev/null || true; boot; }
# The Windows our users run: a new prefix says Windows 7 otherwise.
"$WINE64" winecfg -v win10 </dev/null >>"$WINEPREFIX.log" 2>&1
wineserver -w
# Desktop, Documents... are links to $HOME: make them real folders so tests stay in the prefix.
for l in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$l" ]; then rm "$l"; mkdir "$l"; fi
done
# Debian's wine64 does not find its own fonts (Tahoma, Marlett) unless they are in C:\windows\Fonts.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
reg=$(mktemp /tmp/hariko-fonts.XXXXXX.reg)
python3 "$HARIKO_ROOT/tools/fontsubst.py" "$reg"
"$WINE64" regedit /S "$(winepath -w "$reg" 2>/dev/null || echo "$reg")" </dev/null >/dev/null 2>&1
# Wine's windows are not handed to an X window manager (there is none on the test display):
# otherwise every window that closes waits 2 s for a manager to answer.
"$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
if [ -n "${DPI:-}" ]; then
  "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$DPI" /f </dev/null >/dev/null 2>&1
fi
wineserver -w
rm -f "$reg"
echo "wine prefix ready: $WINEPREFIX"
