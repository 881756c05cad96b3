#!/usr/bin/env bash
# check-layers.sh: every file under src/ includes only headers of its own
# layer or below. Prints each offending include and fails when there is one.
#
# Layers, bottom first; folders in one bracket are peers and may include each
# other:
#   platform < core < navdata < [lnav systems engines alerting display]
#            < [publication commands] < datarefs < aircraft
# (publication is the dataref engine and the writers that act on the
# subsystems; only the registration lists in datarefs use it).
# src/module holds the loadable module's glue and is not checked.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/src"

declare -A layer=(
  [platform]=0
  [core]=1
  [navdata]=2
  [lnav]=3 [systems]=3 [engines]=3 [alerting]=3 [display]=3
  [publication]=4 [commands]=4
  [datarefs]=5
  [aircraft]=6
)

# Known exceptions, "file include  reason". There are none; the list may
# never name a file of src/core or src/navdata.
exceptions=()

is_exception() {
  local e
  case "$1" in core/*|navdata/*) return 1 ;; esac
  for e in "${exceptions[@]}"; do
    [[ "$e" == "$1 $2 "* ]] && return 0
  done
  return 1
}

bad=0
for e in "${exceptions[@]}"; do
  case "$e" in core/*|navdata/*) echo "check-layers: no exception is allowed for $e"; bad=1 ;; esac
done

while IFS= read -r file; do
  top=${file%%/*}
  [[ -v layer[$top] ]] || { [[ $top == module ]] && continue; echo "check-layers: $file: folder '$top' has no layer"; bad=1; continue; }
  while IFS=: read -r line inc; do
    inc=${inc#*\"}; inc=${inc%%\"*}
    itop=${inc%%/*}
    [[ $inc == */* ]] || continue                       # same-folder or generated include
    [[ -v layer[$itop] ]] || continue                   # not one of ours
    if (( layer[$itop] > layer[$top] )); then
      is_exception "$file" "$inc" && continue
      echo "check-layers: $file:$line includes $inc (${itop} is above ${top})"
      bad=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(find . -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' -o -name '*.c' \) | sed 's|^\./||' | sort)

if (( bad )); then
  echo "check-layers: FAILED"
  exit 1
fi
echo "check-layers: ok (${#exceptions[@]} exceptions)"
