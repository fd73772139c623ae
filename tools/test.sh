#!/bin/bash
# Installs what is missing, builds the native and the Windows tree, and runs every test tier:
# native unit tests (ASan+UBSan), a short fuzz run, and under Wine + Xvfb the unit, Win32
# and end-to-end tests. Exit code 0 only when every tier passed.
set -u
# What a step says on stderr belongs in the same log, in order.
exec 2>&1
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$HARIKO_ROOT"
JOBS=${JOBS:-2}
"$HARIKO_ROOT/tools/install-deps.sh" || exit 1

rc=0
step() { echo; echo "=== $*"; }
cleanup() {
  WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
  "$HARIKO_ROOT/tools/xvfb.sh" stop
}
trap cleanup EXIT

step "native build + unit tests (ASan, UBSan)"
cmake -S . -B "$HARIKO_BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null || exit 1
cmake --build "$HARIKO_BUILD/native" -j"$JOBS" >"$HARIKO_BUILD/native-build.log" 2>&1 \
  || { tail -40 "$HARIKO_BUILD/native-build.log"; exit 1; }
ctest --test-dir "$HARIKO_BUILD/native" --output-on-failure -j"$JOBS" || rc=1

step "fuzz (libFuzzer, a few seconds each)"
CC=clang CXX=clang++ cmake -S . -B "$HARIKO_BUILD/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHARIKO_FUZZ=ON >/dev/null || exit 1
fuzzers=$(cd tests/fuzz && ls *.cpp 2>/dev/null | sed 's/\.cpp$//')
cmake --build "$HARIKO_BUILD/fuzz" -j"$JOBS" --target $fuzzers >"$HARIKO_BUILD/fuzz-build.log" 2>&1 \
  || { tail -40 "$HARIKO_BUILD/fuzz-build.log"; exit 1; }
ctest --test-dir "$HARIKO_BUILD/fuzz" -L fuzz --output-on-failure || rc=1

step "Windows build (mingw-w64)"
cmake -S . -B "$HARIKO_BUILD/win" -DCMAKE_TOOLCHAIN_FILE="$HARIKO_ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
# Test discovery runs the test exes under Wine, so the display and prefix come first.
"$HARIKO_ROOT/tools/xvfb.sh" start || exit 1
"$HARIKO_ROOT/tools/setup-prefix.sh" || exit 1
# A persistent wineserver saves ~0.5 s per test exe; its output must not hold any pipe.
wineserver -p </dev/null >/dev/null 2>&1
cmake --build "$HARIKO_BUILD/win" -j"$JOBS" >"$HARIKO_BUILD/win-build.log" 2>&1 \
  || { tail -40 "$HARIKO_BUILD/win-build.log"; exit 1; }

step "Windows tests under Wine (unit, Win32, end to end)"
# Under load Wine now and then fails to start a test exe at all (it ends in ~0.01 s with no
# output; seen twice in a dozen full runs). A failing test is run once more; a real failure
# fails both times and is reported.
ctest --test-dir "$HARIKO_BUILD/win" --output-on-failure -j"$JOBS" --timeout 900 \
  --repeat until-pass:2 || rc=1

step "release zip: the three files, the exe the tests ran, the same bytes twice"
if bash tools/release.sh >"$HARIKO_BUILD/release.log" 2>&1 && first=$(sha256sum "$HARIKO_BUILD"/release/*.zip) &&
   bash tools/release.sh >>"$HARIKO_BUILD/release.log" 2>&1 && [ "$first" = "$(sha256sum "$HARIKO_BUILD"/release/*.zip)" ] &&
   python3 -c 'import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); assert z.namelist() == ["ハリコ.exe", "はじめに.txt", "SHA256SUMS"]; assert z.read("ハリコ.exe") == open(sys.argv[2], "rb").read()' \
     "$HARIKO_BUILD"/release/*.zip "$HARIKO_BUILD/win/ハリコ.exe"; then
  echo "release: $first"
else
  echo "release check failed (see $HARIKO_BUILD/release.log)"; rc=1
fi

echo
if [ $rc = 0 ]; then echo "ALL TEST TIERS PASSED"; else echo "SOME TESTS FAILED"; fi
exit $rc
