#!/usr/bin/env bash
# Creates the project's 32-bit Wine prefix once, with Wine's own fonts copied
# in: the .fon files give the bitmap "MS Sans Serif" that dialog layouts are
# measured with, the .ttf files draw the caption buttons.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"

fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ ! -f "$WINEPREFIX/.quorvel-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 </dev/null || true
  wineserver -w
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$fonts/"
  touch "$WINEPREFIX/.quorvel-ready"
fi

# A D: drive of its own, for tests of paths on a second drive.
mkdir -p "$WINEPREFIX/drive_d"
[ -e "$WINEPREFIX/dosdevices/d:" ] || ln -s ../drive_d "$WINEPREFIX/dosdevices/d:"
