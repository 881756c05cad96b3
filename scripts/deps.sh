#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine; with
# --wine also Wine, which runs the Windows build.
set -euo pipefail
pkgs=(cmake ninja-build g++ python3 libgtest-dev libgmock-dev libbenchmark-dev
      libosmesa6-dev libpng-dev g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 clang universal-ctags)
if [ "${1:-}" = "--wine" ]; then pkgs+=(wine64); fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
