#!/usr/bin/env bash
# Cross-builds the static Windows (i686) libraries the project links, from
# Debian's source packages, into a cache outside the clone. Each library is
# keyed by its source version and the compiler version and is built only when
# its key is missing, so every later clone on this machine reuses it.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
cache="${QUORVEL_CACHE:-$HOME/.cache/quorvel}"
prefix="${QUORVEL_WIN32_PREFIX:-$cache/win32-prefix}"
srcdir="$cache/src"
stamps="$prefix/.stamps"
toolchain="$root/cmake/mingw-i686.cmake"
compiler_version="$(i686-w64-mingw32-gcc-posix -dumpversion)"
mkdir -p "$prefix" "$srcdir" "$stamps"

log="$cache/build-win32-deps.log"
: >"$log"
trap 'echo "build-win32-deps: failed; see $log" >&2' ERR

source_version() { apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -1; }

# fetch_source PACKAGE: unpacks Debian's source package once, prints its folder.
fetch_source() {
  local pkg="$1" version dir
  version="$(source_version "$pkg")"
  dir="$srcdir/$pkg-$version"
  if [ ! -d "$dir" ]; then
    local tmp; tmp="$(mktemp -d "$srcdir/.fetch.XXXXXX")"
    # Some source packages arrive with only the upstream tarball; that is all we need.
    (cd "$tmp" && apt-get source -qq "$pkg" >>"$log" 2>&1) || true
    local unpacked
    unpacked="$(find "$tmp" -mindepth 1 -maxdepth 1 -type d | head -1)"
    if [ -z "$unpacked" ]; then
      local tarball; tarball="$(find "$tmp" -maxdepth 1 -name '*.orig.tar.*' | head -1)"
      [ -n "$tarball" ] || { echo "no source for $pkg" >>"$log"; return 1; }
      tar -xf "$tarball" -C "$tmp"
      unpacked="$(find "$tmp" -mindepth 1 -maxdepth 1 -type d | head -1)"
    fi
    mv "$unpacked" "$dir"
    rm -rf "$tmp"
  fi
  echo "$dir"
}

# done_key NAME VERSION: true when that build is already in the prefix.
is_built() { [ -f "$stamps/$1-$2-gcc$compiler_version" ]; }
mark_built() { touch "$stamps/$1-$2-gcc$compiler_version"; }

cmake_cross() {
  local src="$1" build="$2"; shift 2
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQUORVEL_WIN32_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR= "$@" >>"$log" 2>&1
  cmake --build "$build" -j"$(nproc)" >>"$log" 2>&1
  cmake --install "$build" >>"$log" 2>&1
}

build_libjpeg() {
  local v; v="$(source_version libjpeg-turbo)"
  is_built libjpeg-turbo "$v" && return 0
  local src; src="$(fetch_source libjpeg-turbo)"
  cmake_cross "$src" "$cache/build/libjpeg-turbo" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DCMAKE_INSTALL_LIBDIR="$prefix/lib"
  mark_built libjpeg-turbo "$v"
}

build_liblzma() {
  local v; v="$(source_version xz-utils)"
  is_built liblzma "$v" && return 0
  local src; src="$(fetch_source xz-utils)"
  cmake_cross "$src" "$cache/build/xz" -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_LIBDIR=lib
  mark_built liblzma "$v"
}

build_libpng() {
  local v; v="$(source_version libpng1.6)"
  is_built libpng "$v" && return 0
  local src; src="$(fetch_source libpng1.6)"
  cmake_cross "$src" "$cache/build/libpng" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DZLIB_USE_STATIC_LIBS=ON -DCMAKE_INSTALL_LIBDIR=lib
  mark_built libpng "$v"
}

# giflib ships only a Makefile aimed at Unix shared libraries; its library is
# a handful of C files, compiled here directly.
build_giflib() {
  local v; v="$(source_version giflib)"
  is_built giflib "$v" && return 0
  local src; src="$(fetch_source giflib)"
  local out="$cache/build/giflib"; rm -rf "$out"; mkdir -p "$out"
  local f
  for f in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize; do
    [ -f "$src/$f.c" ] || continue
    i686-w64-mingw32-gcc-posix -O2 -c "$src/$f.c" -I"$src" -o "$out/$f.o" >>"$log" 2>&1
  done
  i686-w64-mingw32-ar rcs "$prefix/lib/libgif.a" "$out"/*.o
  mkdir -p "$prefix/include"; cp "$src/gif_lib.h" "$prefix/include/"
  mark_built giflib "$v"
}

build_googletest() {
  local v; v="$(dpkg-query -W -f='${Version}' googletest)"
  is_built googletest "$v" && return 0
  cmake_cross /usr/src/googletest "$cache/build/googletest" -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF \
    -DCMAKE_INSTALL_LIBDIR=lib
  mark_built googletest "$v"
}

# Only AGG's header-only parts are used, so its headers are all we need.
stage_agg() {
  local v; v="$(dpkg-query -W -f='${Version}' libagg-dev)"
  is_built agg "$v" && return 0
  mkdir -p "$prefix/include"
  rm -rf "$prefix/include/agg2"
  cp -r /usr/include/agg2 "$prefix/include/agg2"
  mark_built agg "$v"
}

mkdir -p "$prefix/lib" "$cache/build"
build_libjpeg
build_liblzma
build_libpng
build_giflib
build_googletest
stage_agg
