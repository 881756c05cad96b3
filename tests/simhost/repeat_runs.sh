#!/usr/bin/env bash
# Runs one command RUNS times, PARALLEL at a time, each allowed LIMIT seconds,
# and fails naming every run that did not end by itself in time or ended with
# another status than STATUS: a process that hangs at exit now and then is
# caught here, not by a whole suite waiting for it.
#   repeat_runs.sh RUNS PARALLEL LIMIT STATUS COMMAND [ARG...]
set -u
if [ $# -lt 5 ]; then
  echo "usage: $0 RUNS PARALLEL LIMIT STATUS COMMAND [ARG...]" >&2
  exit 2
fi
runs=$1 parallel=$2 limit=$3 want=$4
shift 4
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

one() {
  local n=$1
  shift
  timeout -k 5 "$limit" "$@" >"$logs/$n.out" 2>&1
  echo $? >"$logs/$n.status"
}

active=0
for ((n = 1; n <= runs; n++)); do
  one "$n" "$@" &
  active=$((active + 1))
  if [ "$active" -ge "$parallel" ]; then
    wait -n
    active=$((active - 1))
  fi
done
wait

bad=0
for ((n = 1; n <= runs; n++)); do
  status=$(cat "$logs/$n.status" 2>/dev/null || echo none)
  if [ "$status" = 124 ] || [ "$status" = 137 ]; then
    echo "run $n of $runs did not end within $limit s"
  elif [ "$status" != "$want" ]; then
    echo "run $n of $runs ended with status $status, expected $want"
  else
    continue
  fi
  bad=$((bad + 1))
  tail -n 20 "$logs/$n.out"
done
if [ "$bad" -gt 0 ]; then
  echo "$bad of $runs runs failed"
  exit 1
fi
echo "$runs of $runs runs ended by themselves with status $want"
