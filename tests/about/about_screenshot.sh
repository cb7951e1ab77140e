#!/usr/bin/env bash
# Opens the About window under Wine in a virtual desktop (so that it has its
# frame and caption), saves a screenshot, presses Enter as a person would and
# expects the program to end with exit code 0.
#   about_screenshot.sh <about_preview.exe> <shot.png>
set -uo pipefail
exe="$1"
shot="$2"
[ -n "${DISPLAY:-}" ] || { echo "needs an X display (run inside xvfb-run)" >&2; exit 1; }

wine explorer /desktop=QuorvelAbout,800x600 "$exe" >/dev/null 2>&1 &
pid=$!
window=""
for _ in $(seq 1 150); do
  window="$(xdotool search --name '^About$' 2>/dev/null | head -1)"
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "the About window did not appear" >&2
  kill "$pid" 2>/dev/null
  exit 1
fi
sleep 1
import -window root "$shot" || { echo "no screenshot" >&2; kill "$pid"; exit 1; }
# Give the window the keyboard with a click on its version line (which does
# nothing), then press Enter: the default button, OK, closes it.
xdotool mousemove --window "$window" 40 100 click 1 >/dev/null 2>&1
sleep 0.3
xdotool key Return
for _ in $(seq 1 100); do
  xdotool search --name '^About$' >/dev/null 2>&1 || break
  sleep 0.1
done
if xdotool search --name '^About$' >/dev/null 2>&1; then
  echo "Enter did not close the About window" >&2
  kill "$pid"
  exit 1
fi
wait "$pid"
echo "screenshot: $shot"
