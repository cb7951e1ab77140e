#!/usr/bin/env bash
# Drives the real packager from outside as a person would: starts it with a
# movie on its command line, opens Action, Build EXE file with the keyboard,
# tabs to the name box, types a target name, presses Enter, reads and accepts
# "Mission Accomplished", and checks the package with the console tool.
set -uo pipefail
exe="$1"
tool="$2"
reader="$3"
movie_source="$4"
title="^Quorvel EXE Packager$"
[ -n "${DISPLAY:-}" ] || { echo "needs an X display (run inside xvfb-run)" >&2; exit 1; }

work="$(mktemp -d)"
pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
cp "$movie_source" "$work/intro.swf" || { echo "no movie at $movie_source" >&2; exit 1; }
size=$(stat -c %s "$work/intro.swf")

(cd "$work" && wine "$exe" intro.swf >/dev/null 2>&1) &
pid=$!
wait_for_window() {  # name pattern -> window id
  local found=""
  for _ in $(seq 1 150); do
    found="$(xdotool search --name "$1" 2>/dev/null | head -1)"
    [ -n "$found" ] && break
    sleep 0.2
  done
  echo "$found"
}
main="$(wait_for_window "$title")"
[ -n "$main" ] || { echo "the main window did not appear" >&2; exit 1; }
sleep 2  # the movie of the command line is added about 300 ms after start, then captured

xdotool mousemove --window "$main" 300 200 click 1
sleep 0.3
xdotool key alt+a
sleep 0.5
xdotool key b
properties="$(wait_for_window "^Properties$")"
[ -n "$properties" ] || { echo "the Properties window did not appear" >&2; exit 1; }
sleep 0.5
xdotool key Tab          # from the list of movies to the name box
xdotool type --delay 50 "game.exe"
xdotool key Return

said="$(wine "$reader" "Message" 2>/dev/null | tr -d '\r')"
echo "result box: [$said]"
[ "$said" = "Mission Accomplished" ] || { echo "no Mission Accomplished" >&2; exit 1; }

listing="$(wine "$tool" list "$work/game.exe" 2>&1 | tr -d '\r')"
echo "$listing"
wine "$tool" verify "$work/game.exe" >/dev/null 2>&1 || { echo "the package does not verify" >&2; exit 1; }
echo "$listing" | grep -qxF "$(printf '%s\tintro.swf' "$size")" \
  || { echo "intro.swf with its $size bytes is not in the package" >&2; exit 1; }

sleep 0.5
xdotool key alt+f
sleep 0.5
xdotool key e
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then echo "the packager did not end" >&2; exit 1; fi
wait "$pid"
code=$?
pid=""
echo "exit code $code"
[ "$code" -eq 0 ]
