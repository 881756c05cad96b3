#!/usr/bin/env bash
# package.sh: builds the Linux and Windows modules (Release, module only) and
# writes build/package/corvane-<version>.zip, laid out to unpack into an
# aircraft folder: plugins/corvane/64/lin.xpl and win.xpl, and a short text
# saying where it goes. Both modules pass scripts/check-module.sh first.
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
python3 - "$zip" "$lin" "$win" "$version" <<'PY'
import sys, zipfile
out, lin, win, version = sys.argv[1:]
readme = f"""Corvane {version}

INSTALL
Unpack this archive into the aircraft's folder (the folder that holds its
.acf file), so that the modules land in

    <aircraft>/plugins/corvane/64/lin.xpl   (Linux)
    <aircraft>/plugins/corvane/64/win.xpl   (64-bit Windows)

Supported hosts: X-Plane 11.40 and later, and X-Plane 12 from 12.08, on
Linux with glibc 2.31 or later and on 64-bit Windows. There is no macOS
module. The aircraft folder also needs its airport, runway and gate lists
(Velar_apt.dat, Velar_rnw.dat, Velar_gate.dat), its ground-service objects
(objects/GSE/) and its scripts, as the aircraft ships them.

UNINSTALL
Delete the folder plugins/corvane/. The plug-in keeps no settings; the only
files it writes are the situations the aircraft's scripts ask it to save.
They stay in the host's Output/situations/ folder (for example
737_80NG_01.sit, or 01.sit for an aircraft file the plug-in does not know,
with a one-line mark 01.sit.other beside it: a MAX loads an old bare 01.sit
while its own file is missing, but not one with that mark). The panel-state
string belongs to the aircraft's scripts.

TROUBLESHOOTING
The host's log is Log.txt in the X-Plane folder; it is rewritten at every
start. A normal start logs "Corvane plugin running.", "Corvane plugin:
Reading navigation data..." and a "Loaded file" line for earth_nav.dat,
earth_fix.dat, Velar_apt.dat, Velar_rnw.dat and Velar_gate.dat. A line
"WARNING - I didn't find file >.../Global Airports/Earth nav data/...< !!!"
followed by a "Loaded file" line from "Resources/default data" is normal
(X-Plane 12 keeps its navigation data there).

Real problems:
- no "Corvane plugin running." line: the host did not load the plug-in;
  check the folder layout, the host version and the system above;
- "didn't find file" for a Velar_*.dat file: the plug-in is not in this
  aircraft's plugins/corvane/ folder, or the aircraft's lists are missing;
- "didn't find file" for Resources/default data/earth_nav.dat or
  earth_fix.dat: the host has no navigation data; repair it, or put both
  files of a navigation data set into Custom Data/;
- "holds no navaids" or "holds no fixes": that file opened but gave
  nothing; for Custom Data/ the update is then not used and the host's own
  data is read instead: install the update again;
- "holds no airports" (runways, gates) for a Velar_*.dat file: the
  aircraft's list is empty or damaged; restore it from the aircraft;
- "could not save situation file": make Output/situations/ writable;
- "could not load situation file": that slot was never saved; nothing
  changed;
- "panel state did not fit, not saved.": send a report;
- "running", but the cockpit stays dead: the aircraft's scripts (xlua) are
  not running; look for their errors in the log.

To report a problem, send the host's version and your system, the whole
Log.txt of that session (copy it before starting the host again), this
archive's version ("Corvane {version}"), the aircraft's .acf file name, and
what you did before it happened.
"""
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    z.write(lin, "plugins/corvane/64/lin.xpl")
    z.write(win, "plugins/corvane/64/win.xpl")
    z.writestr("plugins/corvane/README.txt", readme)
PY
echo "$zip"
