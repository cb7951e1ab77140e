#!/usr/bin/env bash
# Configures and builds one preset (native or win32): scripts/build.sh win32
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
preset="${1:?usage: build.sh native|win32}"
cd "$root"
if [ ! -f "build/$preset/build.ninja" ]; then
  cmake --preset "$preset" >"build-$preset.configure.log" 2>&1 || { cat "build-$preset.configure.log" >&2; exit 1; }
  mv "build-$preset.configure.log" "build/$preset/configure.log"
fi
cmake --build --preset "$preset" -j"$(nproc)"
