#!/usr/bin/env bash
# Installs what it needs, builds, and runs every test.
#   scripts/test.sh          normal build and tests
#   scripts/test.sh --ci     also the sanitizer run, the Windows module check, the
#                            Windows module run under Wine against the Linux one,
#                            the install archive (scripts/package.sh),
#                            and every fuzz target for 15 s (scripts/fuzz.sh runs one longer);
#                            the checks against the shared tables are required
#                            (without the tables the run fails, naming the file)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
ci=0
[ "${1:-}" = "--ci" ] && ci=1
# CI also runs the Windows build under Wine; one package update covers both.
if [ $ci = 1 ]; then scripts/deps.sh --wine; else scripts/deps.sh; fi
jobs=$(nproc)
required=$([ $ci = 1 ] && echo ON || echo OFF)

scripts/check-layers.sh
scripts/check-seam.sh
scripts/check-helpers.sh
scripts/check-one-home.py
scripts/check-house.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_REQUIRE_HOST_LISTS=$required
scripts/ctest.sh build --output-on-failure -j "$jobs"
scripts/check-module.sh linux build/aircraft/plugins/corvane/64/lin.xpl
if [ $ci = 0 ]; then
  lists=$(sed -n 's/^CORVANE_HOST_LISTS:PATH=//p' build/CMakeCache.txt)
  for table in host_datarefs.tsv bound_datarefs.tsv published_datarefs.tsv commands.tsv host_commands.tsv \
      own_commands_issued.tsv; do
    if [ ! -f "$lists/$table" ]; then
      echo "test.sh: the checks against the shared tables were skipped: no $lists/$table"
      break
    fi
  done
fi

if [ $ci = 1 ]; then
  scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON -DCORVANE_BENCHMARKS=OFF \
    -DCORVANE_REQUIRE_HOST_LISTS=ON
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    scripts/ctest.sh build-asan --output-on-failure -j "$jobs"
  scripts/build.sh build-win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCORVANE_MODULE_ONLY=OFF -DCMAKE_BUILD_TYPE=Release
  scripts/check-module.sh windows build-win/aircraft/plugins/corvane/64/win.xpl
  CORVANE_REQUIRE_SHARED=1 scripts/test-windows.sh build build-win
  # The install archive, both modules checked again as they ship.
  scripts/package.sh
  # Every target of the fuzz build (clang), each from its seeds in fuzz/corpus/<target>/.
  scripts/fuzz.sh --build
  # Each target runs with a temporary folder of its own, which must be empty
  # when it ends, and leaves nothing of its own (corvane*) in /tmp either.
  ours() { find /tmp -maxdepth 1 -name 'corvane*' 2>/dev/null | sort; }
  before=$(ours)
  for target in $(scripts/fuzz.sh --list); do
    log="build-fuzz/$target.log"
    scratch=$(mktemp -d)
    if ! TMPDIR="$scratch" scripts/fuzz.sh "$target" 15 >"$log" 2>&1; then
      tail -n 60 "$log"
      echo "fuzz target $target failed; its log: $log" >&2
      exit 1
    fi
    left=$( (ls -A "$scratch" | sed "s|^|$scratch/|"; comm -13 <(echo "$before") <(ours)) | sed '/^$/d')
    if [ -n "$left" ]; then
      echo "$left"
      echo "fuzz target $target left the files above in the temporary folder" >&2
      exit 1
    fi
    rmdir "$scratch"
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$log" | sed "s/^/$target /"
  done
fi
