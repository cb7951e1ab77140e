# Sourced by the other scripts: the one 32-bit Wine prefix the project uses,
# kept in the cache outside the clone.
export QUORVEL_CACHE="${QUORVEL_CACHE:-$HOME/.cache/quorvel}"
export WINEPREFIX="${WINEPREFIX:-$QUORVEL_CACHE/wine}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
# Wine must not offer to download Mono or Gecko: there is no network for it.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Wine's sound goes through ALSA to a null device (see the file).
export ALSA_CONFIG_PATH="${ALSA_CONFIG_PATH:-$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-alsa-null.conf}"
