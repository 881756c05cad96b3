#!/usr/bin/env bash
# Installs what it needs, builds, and runs the plug-in in the simulated host on
# the bundled sample, printing the host log. Extra arguments go to corvane-sim.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ $# -eq 0 ]; then set -- --frames 300 --log; fi
exec build/corvane-sim "$@"
