#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent and quiet:
# does nothing when every package is already present.
set -euo pipefail

packages=(
  cmake ninja-build g++ dpkg-dev pkg-config
  zlib1g-dev libjpeg62-turbo-dev liblzma-dev libpng-dev libgif-dev libagg-dev libmpg123-dev
  libgtest-dev googletest libbenchmark-dev
  clang-14 libclang-rt-14-dev locales
  g++-mingw-w64-i686 libz-mingw-w64-dev nasm
  wine wine32:i386 fonts-wine xvfb xauth xdotool imagemagick
  fp-utils zip
  ffmpeg  # the sound tests decode with it too, to check ours against
  libfreetype-dev fonts-liberation2 fonts-noto-core  # device text: FreeType over the fonts the tests use
)

# Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives code page
# 932, under which the double-byte text handling is tested.
ensure_japanese_locale() {
  locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' && return 0
  [ -f /etc/locale.gen ] || return 0
  $SUDO sed -i 's/^# *\(ja_JP\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  $SUDO locale-gen >/dev/null
}

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

# Source entries, needed by `apt-get source` for the libraries we cross-build.
src=/etc/apt/sources.list.d/quorvel-src.sources
need_update=false
if [ ! -f "$src" ] && [ -f /etc/apt/sources.list.d/debian.sources ]; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $SUDO tee "$src" >/dev/null
  need_update=true
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  $need_update && $SUDO apt-get update -qq
  ensure_japanese_locale
  exit 0
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
ensure_japanese_locale
