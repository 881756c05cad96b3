#!/usr/bin/env python3
"""Compare two records of corvane-record (Linux and Windows modules).

usage: compare.py LINUX_RECORD WINDOWS_RECORD EXPECTED_DIFFERENCES LINUX_ROOT WINDOWS_ROOT

Every published value must be equal bit for bit, except paths, which each
host gives in its own form (the texts must match once the Windows root is
replaced by the Linux one and backslashes by slashes), and the names listed in
EXPECTED_DIFFERENCES (one per line: name, then the largest difference seen
and why, '#' comments): those must differ, and by no more than 1e-4 relative
(the last bits of a math-library function). Both records must show a clean
lifecycle and the same frames, draw passes, srand() seeds and data files.
Prints the differences found with their largest difference.
"""
import struct
import sys


def read(path):
    values, other = {}, []
    with open(path, encoding="utf-8", errors="replace") as f:
        for raw in f:
            line = raw.rstrip("\r\n")
            if line.startswith("value "):
                _, name, kind, text = (line.split(" ", 3) + [""])[:4]
                values[name] = (int(kind), text)
            else:
                other.append(line)
    return values, other


def decode(kind, text):
    """Numbers of a value: floats and doubles from their bits; None for bytes."""
    if kind & 32:
        return None
    parts = [p for p in text.split(",") if p]
    if kind & 8 or kind == 2:
        return [struct.unpack("<f", struct.pack("<I", int(p, 16)))[0] for p in parts]
    if kind & 4:
        return [struct.unpack("<d", struct.pack("<Q", int(p, 16)))[0] for p in parts]
    return [float(int(p)) for p in parts]


def largest_difference(kind, a, b):
    x, y = decode(kind, a), decode(kind, b)
    if x is None or len(x) != len(y):
        return None, None
    worst_abs, worst_rel = 0.0, 0.0
    for u, v in zip(x, y):
        if u != u or v != v:  # NaN on one side only counts as unbounded
            if (u != u) != (v != v):
                return float("inf"), float("inf")
            continue
        d = abs(u - v)
        worst_abs = max(worst_abs, d)
        worst_rel = max(worst_rel, d / max(abs(u), abs(v), 1e-30))
    return worst_abs, worst_rel


def text(hex_bytes):
    return bytes.fromhex(hex_bytes).split(b"\0", 1)[0].decode("utf-8", "replace")


def same_path(a, b, linux_root, windows_root):
    """Whether Windows text b is Linux text a in the Windows host's form."""
    x, y = text(a), text(b)
    if y.startswith(windows_root):
        y = linux_root + y[len(windows_root):]
    return x == y.replace("\\", "/")


def line_faults(lin_other, win_other):
    """The captured line streams: same counts, coordinates within 1e-3 pixel."""
    def streams(other):
        out, current = [], None
        for line in other:
            if line.startswith("lines-at "):
                current = []
                out.append((line, current))
            elif line.startswith("line ") and current is not None:
                current.append([float(x) for x in line.split()[1:]])
        return out
    a, b = streams(lin_other), streams(win_other)
    faults, worst, total = [], 0.0, 0
    if [h for h, _ in a] != [h for h, _ in b]:
        return ["the captured line streams differ in their counts: "
                + " ".join(h for h, _ in a) + " / " + " ".join(h for h, _ in b)], 0.0, 0
    for (head, x), (_, y) in zip(a, b):
        total += len(x)
        for i, (u, v) in enumerate(zip(x, y)):
            d = max(abs(p - q) for p, q in zip(u[:4], v[:4]))
            c = max(abs(p - q) for p, q in zip(u[4:], v[4:]))
            worst = max(worst, d)
            if d > 1e-3 or c > 1e-6:
                faults.append(f"{head}: line {i} differs: {u} / {v}")
                break
    return faults, worst, total


def lifecycle_faults(label, other):
    faults = []
    for line in other:
        if line.startswith(("problem ", "leftover ")):
            faults.append(f"{label}: {line}")
        if line.startswith("after-stop registered") and not line.endswith(" 0"):
            faults.append(f"{label}: {line}")
    if not any(line.startswith("identity ") and line.endswith("start 1 enable 1") for line in other):
        faults.append(f"{label}: the module did not start and enable")
    return faults


def main():
    if len(sys.argv) != 6:
        print(__doc__)
        return 2
    linux_root, windows_root = sys.argv[4], sys.argv[5]
    lin, lin_other = read(sys.argv[1])
    win, win_other = read(sys.argv[2])
    expected = {}
    with open(sys.argv[3], encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                expected[line.split()[0]] = line
    faults = lifecycle_faults("linux", lin_other) + lifecycle_faults("windows", win_other)
    if len(lin) < 1800:
        faults.append(f"only {len(lin)} values recorded from the Linux module")
    if sorted(lin) != sorted(win):
        faults.append("the modules publish different names: " + " ".join(sorted(set(lin) ^ set(win))[:10]))
    # The run itself must match: frames and draw passes, the seeds the module
    # gave srand() (through the host's seam), the data files it asked for.
    shared = ("frames ", "seeds ", "data-file ", "after-stop ")
    if [l for l in lin_other if l.startswith(shared)] != [l for l in win_other if l.startswith(shared)]:
        faults.append("the runs differ in frames, seeds or data files")
    lf, worst, total = line_faults(lin_other, win_other)
    faults += lf
    print(f"captured lines compared: {total}, largest coordinate difference {worst:.3g} pixel")
    differing, paths = [], 0
    for name in lin:
        if name in win and lin[name] != win[name]:
            kind = lin[name][0]
            if kind & 32 and same_path(lin[name][1], win[name][1], linux_root, windows_root):
                print(f"same path in each host's form: {name}")
                paths += 1
                continue
            d_abs, d_rel = largest_difference(kind, lin[name][1], win[name][1])
            differing.append(name)
            shown = "text differs" if d_abs is None else f"largest difference {d_abs:.3g} (relative {d_rel:.3g})"
            print(f"differs: {name} {shown}")
            if name not in expected:
                faults.append(f"{name} differs and is not an expected difference")
            elif d_rel is None or d_rel > 1e-4:
                faults.append(f"{name} differs by more than the last bits")
    for name in expected:
        if name not in differing:
            faults.append(f"{name} is listed as a difference but is equal now: take it off the list")
    print(f"compared {len(lin)} published values: {len(lin) - len(differing) - paths} equal bit for bit, "
          f"{paths} paths in each host's form, {len(differing)} differing ({len(expected)} expected)")
    for f in faults:
        print("FAULT: " + f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
