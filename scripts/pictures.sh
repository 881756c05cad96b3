#!/usr/bin/env bash
# Regenerates docs/pictures/*.png: plays every sample scenario in
# sample/scenarios/ with corvane-sim and keeps each `png` step's picture,
# cropped to what the displays drew.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${BUILD_DIR:-build}
cmake --build "$build" --target corvane-sim >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p docs/pictures
for f in sample/scenarios/*.txt; do
  (cd "$work" && "$root/$build/corvane-sim" --scenario "$root/$f" >/dev/null)
done
for p in "$work"/*.png; do
  python3 tools/png_crop.py "$p" "docs/pictures/$(basename "$p")"
  echo "docs/pictures/$(basename "$p")"
done
