#!/bin/bash
# Builds the Windows tree in Release and writes build/release/ハリコ-<version>.zip with
# ハリコ.exe, はじめに.txt (code page 932, CR LF) and SHA256SUMS. The version is the one of the
# version resource (resources/hariko.rc). Two runs on the same commit give the same bytes: the
# exe carries no link time, and the zip has fixed times, order and attributes.
set -eu -o pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$HARIKO_ROOT"
"$HARIKO_ROOT/tools/install-deps.sh"
cmake -S . -B "$HARIKO_BUILD/win" -DCMAKE_TOOLCHAIN_FILE="$HARIKO_ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$HARIKO_BUILD/win" -j"${JOBS:-2}" --target hariko >"$HARIKO_BUILD/release-build.log" 2>&1 \
  || { tail -30 "$HARIKO_BUILD/release-build.log"; exit 1; }
version=$(sed -n 's/^FILEVERSION[[:space:]]*\([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1.\2.\3.\4/p' resources/hariko.rc)
[ -n "$version" ] || { echo "no FILEVERSION in resources/hariko.rc" >&2; exit 1; }
out="$HARIKO_BUILD/release"
stage="$out/stage"
rm -rf "$stage"
mkdir -p "$stage"
cp "$HARIKO_BUILD/win/ハリコ.exe" "$stage/ハリコ.exe"
# Notepad on any Japanese Windows opens Shift_JIS with CR LF.
sed 's/$/\r/' "resources/release/はじめに.txt" | iconv -f UTF-8 -t CP932 >"$stage/はじめに.txt"
(cd "$stage" && sha256sum ハリコ.exe はじめに.txt >SHA256SUMS)
zipfile="$out/ハリコ-$version.zip"
python3 - "$stage" "$zipfile" <<'PY'
import os, sys, zipfile
stage, target = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(target + ".tmp", "w", zipfile.ZIP_DEFLATED) as z:
    for name in ["ハリコ.exe", "はじめに.txt", "SHA256SUMS"]:
        info = zipfile.ZipInfo(name, date_time=(2000, 1, 1, 0, 0, 0))
        info.external_attr = 0o644 << 16
        info.compress_type = zipfile.ZIP_DEFLATED
        with open(os.path.join(stage, name), "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
os.replace(target + ".tmp", target)
PY
rm -rf "$stage"
echo "release: $zipfile"
sha256sum "$zipfile"
