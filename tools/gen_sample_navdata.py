#!/usr/bin/env python3
"""Writes the small navigation data set of the bundled sample root.

Usage: gen_sample_navdata.py [ROOT]   (default: sample/root beside this tool)

Writes ROOT/Resources/default data/earth_nav.dat and earth_fix.dat in the
host's text format, and the aircraft's Velar_apt.dat, Velar_rnw.dat and
Velar_gate.dat in ROOT/Aircraft/D738/. The data are synthetic around the
Pacific Northwest, generated from a fixed seed so the output never changes.
"""
import math
import os
import random
import sys

SEED = 737
CENTRE = (47.45, -122.31)

# A few airports with plausible positions, then synthetic ones.
AIRPORTS = [
    ("KSEA", 47.4490, -122.3093, 433, 11901),
    ("KBFI", 47.5300, -122.3020, 21, 10007),
    ("KPAE", 47.9063, -122.2816, 608, 9010),
    ("KTCM", 47.1377, -122.4765, 322, 10100),
    ("KOLM", 46.9694, -122.9025, 209, 5500),
    ("KPDX", 45.5887, -122.5975, 31, 11000),
    ("KGEG", 47.6199, -117.5338, 2376, 11002),
    ("CYVR", 49.1939, -123.1844, 14, 11500),
]


def destination(lat, lon, bearing_deg, dist_nm):
    r = 3440.064795
    d = dist_nm / r
    b = math.radians(bearing_deg)
    la = math.radians(lat)
    lo = math.radians(lon)
    la2 = math.asin(math.sin(la) * math.cos(d) + math.cos(la) * math.sin(d) * math.cos(b))
    lo2 = lo + math.atan2(math.sin(b) * math.sin(d) * math.cos(la), math.cos(d) - math.sin(la) * math.sin(la2))
    return math.degrees(la2), math.degrees(lo2)


def ident(rng, n):
    return "".join(rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ") for _ in range(n))


def write(path, lines):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "sample", "root")
    rng = random.Random(SEED)
    used = set()

    def fresh(n):
        while True:
            s = ident(rng, n)
            if s not in used:
                used.add(s)
                return s

    header = ["I", "1100 Generated sample data. Not for navigation.", ""]

    nav = list(header)
    nav.append("3  47.43538889 -122.30961111 354 11680 130 19.0 SEA ENRT K1 SEATTLE VORTAC")
    nav.append("12 47.43538889 -122.30961111 354 11680 130 0.000 SEA ENRT K1 SEATTLE VORTAC DME")
    used.add("SEA")
    for i in range(24):
        lat, lon = destination(*CENTRE, rng.uniform(0, 360), rng.uniform(10, 180))
        freq = 10800 + 5 * rng.randrange(0, 200)
        name = fresh(3)
        nav.append(f"3  {lat:.8f} {lon:.8f} {rng.randrange(0, 3000)} {freq} 130 19.0 {name} ENRT K1 "
                   f"SAMPLE {name} VOR-DME")
        nav.append(f"12 {lat:.8f} {lon:.8f} {rng.randrange(0, 3000)} {freq} 130 0.000 {name} ENRT K1 "
                   f"SAMPLE {name} VOR-DME DME")
    for i in range(10):
        lat, lon = destination(*CENTRE, rng.uniform(0, 360), rng.uniform(5, 120))
        name = fresh(2)
        nav.append(f"2  {lat:.8f} {lon:.8f} 0 {rng.randrange(200, 500)} 50 0.0 {name} ENRT K1 SAMPLE NDB")
    # Approach aids of the first airport.
    nav.append("4  47.46380000 -122.31080000 338 11030 18 180.000 ISNQ KSEA K1 16L ILS-cat-III")
    nav.append("4  47.43170000 -122.30800000 338 11150 18 360.000 ISZI KSEA K1 34R ILS-cat-I")
    nav.append("99")
    write(os.path.join(root, "Resources", "default data", "earth_nav.dat"), nav)

    fix = list(header)
    for i in range(300):
        lat, lon = destination(*CENTRE, rng.uniform(0, 360), rng.uniform(2, 150))
        fix.append(f"{lat:12.9f} {lon:13.9f} {fresh(5)} ENRT K1 2")
    fix.append("99")
    write(os.path.join(root, "Resources", "default data", "earth_fix.dat"), fix)

    airports = list(AIRPORTS)
    for i in range(30):
        lat, lon = destination(*CENTRE, rng.uniform(0, 360), rng.uniform(15, 250))
        airports.append(("K" + fresh(3), lat, lon, rng.randrange(0, 3000), rng.choice([3000, 4500, 6000, 8000])))
    apt = ["Velar airport list", "ICAO LAT LON ELEV_FT TRANS_ALT RWY_LEN_FT", ""]
    rnw = ["ICAO RWY LAT1 LON1 LAT2 LON2 LEN_FT WIDTH_FT"]
    gate = ["ICAO LAT LON TYPE HEADING NAME"]
    for code, lat, lon, elev, length in airports:
        apt.append(f"{code} {lat:.6f} {lon:.6f} {elev} 18000 {length}")
        heading = rng.choice([10, 40, 70, 100, 130, 160])
        half_nm = length / 6076.12 / 2
        for offset in (0.0, 0.15):
            clat, clon = destination(lat, lon, heading + 90, offset)
            a = destination(clat, clon, heading + 180, half_nm)
            b = destination(clat, clon, heading, half_nm)
            lo = round(heading / 10) % 36 or 36
            hi = (lo + 18 - 1) % 36 + 1
            side = ("L", "R") if offset == 0.0 else ("R", "L")
            rnw.append(f"{code} {lo:02d}{side[0]} {a[0]:.6f} {a[1]:.6f} {b[0]:.6f} {b[1]:.6f} {length} 150")
            rnw.append(f"{code} {hi:02d}{side[1]} {b[0]:.6f} {b[1]:.6f} {a[0]:.6f} {a[1]:.6f} {length} 150")
        for g in range(4 if length >= 8000 else 1):
            glat, glon = destination(lat, lon, heading + 90, 0.3 + 0.01 * g)
            kind = "gate" if g % 3 != 2 else "tie_down"
            gate.append(f"{code} {glat:.7f} {glon:.7f} {kind} {heading + 90} {chr(65 + g)}{g + 1}")
    write(os.path.join(root, "Aircraft", "D738", "Velar_apt.dat"), apt)
    write(os.path.join(root, "Aircraft", "D738", "Velar_rnw.dat"), rnw)
    write(os.path.join(root, "Aircraft", "D738", "Velar_gate.dat"), gate)


if __name__ == "__main__":
    main()
