#!/bin/bash
# Installs what building and testing need (Debian 12). Does nothing when all is there.
set -e
PKGS="cmake g++ clang libclang-rt-14-dev googletest g++-mingw-w64-x86-64-posix wine wine64
  fonts-wine fonts-ipafont-gothic locales-all xvfb x11-utils xauth xdotool imagemagick openssl
  valgrind time python3 libxrender1 libxrandr2 libxi6 libxcursor1 libxfixes3 libxinerama1 libxcomposite1
  libxxf86vm1 libgnutls30 libdbus-1-3 e2fsprogs"
missing=$(dpkg-query -W -f='${Package} ${Status}\n' $PKGS 2>/dev/null | grep -v 'install ok installed' | cut -d' ' -f1 || true)
for p in $PKGS; do dpkg-query -W "$p" >/dev/null 2>&1 || missing="$missing $p"; done
missing=$(echo $missing | tr ' ' '\n' | sort -u | tr '\n' ' ')
if [ -n "${missing// }" ]; then
  echo "installing: $missing"
  SUDO=; [ "$(id -u)" = 0 ] || SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
