#!/usr/bin/env bash
# Makes the release archive dist/QuorvelPackager-<version>.zip: the packager,
# the player stub beside it (where every build looks for it), the help file,
# a short readme and the licences (ours and the notices of every library the
# programs link), ready to unpack and run on Windows. It refuses to make one
# while a linked library has no notice.
#   scripts/make-release.sh [BUILD_DIR]    (default: build/win32)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build/win32}"

"$here/install-packages.sh"
"$here/build-win32-deps.sh"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" --preset win32 >/dev/null
fi
# Only what ships; the tests are not needed for the archive.
cmake --build "$build" -j2 --target QuorvelPackager quorvel_player_stub quorvel_help

version="$(sed -n 's/^project(QuorvelPackager VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
[ -n "$version" ] || { echo "no version in CMakeLists.txt" >&2; exit 1; }
bin="$build/bin"
files=(QuorvelPackager.exe player.dat "Quorvel EXE Packager.chm")
for f in "${files[@]}"; do
  [ -f "$bin/$f" ] || { echo "missing $bin/$f" >&2; exit 1; }
done
# Every library the programs link must travel with its notice.
"$here/check-licences.sh" "$build" "$root/assets/licences" ||
  { echo "make-release: no archive: a linked library has no licence notice in assets/licences" >&2; exit 1; }
# A program that needs a DLL Windows does not have would not start there.
for exe in QuorvelPackager.exe player.dat; do
  if i686-w64-mingw32-objdump -p "$bin/$exe" | sed -n 's/.*DLL Name: //p' |
    grep -viqE '^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|uxtheme|msvcrt|advapi32|shlwapi|msacm32)\.dll$'; then
    echo "$exe imports a DLL that is not part of Windows" >&2; exit 1
  fi
done

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
folder="$stage/QuorvelPackager-$version"
mkdir -p "$folder"
for f in "${files[@]}"; do cp "$bin/$f" "$folder/"; done
# Windows readers expect CR LF line ends in a text file.
sed 's/$/\r/' "$root/LICENSE" >"$folder/LICENSE.txt"
mkdir -p "$folder/licences"
for notice in "$root"/assets/licences/*.txt; do
  sed 's/$/\r/' "$notice" >"$folder/licences/$(basename "$notice")"
done
sed 's/$/\r/' >"$folder/README.txt" <<TEXT
Quorvel EXE Packager $version

Quorvel EXE Packager turns Shockwave Flash movies (.swf) into one standalone
program (.exe) that plays them on any Windows machine with nothing installed.

Files
  QuorvelPackager.exe        the packager
  player.dat                 the player that goes at the front of every package;
                             keep it in the same folder as QuorvelPackager.exe
  Quorvel EXE Packager.chm   the help (Help, Content in the packager)
  LICENSE.txt                the licence of Quorvel EXE Packager (MIT)
  licences\                  the notices of the libraries built into the
                             programs (index.txt lists them); every package
                             carries them too: Help, Licences in its player

Getting started
  1. Unpack this archive into a folder of its own and run QuorvelPackager.exe.
  2. Add movies with File, Add Flash (or drop their names on the command line).
  3. Choose Action, Build EXE file, name the package and press Build.
  4. Run the package: it plays its first movie; the Movies menu switches
     between movies, and Ctrl+F shows them full screen (Esc leaves).

A package releases its movies ("Save movies...") only when that was allowed
in the build options.
TEXT

mkdir -p "$root/dist"
archive="$root/dist/QuorvelPackager-$version.zip"
rm -f "$archive"
(cd "$stage" && zip -q -r -X "$archive" "QuorvelPackager-$version")
echo "$archive"
