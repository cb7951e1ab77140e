#!/usr/bin/env bash
# Holds the licence notices against what the shipped programs link: reads the
# link line of QuorvelPackager.exe, player.dat and quorvel-pack.exe (and the
# compile lines, for libraries used through their headers) from a Windows
# build, names each third-party library in them and checks that
# <notices>/index.txt lists exactly those, each with a notice file that is
# not empty. Exits 1 with one line per problem.
#   scripts/check-licences.sh [BUILD_DIR] [NOTICE_DIR]
#       (default: build/win32 and assets/licences)
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build/win32}"
notices="${2:-$root/assets/licences}"
targets=(QuorvelPackager quorvel_player_stub quorvel-pack)
# Import libraries of Windows' own DLLs: nothing of them is in the programs.
system_libraries=" advapi32 comctl32 comdlg32 gdi32 imm32 kernel32 msacm32 msimg32 ole32 oleaut32 shell32 shlwapi "
system_libraries+=" user32 uxtheme version winmm winspool ws2_32 "

[ -f "$build/build.ninja" ] || { echo "check-licences: no build in $build" >&2; exit 1; }
[ -f "$notices/index.txt" ] || { echo "check-licences: no $notices/index.txt" >&2; exit 1; }

problems=0
problem() { echo "check-licences: $*" >&2; problems=$((problems + 1)); }

# The library a static archive or -l flag of a link line stands for; empty
# for our own libraries and Windows' import libraries.
library_of() {
  local item="$1" name
  case "$item" in
    -l*) name="${item#-l}" ;;
    *.a) name="$(basename "$item" .a)"; name="${name#lib}" ;;
  esac
  case "$name" in
    quorvel_*|*.dll) echo "" ;;
    z) echo zlib ;;
    jpeg) echo libjpeg-turbo ;;
    png|png16) echo libpng ;;
    gif) echo giflib ;;
    lzma) echo liblzma ;;
    stdc++|gcc|gcc_eh|supc++) echo gcc-runtime ;;
    winpthread|pthread|mingw32|mingwex|moldname|msvcrt|uuid) echo winpthreads ;;
    *)
      if [[ "$system_libraries" == *" $name "* ]]; then echo ""; else echo "unknown:$name"; fi ;;
  esac
}

declare -A linked=()  # library -> programs that link it
note() { linked[$1]="${linked[$1]:+${linked[$1]}, }$2"; }

for target in "${targets[@]}"; do
  commands="$(ninja -C "$build" -t commands "$target" 2>/dev/null)" || { problem "no target $target in $build"; continue; }
  link="$(tail -n 1 <<<"$commands")"
  program="$(sed -n 's/.* -o \([^ ]*\).*/\1/p' <<<"$link")"
  program="${program##*/}"
  for item in $link; do
    case "$item" in
      -Wl,*) continue ;;
      -l*|*.a) library="$(library_of "$item")" ;;
      *) continue ;;
    esac
    case "$library" in
      "") ;;
      unknown:*) problem "$program links ${library#unknown:} ($item), which has no notice" ;;
      *) note "$library" "$program" ;;
    esac
  done
  # The compiler driver adds its runtime (libstdc++, libgcc) and mingw-w64's
  # (start-up code, winpthreads) to every program, linked in statically.
  driver="$(awk '{for (i = 1; i <= NF; i++) if ($i ~ /(g\+\+|gcc)(-posix|-win32)?$/) {print $i; exit}}' <<<"$link")"
  if [[ "$driver" == *mingw32* ]]; then
    note gcc-runtime "$program"
    note winpthreads "$program"
  fi
  # Header-only libraries show in the compile lines only.
  if grep -q -- '/agg2' <<<"$commands"; then note agg "$program"; fi
done

declare -A listed=()
while read -r name file _; do
  [ -z "$name" ] || [[ "$name" == \#* ]] && continue
  listed[$name]=1
  [ -s "$notices/$file" ] || problem "the notice of $name ($notices/$file) is missing or empty"
  [ -n "${linked[$name]:-}" ] || problem "$name has a notice but no shipped program links it"
done <"$notices/index.txt"
for library in "${!linked[@]}"; do
  [ -n "${listed[$library]:-}" ] || problem "${linked[$library]} link(s) $library, which has no notice in $notices/index.txt"
done

if [ "$problems" -ne 0 ]; then
  echo "check-licences: $problems problem(s); every linked library needs its notice" >&2
  exit 1
fi
echo "check-licences: ${#linked[@]} libraries, each with its notice"
