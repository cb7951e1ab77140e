#!/usr/bin/env bash
# Sets up, builds and runs every test: native first (Debug, ASan + UBSan),
# then the Windows programs under Wine inside a virtual X server. Stops every
# process it started.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
cd "$root"

"$here/setup.sh"

echo "== native build and tests"
"$here/build.sh" native
ctest --test-dir build/native -L native -j"$(nproc)" --output-on-failure

echo "== Windows build and tests (Wine + Xvfb)"
"$here/build.sh" win32
"$here/run-win32-tests.sh" build/win32
