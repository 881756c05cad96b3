#!/usr/bin/env bash
# check-seam.sh: no file under src/ calls the host's dataref getters and
# setters (XPLMGetData* / XPLMSetData*) directly, except the seam in
# src/core/ (core/host_io.h and core/binding_mirror.cpp: the poll, read_now_*,
# host_set_*, host_send_*, script_set_*). src/platform/xplm.h declares them
# and is not searched; the import lists of src/module/ are not source files.
# Comments are not searched. Prints each direct call and fails when there is
# one.
#
#   scripts/check-seam.sh              check this tree
#   scripts/check-seam.sh --self-test  show that the check passes on a copy of
#                                      this tree and fails once a direct call
#                                      is put back outside the seam
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# The seam's own folder and the files that name the calls without making them.
is_seam() {
  case "$1" in src/core/*|src/platform/*) return 0 ;; esac
  return 1
}

# check TREE: 0 when TREE/src has no direct call outside the seam.
check() {
  local tree=$1 bad=0 file line text
  while IFS=: read -r file line text; do
    file=${file#"$tree"/}
    is_seam "$file" && continue
    echo "check-seam: $file:$line calls the host directly: $text"
    echo "            read through a mirror or read_now_*, write through host_set_*, host_send_* or script_set_* (core/host_io.h)"
    bad=1
  done < <(find "$tree/src" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' -o -name '*.c' \) -print0 |
           sort -z | xargs -0 awk '{ code = $0; sub(/\/\/.*/, "", code) }
             code ~ /XPLM(Get|Set)Data(i|f|d|vi|vf|b)[ \t]*\(/ { print FILENAME ":" FNR ":" $0 }')
  return $bad
}

if [[ ${1:-} == --self-test ]]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp -r "$root/src" "$work/src"
  if ! check "$work" >"$work/clean.log"; then
    cat "$work/clean.log"
    echo "check-seam: self-test FAILED: the unchanged tree does not pass"
    exit 1
  fi
  # A direct read put back outside the seam, after a commented one that must
  # not count.
  target=
  while IFS= read -r f; do
    f=${f#"$work"/}
    is_seam "$f" || { target=$f; break; }
  done < <(find "$work/src" -type f -name '*.cpp' | sort)
  [[ -n $target ]] || { echo "check-seam: self-test FAILED: no source file outside the seam to plant a call in"; exit 1; }
  printf '%s\n' '// XPLMGetDataf(handle(bound::sim_time_paused)) would bypass the seam' \
    'float planted_read() { return XPLMGetDataf(nullptr); }' >>"$work/$target"
  if check "$work" >"$work/planted.log"; then
    echo "check-seam: self-test FAILED: a direct call in $target passed"
    exit 1
  fi
  if ! grep -q "^check-seam: $target:[0-9]* calls the host directly: float planted_read" "$work/planted.log" ||
     [[ $(grep -c 'calls the host directly' "$work/planted.log") != 1 ]]; then
    cat "$work/planted.log"
    echo "check-seam: self-test FAILED: the planted call was not the one reported"
    exit 1
  fi
  echo "check-seam: self-test ok (a direct call put back in $target is refused)"
  exit 0
fi

if ! check "$root"; then
  echo "check-seam: FAILED"
  exit 1
fi
echo "check-seam: ok"
