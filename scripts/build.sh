#!/usr/bin/env bash
# build.sh DIR [cmake options...] [--target NAME...]: configure and build into
# DIR; everything, or only the named targets (and what they need).
set -euo pipefail
dir=$1; shift
root=$(cd "$(dirname "$0")/.." && pwd)
options=()
targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = --target ]; then
    shift
    targets=("$@")
    break
  fi
  options+=("$1")
  shift
done
cmake -S "$root" -B "$dir" -G Ninja "${options[@]}" >/dev/null
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"
else
  cmake --build "$dir" -j "$(nproc)"
fi
