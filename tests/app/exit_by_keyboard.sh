#!/usr/bin/env bash
# Starts the real packager under Wine, chooses File, Exit with the keyboard as a
# person would, and expects the program to end with exit code 0.
set -uo pipefail
exe="$1"
title="^Quorvel EXE Packager$"
[ -n "${DISPLAY:-}" ] || { echo "needs an X display (run inside xvfb-run)" >&2; exit 1; }

wine "$exe" >/dev/null 2>&1 &
pid=$!
window=""
for _ in $(seq 1 150); do
  window="$(xdotool search --name "$title" 2>/dev/null | head -1)"
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "the main window did not appear" >&2
  kill "$pid" 2>/dev/null
  exit 1
fi
sleep 0.5
xdotool mousemove --window "$window" 300 200 click 1
sleep 0.3
xdotool key alt+f
sleep 0.5
xdotool key e
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "the packager did not end after File, Exit" >&2
  kill "$pid"
  exit 1
fi
wait "$pid"
code=$?
echo "exit code $code"
[ "$code" -eq 0 ]
