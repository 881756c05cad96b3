#!/usr/bin/env bash
# Fuzzing with libFuzzer (clang), built into build-fuzz/ apart from the main build.
#   scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]   build, then run one target
#   scripts/fuzz.sh --build                                 build every target
#   scripts/fuzz.sh --list                                  list the targets, built or not
# A run starts from the seeds in fuzz/corpus/TARGET/ (left as committed) and
# keeps what it finds in build-fuzz/corpus/TARGET/, so a later run goes on
# from there; a crashing input lands in build-fuzz/crashes/TARGET/.
# fuzz/dict/TARGET.dict, when present, is the target's dictionary.
# FUZZ_JOBS=N runs N processes of the target at once (default 1).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
dir="$root/build-fuzz"

build() {
  CC=clang CXX=clang++ cmake -S fuzz -B "$dir" -G Ninja >/dev/null
  cmake --build "$dir" -j "${FUZZ_BUILD_JOBS:-$(nproc)}"
}

# Every executable the fuzz build declares (fuzz/CMakeLists.txt), so that a
# fresh checkout names them before anything is built.
list() {
  sed -n 's/^[[:space:]]*\(add_executable\|corvane_fuzz_target\)(\([A-Za-z0-9_]\{1,\}\).*/\2/p' "$root/fuzz/CMakeLists.txt"
}

case "${1:-}" in
  --build) build; exit 0 ;;
  --list) list; exit 0 ;;
  ""|-*) sed -n '2,10p' "$0"; exit 2 ;;
esac

target=$1
seconds=${2:?seconds}
shift 2
build >/dev/null
[ -x "$dir/$target" ] || { echo "no fuzz target $target; the targets: $(list | tr '\n' ' ')" >&2; exit 2; }

work="$dir/corpus/$target"
crashes="$dir/crashes/$target/"
mkdir -p "$work" "$crashes"
corpora=("$work")
[ -d "$root/fuzz/corpus/$target" ] && corpora+=("$root/fuzz/corpus/$target")
opts=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$crashes")
[ -f "$root/fuzz/dict/$target.dict" ] && opts+=(-dict="$root/fuzz/dict/$target.dict")
jobs=${FUZZ_JOBS:-1}
[ "$jobs" -gt 1 ] && opts+=(-jobs="$jobs" -workers="$jobs")
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
echo "fuzzing $target for ${seconds}s from ${corpora[*]}"
cd "$dir"  # where parallel jobs leave their fuzz-N.log files
exec "$dir/$target" "${opts[@]}" "$@" "${corpora[@]}"
