#!/usr/bin/env bash
# Runs the Windows tests of a build folder through Wine inside a virtual X
# server: scripts/run-win32-tests.sh build/win32 [ctest arguments...]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:?usage: run-win32-tests.sh BUILD_DIR [ctest args]}"
shift
. "$here/wine-env.sh"

# Wine's helper processes would keep CTest's output pipes open; a wineserver
# started beforehand (and ended afterwards) keeps each test quick and ends
# them all.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  build="$1"; shift
  wineserver -p
  wine cmd /c exit 0 >/dev/null 2>&1 </dev/null || true
  status=0
  ctest --test-dir "$build" -L win32 --output-on-failure "$@" || status=$?
  wineserver -k || true
  exit $status
' run-win32-tests "$build" "$@"
