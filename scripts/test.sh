#!/usr/bin/env bash
# Sets up, builds and runs every test: native first (Debug, ASan + UBSan),
# then a short fuzzing run of the SWF engine, then the Windows programs
# under Wine inside a virtual X server. Stops every process it started.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
cd "$root"

"$here/setup.sh"

echo "== native build and tests"
"$here/build.sh" native
ctest --test-dir build/native -L native -j"$(nproc)" --output-on-failure

echo "== SWF engine fuzzing for 60 s (clang, ASan + UBSan); a finding fails the run"
"$here/fuzz.sh" 40 swf_player_fuzzer
"$here/fuzz.sh" 20 interpreter_fuzzer

echo "== Windows build and tests (Wine + Xvfb)"
"$here/build.sh" win32
"$here/run-win32-tests.sh" build/win32
