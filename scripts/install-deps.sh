#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Never wine32: 32-bit code cannot run on these machines, and with wine32
# present /usr/bin/wine picks it and fails.
set -euo pipefail
pkgs=(cmake g++ make libgtest-dev googletest g++-mingw-w64-x86-64 g++-mingw-w64-i686
      binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 wine wine64 xvfb xauth imagemagick)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
