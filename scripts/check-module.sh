#!/usr/bin/env bash
# check-module.sh linux|windows FILE: the module exports exactly the five entry
# points, and (Windows) imports only from the host, the system and OpenGL.
set -euo pipefail
kind=$1 file=$2
want=$'XPluginDisable\nXPluginEnable\nXPluginReceiveMessage\nXPluginStart\nXPluginStop'
if [ "$kind" = linux ]; then
  got=$(nm -D --defined-only "$file" | awk '{print $3}' | sort)
else
  got=$(x86_64-w64-mingw32-objdump -p "$file" | awk '/Ordinal\/Name Pointer/{t=1;next} t && /^[[:space:]]*\[/{print $NF;next} {t=0}' | sort)
  dlls=$(x86_64-w64-mingw32-objdump -p "$file" | awk '/DLL Name:/{print $3}' | sort -u)
  for d in $dlls; do
    case "${d,,}" in
      xplm_64.dll|kernel32.dll|user32.dll|gdi32.dll|msvcrt.dll|opengl32.dll|advapi32.dll|shell32.dll|ucrtbase.dll|api-ms-win-*) ;;
      *) echo "$file imports $d, which a user's machine may not have"; exit 1 ;;
    esac
  done
  echo "$file imports: $(echo $dlls)"
fi
if [ "$got" != "$want" ]; then
  echo "$file exports:"; echo "$got"; echo "expected exactly the five entry points"; exit 1
fi
echo "$file exports exactly the five entry points"
