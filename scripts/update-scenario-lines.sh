#!/usr/bin/env bash
# Rewrites the stored line captures of the sample scenarios
# (tests/simhost/scenarios/*.lines) from the current build. Run it on purpose
# after a deliberate drawing change, look at the pictures
# (scripts/pictures.sh), and commit the new references with the change.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${BUILD_DIR:-build}
cmake --build "$build" --target scenario-lines corvane_module >/dev/null
for f in sample/scenarios/*.txt; do
  name=$(basename "$f" .txt)
  "$build/tests/scenario-lines" "$build/aircraft/plugins/corvane/64/lin.xpl" sample/root/ "$f" \
    "tests/simhost/scenarios/$name.lines"
done
