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
# src/module holds the loadable module's glue and is not checked. Each
# include is first resolved to its file, so a climb through "../" or a name
# in angle brackets is judged by the layer it reaches.
#
#   scripts/check-layers.sh              check this tree
#   scripts/check-layers.sh --self-test  show that the check passes on a copy
#                                        of src/ and fails once core/ includes
#                                        a file of lnav/ through "../" or in
#                                        angle brackets
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [[ ${1:-} == --self-test ]]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp -r "$root/src" "$work/src"
  if ! out=$("$0" --src "$work/src"); then
    echo "$out"
    echo "check-layers: self-test FAILED: the unchanged tree does not pass"
    exit 1
  fi
  cp "$work/src/core/util.cpp" "$work/util.cpp"
  for plant in '#include "../lnav/route/route_state.h"' '#include <lnav/route/route_state.h>'; do
    { cat "$work/util.cpp"; echo "$plant"; } >"$work/src/core/util.cpp"
    if out=$("$0" --src "$work/src" --only core/util.cpp); then
      echo "check-layers: self-test FAILED: core/util.cpp passes with $plant"
      exit 1
    fi
    if ! grep -q "^check-layers: core/util.cpp:[0-9]*: *includes .*, which is lnav/route/route_state.h" <<<"$out"; then
      echo "$out"
      echo "check-layers: self-test FAILED: $plant was not the include reported"
      exit 1
    fi
  done
  echo "check-layers: self-test ok (core/ including lnav/ through \"../\" or in angle brackets is refused)"
  exit 0
fi
src="$root/src"
only=
[[ ${1:-} == --src ]] && src=$2
[[ ${3:-} == --only ]] && only=$4
cd "$src"

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

# normal PATH: PATH with its "." and ".." steps taken, into $normal; empty
# when it climbs out of src/. Done in the shell: a process for each of the
# tree's includes would make the check slow.
normal() {
  local -a out=()
  local step
  IFS=/ read -ra steps <<<"$1"
  for step in "${steps[@]}"; do
    case $step in
      ''|.) ;;
      ..) (( ${#out[@]} )) || { normal=; return; }; unset 'out[${#out[@]}-1]' ;;
      *) out+=("$step") ;;
    esac
  done
  local IFS=/
  normal="${out[*]}"
}

# resolve FILE INCLUDE QUOTED: the include's file as a path under src/, as
# the compiler finds it (a quoted include first beside its file, then on the
# include path, which is src/ alone), into $target; empty when it is not one
# of ours (the C and C++ libraries, the generated headers of the build tree).
resolve() {
  target=
  if [[ $3 == 1 ]]; then
    normal "${1%/*}/$2"
    [[ -n $normal && -f $normal ]] && { target=$normal; return; }
  fi
  normal "$2"
  [[ -n $normal && -f $normal ]] && target=$normal
  return 0
}

while IFS= read -r file; do
  top=${file%%/*}
  [[ -v layer[$top] ]] || { [[ $top == module ]] && continue; echo "check-layers: $file: folder '$top' has no layer"; bad=1; continue; }
  while IFS=: read -r line text; do
    if [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]*)\" ]]; then
      quoted=1
    elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\<([^\>]*)\> ]]; then
      quoted=0
    else
      continue
    fi
    inc=${BASH_REMATCH[1]}
    resolve "$file" "$inc" $quoted
    [[ -n $target ]] || continue                         # not one of ours
    itop=${target%%/*}
    [[ -v layer[$itop] ]] || continue
    if (( layer[$itop] > layer[$top] )); then
      is_exception "$file" "$target" && continue
      echo "check-layers: $file:$line: includes $inc, which is $target (${itop} is above ${top})"
      bad=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "$file" || true)
done < <(if [[ -n $only ]]; then echo "$only"; else
           find . -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' -o -name '*.c' \) | sed 's|^\./||' | sort; fi)

if (( bad )); then
  echo "check-layers: FAILED"
  exit 1
fi
echo "check-layers: ok (${#exceptions[@]} exceptions)"
