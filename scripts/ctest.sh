#!/usr/bin/env bash
# ctest.sh: runs a build's tests with ctest and ends with the ten slowest
# tests that ran, with their times (what keeps the suite long, and a test
# nearing its limit, named where it can be seen), then the names of the
# tests that ran out of their time limit, each on a line of its own, so a
# hang is named where a reader looks last; the status is ctest's.
#
#   scripts/ctest.sh BUILD_DIR [CTEST_OPTION...]
#   scripts/ctest.sh --self-test   a test made to sleep past its limit fails,
#                                  named, and the test after it still runs
set -uo pipefail

run() {
  local dir=$1
  shift
  local log status
  log=$(mktemp)
  ctest --test-dir "$dir" "$@" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  # ctest's line for each test: "  3/40 Test  #7: name ....   Passed   12.34 sec".
  local slowest
  slowest=$(sed -n 's/^ *[0-9][0-9]*\/[0-9][0-9]* *Test *#[0-9][0-9]*: \([^ ]*\) .* \([0-9][0-9.]*\) sec$/\2 \1/p' "$log" \
    | sort -rn | head -n 10)
  if [ -n "$slowest" ]; then
    echo
    echo "ctest.sh: the ten slowest tests (seconds each took):"
    while read -r seconds name; do printf 'ctest.sh: SLOW %9s  %s\n' "$seconds" "$name"; done <<<"$slowest"
  fi
  # ctest's summary: "<tab>  12 - name (Timeout)".
  local timed_out
  timed_out=$(sed -n 's/^[[:space:]]*[0-9][0-9]* - \(.*\) (Timeout)$/\1/p' "$log")
  rm -f "$log"
  if [ -n "$timed_out" ]; then
    echo
    echo "ctest.sh: ran out of time (hung, or slower than its limit):"
    while IFS= read -r name; do echo "ctest.sh: TIMEOUT $name"; done <<<"$timed_out"
  fi
  return "$status"
}

self_test() {
  local dir out
  dir=$(mktemp -d)
  trap 'rm -rf "$dir"' RETURN
  mkdir -p "$dir/src"
  cat >"$dir/src/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.16)
project(time_limit_self_test NONE)
enable_testing()
add_test(NAME sleeps_past_its_limit COMMAND sleep 30)
set_tests_properties(sleeps_past_its_limit PROPERTIES TIMEOUT 1)
add_test(NAME runs_after_it COMMAND true)
EOF
  if ! cmake -S "$dir/src" -B "$dir/build" >/dev/null; then
    echo "ctest.sh: self-test FAILED: cannot configure the sample project"
    return 1
  fi
  if out=$(run "$dir/build" -j1); then
    echo "$out"
    echo "ctest.sh: self-test FAILED: a test past its limit passed"
    return 1
  fi
  if ! grep -qx "ctest.sh: TIMEOUT sleeps_past_its_limit" <<<"$out" \
      || ! grep -q "runs_after_it .*Passed" <<<"$out" \
      || ! grep -q "^ctest.sh: SLOW  *[0-9.]*  sleeps_past_its_limit$" <<<"$out"; then
    echo "$out"
    echo "ctest.sh: self-test FAILED: the test past its limit is not named (slowest, timed out), or the next did not run"
    return 1
  fi
  echo "ctest.sh: self-test passed"
}

if [ "${1:-}" = --self-test ]; then
  self_test
  exit $?
fi
if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [CTEST_OPTION...] | --self-test" >&2
  exit 2
fi
run "$@"
