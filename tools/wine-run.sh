#!/bin/bash
# Runs a Windows exe under Wine and returns its exit code. Used as ctest's emulator.
# Wine's helper processes (wineserver, services.exe, explorer.exe) inherit stdout/stderr and
# outlive the exe; if those were ctest's pipes ctest would wait for them. So Wine writes to a
# temporary file that is printed afterwards.
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
out=$(mktemp /tmp/hariko-wine.XXXXXX)
"$WINE64" "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"; rm -f "$out"
exit $rc
