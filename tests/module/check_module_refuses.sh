#!/usr/bin/env bash
# check_module_refuses.sh CHECK MODULE: the check fails on the module and
# names both of its faults.
out=$(bash "$1" linux "$2" 2>&1)
rc=$?
echo "$out"
[ "$rc" -ne 0 ] || { echo "the check passed a module it must refuse"; exit 1; }
grep -q "imports XPLMGetMETARForAirport" <<<"$out" || { echo "the newer host function was not named"; exit 1; }
grep -q "needs GLIBC_2.36 (arc4random" <<<"$out" || { echo "the newer C library symbol was not named"; exit 1; }
