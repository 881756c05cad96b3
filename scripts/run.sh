#!/usr/bin/env bash
# Installs what it needs, builds the plug-in's module and the simulated host's
# runner (only those: scripts/test.sh builds the tests and benchmarks), and
# runs the plug-in in the simulated host. Without arguments it plays the
# sample departure (sample/scenarios/departure.txt) and ends with a short
# summary: frames, simulated time, legs sequenced, the pictures written (into
# build/pictures/) and the host log. Arguments go to corvane-sim as they are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo --target corvane-sim corvane_module
if [ $# -eq 0 ]; then
  mkdir -p build/pictures
  cd build/pictures
  exec ../corvane-sim --scenario "$root/sample/scenarios/departure.txt" --summary
fi
exec build/corvane-sim "$@"
