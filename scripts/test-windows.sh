#!/usr/bin/env bash
# test-windows.sh LINUX_BUILD WINDOWS_BUILD: runs win.xpl under Wine in the
# Windows build of the simulated host and holds it against lin.xpl:
#   1. lifecycle and censuses: start, enable, frames, stop, unload with no
#      misuse and nothing left registered; the datarefs and commands it
#      registers equal the Linux module's (and the shared tables, when the
#      project's shared tools are at hand; with CORVANE_REQUIRE_SHARED=1, as
#      scripts/test.sh --ci runs it, their absence is a failure);
#   2. a flight of 6,000 frames on a root in the Windows host's form (drive
#      letter, backslashes, spaces, a long path, navigation files with CRLF
#      line ends), after which every published value must equal the Linux
#      module's (tests/comparison/compare.py), and the situation file the
#      module asks for is written where a Windows host would put it;
#   3. the sample scenarios, without their pictures, meet their expectations.
# Wine starts slowly, so everything that runs under it runs in few processes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lin=$(cd "$1" && pwd) win=$(cd "$2" && pwd)
export WINEPREFIX=${WINEPREFIX:-$win/wine-prefix}
wine() { "$root/scripts/wine.sh" "$@"; }
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "test-windows: $*" >&2; exit 1; }

module_win=$(wine winepath -w "$win/aircraft/plugins/corvane/64/win.xpl" 2>/dev/null | tr -d '\r')
[ -n "$module_win" ] || fail "no Windows path for win.xpl"

# ---- 0. the host's XPLM_64.dll exports exactly what the module imports ------------------
exports() { x86_64-w64-mingw32-objdump -p "$1" | awk '/Ordinal\/Name Pointer/{t=1;next} t && /^[[:space:]]*\[/{print $NF;next} {t=0}' | sort; }
imports() { x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/{d=tolower($3);next} d=="xplm_64.dll" && NF==3 && $1 ~ /^[0-9a-f]+$/{print $3}' | sort; }
cmp <(exports "$win/XPLM_64.dll") <(imports "$win/aircraft/plugins/corvane/64/win.xpl") \
  || fail "XPLM_64.dll does not export exactly what win.xpl imports"

# ---- 1. lifecycle and censuses ----------------------------------------------------
# Both runs share one copy of the sample root, which the host log names in
# each host's form (without --root each would work in a copy of its own).
opts=(--frames 3 --list-datarefs --list-commands --log --problems --dataref-editor)
cp -r "$root/sample/root" "$work/root"
sample_win=$(wine winepath -w "$work/root/" 2>/dev/null | tr -d '\r')
"$lin/corvane-sim" "${opts[@]}" --root "$work/root/" > "$work/lin-census.txt"
wine "$win/corvane-sim.exe" "${opts[@]}" --root "$sample_win" | tr -d '\r' > "$work/win-census.txt"
if grep -E '^(problem|left registered at unload):' "$work/win-census.txt"; then
  fail "the Windows module misused the host or left something registered"
fi
python3 - "$work/lin-census.txt" "$work/win-census.txt" "$work/root/" "$sample_win" <<'PY' || fail "the censuses differ"
import sys
lin = open(sys.argv[1]).read().splitlines()
win = [l.replace(sys.argv[4], sys.argv[3]).replace("\\", "/") for l in open(sys.argv[2]).read().splitlines()]
lin = [l.replace("//", "/") for l in lin]
win = [l.replace("//", "/") for l in win]
if lin != win:
    for a, b in zip(lin, win):
        if a != b:
            print("linux:   " + a + "\nwindows: " + b)
            break
    print(f"{len(lin)} Linux lines, {len(win)} Windows lines")
    sys.exit(1)
print(f"Windows module: lifecycle clean; {sum(1 for l in lin if ' ' in l and l.split()[0].count('/'))} "
      "lines of dataref and command census equal to the Linux module's")
PY
shared=${CORVANE_SHARED_TOOLS:-$(cd "$root/.." && pwd)/shared/tools}
if [ -x "$shared/check-published" ] && [ -x "$shared/check-commands" ]; then
  # The shared checks call a runner; this one is the Windows runner under Wine.
  printf '#!/usr/bin/env bash\n"%s/scripts/wine.sh" "%s/corvane-sim.exe" "$@" | tr -d "\\r"\n' "$root" "$win" > "$work/sim"
  chmod +x "$work/sim"
  "$shared/check-published" "$work/sim" || fail "published datarefs differ from the table"
  "$shared/check-commands" "$work/sim" || fail "commands differ from the table"
else
  missing=$(for t in check-published check-commands; do [ -x "$shared/$t" ] || echo "$shared/$t"; done | head -n 1)
  [ "${CORVANE_REQUIRE_SHARED:-0}" = 1 ] && fail "the checks against the shared tables are required and there is no $missing"
  echo "test-windows: the checks against the shared tables were skipped: no $missing"
fi

# ---- 2. the same flight with both modules ------------------------------------------
base="$WINEPREFIX/drive_c/X-Plane 12"
top="$base/Flight Simulation Installations Kept For Testing Long Paths/A Second Level Folder With Spaces In Its Name/"
aircraft="Aircraft/Velar 737-800 Next Generation (Corvane Test Livery)/"
rm -rf "$base"
mkdir -p "$top"
cp -r "$root/sample/root/." "$top"
mkdir -p "$top$aircraft"
cp "$root/sample/root/Aircraft/D738/"* "$top$aircraft"
rm -rf "$top/Aircraft/D738"
for f in "$top/Resources/default data/"*.dat "$top$aircraft"*.dat; do sed -i 's/\r*$/\r/' "$f"; done
echo "I" > "$top/Output/FMS plans/KSEAKYKM.fms"
top_win='C:\X-Plane 12\Flight Simulation Installations Kept For Testing Long Paths\A Second Level Folder With Spaces In Its Name\'

"$lin/corvane-record" --root "$top" --aircraft "$aircraft" --module "$lin/aircraft/plugins/corvane/64/lin.xpl" \
  --frames 6000 > "$work/lin.rec"
rm -f "$top/Output/situations/"*.sit
wine "$win/corvane-record.exe" --root "$top_win" --aircraft "$aircraft" --module "$module_win" \
  --frames 6000 | tr -d '\r' > "$work/win.rec"
grep -E '^(frames|gl-calls|seeds|data-file)' "$work/win.rec"
python3 "$root/tests/comparison/compare.py" "$work/lin.rec" "$work/win.rec" \
  "$root/tests/comparison/expected-differences.txt" "$top" "$top_win" || fail "the modules' values differ"
[ -s "$top/Output/situations/737_80NG_03.sit" ] || fail "no situation file written under the Windows root"
# ---- 3. the sample scenarios meet their expectations (`png` steps left out: this host draws nothing),
# copied with the files they include
cp -r "$root/sample/scenarios" "$work/scenarios"
for f in "$work"/scenarios/*.txt; do sed -i -E '/^png /d; s/^(at [^ ]+) png .*/\1/' "$f"; wine "$win/corvane-sim.exe" --scenario "$(wine winepath -w "$f" 2>/dev/null | tr -d '\r')" | tr -d '\r' || fail "sample scenario $(basename "$f") under Wine"; done
echo "Windows module under Wine: all checks passed"
