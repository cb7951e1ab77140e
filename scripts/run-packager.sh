#!/usr/bin/env bash
# Sets up, builds and starts the packager under Wine. With no display, it
# starts a virtual X server, runs the packager in a Wine desktop, saves a
# screenshot of its window, says where, closes it and exits 0.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
"$here/setup.sh"
"$here/build.sh" win32 >/dev/null
. "$here/wine-env.sh"
exe="$root/build/win32/bin/QuorvelPackager.exe"

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe" "$@"
fi

shot="$root/build/win32/packager-screenshot.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  exe="$1"; shot="$2"; shift 2
  wine explorer /desktop=Quorvel,1024x768 "$exe" "$@" >/dev/null 2>&1 &
  for _ in $(seq 1 100); do
    xdotool search --name "^Quorvel EXE Packager$" >/dev/null 2>&1 && break
    sleep 0.2
  done
  window="$(xdotool search --name "^Quorvel EXE Packager$" | head -1)"
  [ -n "$window" ] || { echo "the packager window did not appear" >&2; wineserver -k; exit 1; }
  sleep 1
  import -window root "$shot"
  xdotool windowactivate --sync "$window" key --clearmodifiers alt+f e >/dev/null 2>&1 || true
  for _ in $(seq 1 50); do
    xdotool search --name "^Quorvel EXE Packager$" >/dev/null 2>&1 || break
    sleep 0.2
  done
  wineserver -k || true
' run-packager "$exe" "$shot" "$@"
echo "Screenshot of the packager: $shot"
