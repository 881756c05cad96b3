#!/usr/bin/env bash
# mutate.sh [N] [SEED] [--only PATH] [-j JOBS]: make N small faults (default
# 50) in the hand-written sources, one at a time, in a private copy of the
# tree, and report which ones the test suite catches. The working tree is
# never changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
exec python3 "$root/tools/mutate.py" "$@"
