#!/usr/bin/env bash
# check-helpers.sh: each shared helper below is defined in one home, and no
# file under src/ defines or declares a local copy of it (a function or a
# lambda of that name). Comments are not searched. Prints each copy and fails
# when there is one.
#
#   scripts/check-helpers.sh              check this tree
#   scripts/check-helpers.sh --self-test  show that the check passes on a copy
#                                         of this tree and fails once a local
#                                         copy of a helper is put back
#
# Helpers and their one home. Where two copies behaved differently, both
# behaviours are kept in the home under names that say the difference (see
# the comments there): mod360 and mod360_nonneg, wrap180 and wrap180_nonneg,
# wrap360 and wrap360_d, ...
# `publish` (a float written to a script's dataref) has no home of that name:
# it is the seam's script_set_f, or script_set_finite_f where a non-finite
# value must leave the script's value alone (core/host_io.h); so is
# finite_or_zero, which is finite_or(v, 0.0f).
declare -A home=(
  [as01]=src/core/util.h
  [finite_or]=src/core/util.h
  [finite_or_zero]=
  [publish]=
  [rem360]=src/core/util.h
  [rem360f]=src/core/util.h
  [mod360]=src/core/util.h
  [mod360_nonneg]=src/core/util.h
  [mod360_nonneg_d]=src/core/util.h
  [wrap360]=src/core/util.h
  [wrap360_d]=src/core/util.h
  [wrap180]=src/core/util.h
  [wrap180_d]=src/core/util.h
  [wrap180_nonneg]=src/core/util.h
  [wrap180_nonneg_d]=src/core/util.h
)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

names=$(printf '%s|' "${!home[@]}")
names=${names%|}

# check TREE: 0 when TREE/src defines each helper only in its home.
check() {
  local tree=$1 bad=0 file line name text
  while IFS=: read -r file line name text; do
    file=${file#"$tree"/}
    [[ $file == "${home[$name]}" ]] && continue
    if [[ -n ${home[$name]} ]]; then
      echo "check-helpers: $file:$line defines its own $name: use the one in ${home[$name]}"
    else
      echo "check-helpers: $file:$line defines its own $name: see scripts/check-helpers.sh for what replaces it"
    fi
    echo "               $text"
    bad=1
  done < <(find "$tree/src" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' -o -name '*.c' \) -print0 |
           sort -z | xargs -0 awk -v names="$names" '
             { code = $0; sub(/\/\/.*/, "", code) }
             match(code, "^[ \t]*((static|inline|constexpr|extern)[ \t]+)*(const[ \t]+)?(float|double|int|int32_t|bool|void|auto)[ \t]+(" names ")[ \t]*\\(") ||
             match(code, "(auto|const auto)[ \t]+(" names ")[ \t]*=[ \t]*\\[") {
               m = substr(code, RSTART, RLENGTH)
               sub(/[ \t]*[(=].*$/, "", m); n = split(m, w, /[ \t]+/)
               print FILENAME ":" FNR ":" w[n] ":" $0
             }')
  return $bad
}

if [[ ${1:-} == --self-test ]]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp -r "$root/src" "$work/src"
  if ! check "$work" >"$work/clean.log"; then
    cat "$work/clean.log"
    echo "check-helpers: self-test FAILED: the unchanged tree does not pass"
    exit 1
  fi
  target=src/core/variant.cpp
  printf '%s\n' '// inline float as01(bool b) would be a local copy' \
    'inline float as01(bool b) { return b ? 1.0f : 0.0f; }' \
    'static double mod360(double x) { return x; }' >>"$work/$target"
  if check "$work" >"$work/planted.log"; then
    echo "check-helpers: self-test FAILED: local copies in $target passed"
    exit 1
  fi
  if [[ $(grep -c "^check-helpers: $target:[0-9]* defines its own" "$work/planted.log") != 2 ]] ||
     ! grep -q "^check-helpers: $target:[0-9]* defines its own as01" "$work/planted.log" ||
     ! grep -q "^check-helpers: $target:[0-9]* defines its own mod360" "$work/planted.log"; then
    cat "$work/planted.log"
    echo "check-helpers: self-test FAILED: the planted copies were not the ones reported"
    exit 1
  fi
  echo "check-helpers: self-test ok (a local as01 and mod360 put back in $target are refused)"
  exit 0
fi

if ! check "$root"; then
  echo "check-helpers: FAILED"
  exit 1
fi
echo "check-helpers: ok"
