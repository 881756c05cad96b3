#!/usr/bin/env bash
# check-house.sh: the repository's root holds only its short list of files
# (the build, the README and .gitignore); everything else lives in a folder,
# and what a run leaves where it was started (traces, pictures) is kept out
# by .gitignore. Prints each stray file and fails when there is one.
#
#   scripts/check-house.sh              check this tree: its committed files,
#                                       or every file when it is not a checkout
#   scripts/check-house.sh --self-test  show that the check passes on this tree
#                                       and fails once a file is added at its root
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
allowed=(.gitignore CMakeLists.txt README.md)

root_files() {
  if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$root" ls-files | grep -v / || true
  else
    find "$root" -maxdepth 1 -type f -printf '%f\n'
  fi
}

# check: reads the root's file names, one a line; 0 when each is on the list.
check() {
  local bad=0 name ok a
  while IFS= read -r name; do
    ok=0
    for a in "${allowed[@]}"; do [[ $name == "$a" ]] && ok=1; done
    if [[ $ok == 0 ]]; then
      echo "check-house: $name at the repository's root; give it a folder (the root keeps ${allowed[*]})"
      bad=1
    fi
  done
  return $bad
}

if [[ ${1:-} == --self-test ]]; then
  if ! root_files | check; then
    echo "check-house: self-test FAILED: the unchanged tree does not pass"
    exit 1
  fi
  if { root_files; echo trace.csv; } | check >/dev/null; then
    echo "check-house: self-test FAILED: a trace at the root passes"
    exit 1
  fi
  echo "check-house: self-test passed"
  exit 0
fi

root_files | check
