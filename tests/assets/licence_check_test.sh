#!/usr/bin/env bash
# scripts/check-licences.sh against builds whose link lines are written here
# (a small build.ninja of the three shipped programs), with the real notices
# and with notices taken away: every linked library must have its notice,
# and every notice a library that is linked.
#   licence_check_test.sh <source root> [<real win32 build folder>]
set -uo pipefail
root="$1"
real_build="${2:-}"
check="$root/scripts/check-licences.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }

all_libraries="/p/lib/libgif.a /p/lib/libjpeg.a /p/lib/liblzma.a /p/lib/libpng16.a /m/lib/libz.a"
# fake_build FOLDER EXTRA_LINK_ITEMS INCLUDE_FLAGS: the three programs linked
# as the real build links them, plus the extra items.
fake_build() {
  local folder="$1" extra="$2" includes="$3"
  mkdir -p "$folder"
  {
    echo "rule run"
    echo "  command = \$cmd"
    echo "build engine.obj: run"
    echo "  cmd = /usr/bin/i686-w64-mingw32-g++-posix $includes -c renderer.cpp -o engine.obj"
    for program in QuorvelPackager:QuorvelPackager.exe quorvel_player_stub:player.dat quorvel-pack:quorvel-pack.exe; do
      echo "build ${program%%:*}: run engine.obj"
      echo "  cmd = : && /usr/bin/i686-w64-mingw32-g++-posix -O3 -static -static-libgcc -static-libstdc++" \
        "engine.obj -o bin/${program#*:} swf/libquorvel_swf.a $all_libraries $extra -lgdi32 -luser32 -luuid && :"
    done
  } >"$folder/build.ninja"
}

# expect CASE STATUS MESSAGE BUILD NOTICES
expect() {
  local name="$1" status="$2" message="$3" output code
  output="$("$check" "$4" "$5" 2>&1)"; code=$?
  [ "$code" -eq "$status" ] || fail "$name: exit $code, expected $status; said: $output"
  grep -qF -- "$message" <<<"$output" || fail "$name: does not say \"$message\"; said: $output"
}

notices() {  # a copy of the real notices
  rm -rf "$work/notices"; cp -r "$root/assets/licences" "$work/notices"; echo "$work/notices"
}

fake_build "$work/full" "" "-I/p/include/agg2"
expect "every library with its notice" 0 "8 libraries, each with its notice" "$work/full" "$(notices)"

n="$(notices)"; rm "$n/giflib.txt"
expect "a notice file missing" 1 "the notice of giflib" "$work/full" "$n"

n="$(notices)"; sed -i '/^liblzma /d' "$n/index.txt"
expect "a linked library left out of the index" 1 "link(s) liblzma, which has no notice" "$work/full" "$n"

fake_build "$work/more" "/p/lib/libfreetype.a" "-I/p/include/agg2"
expect "a new library linked" 1 "links freetype (/p/lib/libfreetype.a), which has no notice" "$work/more" "$(notices)"

fake_build "$work/sound" "-lopenal" "-I/p/include/agg2"
expect "a new -l library linked" 1 "links openal (-lopenal), which has no notice" "$work/sound" "$(notices)"

fake_build "$work/no-agg" "" ""
expect "a notice nothing needs" 1 "agg has a notice but no shipped program links it" "$work/no-agg" "$(notices)"

if [ -n "$real_build" ]; then
  expect "the real Windows build" 0 "each with its notice" "$real_build" "$root/assets/licences"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "licence check: every case as expected"
