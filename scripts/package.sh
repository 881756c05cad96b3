#!/usr/bin/env bash
# package.sh: builds the Linux and Windows modules (Release, module only) and
# writes build/package/corvane-<version>.zip, laid out to unpack into an
# aircraft folder: plugins/corvane/64/lin.xpl and win.xpl, and a short text
# saying where it goes (scripts/package-readme.txt, its version filled in). Both modules pass scripts/check-module.sh first.
# The version is the CMake project version.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/deps.sh

version=$(sed -n 's/^project(corvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package.sh: no project version in CMakeLists.txt" >&2; exit 1; }

scripts/build.sh build-package/lin -DCMAKE_BUILD_TYPE=Release -DCORVANE_MODULE_ONLY=ON
scripts/build.sh build-package/win -DCMAKE_BUILD_TYPE=Release -DCORVANE_MODULE_ONLY=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"
lin=build-package/lin/aircraft/plugins/corvane/64/lin.xpl
win=build-package/win/aircraft/plugins/corvane/64/win.xpl
scripts/check-module.sh linux "$lin"
scripts/check-module.sh windows "$win"

mkdir -p build/package
zip=build/package/corvane-$version.zip
python3 - "$zip" "$lin" "$win" "$version" scripts/package-readme.txt <<'PY'
import sys, zipfile
out, lin, win, version = sys.argv[1:5]
readme = open(sys.argv[5], encoding="utf-8").read().replace("{version}", version)
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    z.write(lin, "plugins/corvane/64/lin.xpl")
    z.write(win, "plugins/corvane/64/win.xpl")
    z.writestr("plugins/corvane/README.txt", readme)
PY
echo "$zip"
