#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent and quiet:
# does nothing when every package is already present.
set -euo pipefail

packages=(
  cmake ninja-build g++ dpkg-dev pkg-config
  zlib1g-dev libjpeg62-turbo-dev liblzma-dev libpng-dev libgif-dev libagg-dev
  libgtest-dev googletest libbenchmark-dev
  clang-14 libclang-rt-14-dev
  g++-mingw-w64-i686 libz-mingw-w64-dev nasm
  wine wine32:i386 fonts-wine xvfb xauth xdotool imagemagick
  fp-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

# Source entries, needed by `apt-get source` for the libraries we cross-build.
src=/etc/apt/sources.list.d/quorvel-src.sources
if [ ! -f "$src" ] && [ -f /etc/apt/sources.list.d/debian.sources ]; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $SUDO tee "$src" >/dev/null
fi

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
