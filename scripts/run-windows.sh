#!/usr/bin/env bash
# Installs what it needs (Wine included), cross-builds the Windows module and
# the simulated host for Windows, and runs win.xpl in corvane-sim.exe under
# Wine on the bundled sample, printing the host log. Extra arguments go to
# corvane-sim.exe, whose options are corvane-sim's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/deps.sh --wine
scripts/build.sh build-win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCORVANE_MODULE_ONLY=OFF -DCMAKE_BUILD_TYPE=Release
if [ $# -eq 0 ]; then set -- --frames 300 --log; fi
exec scripts/wine.sh build-win/corvane-sim.exe "$@"
