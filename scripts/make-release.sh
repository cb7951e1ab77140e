#!/usr/bin/env bash
# Makes the release archive dist/QuorvelPackager-<version>.zip: the packager,
# the player stub beside it (where every build looks for it), the help file
# and a short readme, ready to unpack and run on Windows.
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
# A program that needs a DLL Windows does not have would not start there.
for exe in QuorvelPackager.exe player.dat; do
  if i686-w64-mingw32-objdump -p "$bin/$exe" | sed -n 's/.*DLL Name: //p' |
    grep -viqE '^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|uxtheme|msvcrt|advapi32|shlwapi)\.dll$'; then
    echo "$exe imports a DLL that is not part of Windows" >&2; exit 1
  fi
done

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
folder="$stage/QuorvelPackager-$version"
mkdir -p "$folder"
for f in "${files[@]}"; do cp "$bin/$f" "$folder/"; done
# Windows readers expect CR LF line ends in a text file.
sed 's/$/\r/' >"$folder/README.txt" <<TEXT
Quorvel EXE Packager $version

Quorvel EXE Packager turns Shockwave Flash movies (.swf) into one standalone
program (.exe) that plays them on any Windows machine with nothing installed.

Files
  QuorvelPackager.exe        the packager
  player.dat                 the player that goes at the front of every package;
                             keep it in the same folder as QuorvelPackager.exe
  Quorvel EXE Packager.chm   the help (Help, Content in the packager)

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
