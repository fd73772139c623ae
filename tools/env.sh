# Sourced by the other scripts: one place for the Wine and locale settings.
HARIKO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${HARIKO_BUILD:=$HARIKO_ROOT/build}"
: "${WINEPREFIX:=$HARIKO_BUILD/wine-prefix}"
if [ -z "${DISPLAY:-}" ]; then
  # :99 unless a server we cannot talk to holds it (another user's, or one that hangs).
  _hd=99
  while [ $_hd -lt 160 ] && [ -e /tmp/.X$_hd-lock ] && [ -d "/proc/$(tr -dc 0-9 </tmp/.X$_hd-lock)" ] &&
        ! xdpyinfo -display :$_hd >/dev/null 2>&1; do _hd=$((_hd + 1)); done
  DISPLAY=:$_hd
fi
export HARIKO_ROOT HARIKO_BUILD WINEPREFIX DISPLAY
export WINEARCH=win64
: "${WINEDEBUG:=-all}"; export WINEDEBUG
# No Mono/Gecko prompts, no sound drivers, no menu entries written into $HOME.
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d;winemenubuilder.exe=d"
# Japanese locale: ANSI/OEM code page 932, LCID 0411.
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
WINE64=/usr/lib/wine/wine64
[ -x "$WINE64" ] || WINE64=$(command -v wine64 || command -v wine)
export WINE64
