#!/usr/bin/env bash
# check-module.sh linux|windows FILE: the module loads in every host and on
# every machine it claims. It exports exactly the five entry points; every host
# function it imports is one the oldest supported host has (the list in
# src/module/host_functions.txt); (Windows) it imports only from the host, the
# system and OpenGL; (Linux) it needs no C library symbol version newer than
# GLIBC_2.31. Every fault is reported before the script fails.
set -euo pipefail
kind=$1 file=$2
root=$(cd "$(dirname "$0")/.." && pwd)
glibc_floor=2.31
faults=0
fault() { echo "$file: $*"; faults=$((faults + 1)); }

want=$'XPluginDisable\nXPluginEnable\nXPluginReceiveMessage\nXPluginStart\nXPluginStop'
if [ "$kind" = linux ]; then
  got=$(nm -D --defined-only "$file" | awk '{print $3}' | sort)
  imports=$(nm -D --undefined-only "$file" | awk '{sub(/@.*/, "", $2); print $2}' | grep '^XPLM' | sort -u || true)
  # Each symbol version the module needs from the C library.
  versions=$(objdump -T "$file" | grep -o '(GLIBC_[^)]*)\|[[:space:]]GLIBC_[^[:space:]]*' | tr -d '() \t' | sort -uV)
  for v in $versions; do
    n=${v#GLIBC_}
    if ! [[ $n =~ ^[0-9]+(\.[0-9]+)*$ ]]; then
      fault "needs $v, which no released C library promises"
    elif [ "$(printf '%s\n%s\n' "$n" "$glibc_floor" | sort -V | tail -n 1)" != "$glibc_floor" ]; then
      fault "needs $v ($(objdump -T "$file" | grep -F "($v)" | awk '{print $NF}' | sort -u | tr '\n' ' ')), newer than GLIBC_$glibc_floor"
    fi
  done
  echo "$file needs C library versions up to $(echo "$versions" | tail -n 1)"
else
  dump=$(x86_64-w64-mingw32-objdump -p "$file")
  got=$(awk '/Ordinal\/Name Pointer/{t=1;next} t && /^[[:space:]]*\[/{print $NF;next} {t=0}' <<<"$dump" | sort)
  dlls=$(awk '/DLL Name:/{print $3}' <<<"$dump" | sort -u)
  for d in $dlls; do
    case "${d,,}" in
      xplm_64.dll|kernel32.dll|user32.dll|gdi32.dll|msvcrt.dll|opengl32.dll|advapi32.dll|shell32.dll|ucrtbase.dll|api-ms-win-*) ;;
      *) fault "imports $d, which a user's machine may not have" ;;
    esac
  done
  echo "$file imports: $(echo $dlls)"
  # The names imported from the host's library: the rows after its
  # "DLL Name" line up to the blank line ending its table.
  imports=$(awk 'tolower($0) ~ /dll name: xplm_64\.dll/{t=1;next} t && NF==0{t=0} t && NF>=3 && $1 ~ /^[0-9a-f]+$/{print $NF}' <<<"$dump" | sort -u)
fi

if [ -z "$imports" ]; then
  fault "imports no host function at all (the check cannot see them)"
fi
allowed=$(grep -v '^#' "$root/src/module/host_functions.txt" | grep . | sort -u)
for f in $imports; do
  grep -qx "$f" <<<"$allowed" || fault "imports $f, which the oldest supported host (X-Plane 11.10) lacks: look it up with XPLMFindSymbol"
done
echo "$file imports $(echo "$imports" | wc -l) host functions"

if [ "$got" != "$want" ]; then
  fault "exports:"; echo "$got"; echo "expected exactly the five entry points"
else
  echo "$file exports exactly the five entry points"
fi
if [ "$faults" -gt 0 ]; then
  echo "$file: $faults fault(s)"
  exit 1
fi
