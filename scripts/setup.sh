#!/usr/bin/env bash
# Everything a fresh machine of this kind needs before a build: Debian's
# packages, the cross-built Windows libraries and the Wine prefix. Each step
# does nothing when its result is already there.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/install-packages.sh"
"$here/build-win32-deps.sh"
"$here/setup-wine-prefix.sh"
