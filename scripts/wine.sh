#!/usr/bin/env bash
# wine.sh PROGRAM.exe [ARGS...]: runs a Windows program of the build under
# Wine, in a Wine prefix of our own (build-win/wine-prefix unless WINEPREFIX
# is set), without Wine's debug chatter or its offer to install Mono and Gecko.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build-win/wine-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
for w in wine64 /usr/lib/wine/wine64 wine; do
  if command -v "$w" >/dev/null 2>&1; then exec "$w" "$@"; fi
done
echo "wine.sh: Wine is not installed (scripts/deps.sh --wine installs it)" >&2
exit 127
