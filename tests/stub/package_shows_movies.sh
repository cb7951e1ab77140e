#!/usr/bin/env bash
# Builds a package on the real player.dat with the console tool, runs it under
# Wine and reads its message box: it names the package's movies and ends with
# exit code 0. The bare player.dat says it holds no package and ends with 1.
set -uo pipefail
tool="$1"
player="$2"
reader="$3"
[ -n "${DISPLAY:-}" ] || { echo "needs an X display (run inside xvfb-run)" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
head -c 1234 /dev/urandom > "$work/intro.swf"
printf 'abc' > "$work/second.swf"
cp "$player" "$work/player.dat"
(cd "$work" && wine "$tool" build player.dat game.exe intro.swf second.swf) >/dev/null 2>&1 \
  || { echo "the console tool could not build the package" >&2; exit 1; }

run_and_read() {  # program -> prints the box text, then "exit N"
  (cd "$work" && wine "$1" >/dev/null 2>&1) &
  local pid=$!
  local text
  text="$(wine "$reader" "Quorvel Player" 2>/dev/null | tr -d '\r')"
  local found=$?
  for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then kill "$pid"; echo "still running"; return; fi
  wait "$pid"
  local code=$?
  printf '%s\nfound %s exit %s\n' "$text" "$found" "$code"
}

package_said="$(run_and_read game.exe)"
echo "package: [$package_said]"
expected="This package holds 2 movies:
intro.swf (1234 bytes)
second.swf (3 bytes)
found 0 exit 0"
[ "$package_said" = "$expected" ] || { echo "unexpected package output" >&2; exit 1; }

bare_said="$(run_and_read player.dat)"
echo "bare stub: [$bare_said]"
case "$bare_said" in
  "This program holds no movie package."*"found 0 exit 1") ;;
  *) echo "unexpected bare stub output" >&2; exit 1 ;;
esac
