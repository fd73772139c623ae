#!/bin/bash
# Speed of the file cipher under Wine against OpenSSL's RC4 natively, on the same files.
# usage: tools/bench-cipher.sh WIN_BUILD_DIR
# Builds nothing: WIN_BUILD_DIR must hold cipher_bench_win.exe (target cipher_bench_win).
# Its source: bench/cipher_bench_win.cpp.
# MB are 10^6 bytes. Needs Xvfb/Wine settings as the tests do (tools/env.sh).
set -eu
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
[ $# = 1 ] || { echo "usage: $0 WIN_BUILD_DIR" >&2; exit 2; }
build=$(cd "$1" && pwd)
exe="$build/cipher_bench_win.exe"
[ -f "$exe" ] || { echo "$exe is missing: build the target cipher_bench_win first" >&2; exit 1; }

work=$(mktemp -d "$build/bench-cipher.XXXXXX")
trap 'rm -rf "$work"' EXIT
head -c 5M /dev/urandom >"$work/data5.bin"
head -c 50M /dev/urandom >"$work/data50.bin"
password=benchpass
key=$(printf '%s' "$password" | md5sum | cut -d' ' -f1)
winpath() { printf 'Z:%s' "${1//\//\\}"; }

echo "== cipher_bench_win.exe under Wine (1002-byte chunks through CryptoAPI)"
out=$("$HARIKO_ROOT/tools/wine-run.sh" "$exe" "$password" "$(winpath "$work/data5.bin")" \
      "$(winpath "$work/data50.bin")")
echo "$out" | grep -E '^(encrypt|peak|error)'
wine_rate=$(echo "$out" | awk '/^encrypt data50.bin/ { for (i = 1; i < NF; i++) if ($(i+1) == "MB/s") print $i }')

echo "== openssl enc -rc4 natively, same key (best of 3)"
size=$(stat -c %s "$work/data50.bin")
best=
for _ in 1 2 3; do
  t0=$(date +%s.%N)
  openssl enc -rc4 -K "$key" -nosalt -provider legacy -provider default \
    -in "$work/data50.bin" -out "$work/data50.ossl"
  t1=$(date +%s.%N)
  best=$(awk -v a="$t0" -v b="$t1" -v best="$best" 'BEGIN { d = b - a; if (best == "" || d < best) print d; else print best }')
done
ossl_rate=$(awk -v s="$size" -v t="$best" 'BEGIN { printf "%.1f", s / 1e6 / t }')
printf 'openssl data50.bin: %s bytes in %.3f s = %s MB/s\n' "$size" "$best" "$ossl_rate"

if cmp -s "$work/data50.bin.enc" "$work/data50.ossl"; then same=yes; else same=NO; fi
echo "== same cipher text from both: $same"
if [ -n "$wine_rate" ]; then
  awk -v w="$wine_rate" -v o="$ossl_rate" 'BEGIN { printf "rate under Wine / openssl: %.1f / %.1f MB/s = %.3f\n", w, o, w / o }'
else
  echo "no rate from the Wine run"; exit 1
fi
