#!/usr/bin/env python3
"""Compare two builds of the module frame by frame over two flights.

Usage: scripts/trace-compare.py BEFORE.xpl AFTER.xpl [--flight NAME] [--build DIR]
                                [--work DIR] [--all]

Flies each flight once with each module, both at once, and compares every
published value after every frame:

  gate-to-gate  sample/scenarios/gate-to-gate.txt played by corvane-sim
                (--scenario, --trace of every dataref the module publishes,
                --trace-every 1): about 75,000 frames;
  bench         the flight of the frame-cost benchmark (bench/flight_frame_bench,
                tests/flight_profile.h: the 26-leg route flown with LNAV and
                VNAV, both maps, traffic), 10,100 frames, through the
                benchmark's own dump (CORVANE_FLIGHT_DUMP_EVERY=1): every
                published value and every line drawn.

--flight takes gate-to-gate, bench or both (the default). --build is the build
folder holding corvane-sim and bench/flight_frame_bench (default: build). The
traces stream through pipes in --work (default: a temporary folder), so
nothing of their gigabytes is kept.

Prints, per flight, "identical" with the frames compared, or the first frame
that differs with the first value that differs there (before and after),
then every value that differs anywhere with its first frame and how many
frames it differs in. Each run's own folder (the copy of the sample root)
appears in two path values; it is replaced by <root> before comparing. Exits
1 when a flight differs or a run fails, else 0.
"""
import argparse
import csv
import os
import subprocess
import sys
import tempfile
import threading

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def published_names(sim, module):
    out = subprocess.run([sim, '--module', module, '--list-datarefs'], check=True,
                         capture_output=True, text=True).stdout
    return [line.split()[0] for line in out.splitlines() if line.strip()]


class Side:
    """One run writing its trace into a pipe."""

    def __init__(self, label, argv, env, fifo, folder):
        self.label = label
        self.folder = folder
        self.log = open(fifo + '.log', 'w')
        self.proc = subprocess.Popen(argv, env=env, stdout=self.log, stderr=subprocess.STDOUT)
        self.opened = False
        # A run that ends before it opens its pipe would leave the open below
        # waiting for good: open it for writing then, so the reader sees the end.
        threading.Thread(target=self._unblock, args=(fifo,), daemon=True).start()
        self.stream = open(fifo, 'r', encoding='latin-1', newline='\n')
        self.opened = True

    def _unblock(self, fifo):
        self.proc.wait()
        if not self.opened:
            try:
                os.close(os.open(fifo, os.O_WRONLY | os.O_NONBLOCK))
            except OSError:
                pass

    def line(self):
        s = self.stream.readline()
        return s.replace(self.folder, '<root>') if self.folder else s

    def finish(self):
        # Drain what is left so the writer never blocks, then wait for it.
        for _ in self.stream:
            pass
        self.stream.close()
        code = self.proc.wait()
        self.log.close()
        return code


class Differences:
    def __init__(self):
        self.first = None        # (frame, name, before, after)
        self.by_name = {}        # name -> [first frame, frames]
        self.frames = 0

    def add(self, frame, name, before, after):
        if self.first is None:
            self.first = (frame, name, before, after)
        entry = self.by_name.setdefault(name, [frame, 0])
        entry[1] += 1


def compare_csv(before, after, diffs):
    """corvane-sim --trace output: a header, then one row per frame."""
    header_b, header_a = before.line(), after.line()
    if header_b != header_a:
        diffs.add('header', 'the traced columns', header_b[:200], header_a[:200])
        return 0
    names = next(csv.reader([header_b]))
    rows = 0
    while True:
        b, a = before.line(), after.line()
        if not b or not a:
            if b != a:
                diffs.add('end', 'the number of frames', 'more' if b else 'ended', 'more' if a else 'ended')
            return rows
        rows += 1
        if b == a:
            continue
        vb, va = next(csv.reader([b])), next(csv.reader([a]))
        frame = vb[0]
        for i, name in enumerate(names):
            x = vb[i] if i < len(vb) else '<none>'
            y = va[i] if i < len(va) else '<none>'
            if x != y:
                diffs.add(frame, name, x, y)


def compare_dump(before, after, diffs):
    """flight_frame_bench's dump: "frame N", then NAME=VALUE and line rows."""
    frame, frames = '?', 0
    while True:
        b, a = before.line(), after.line()
        if not b or not a:
            if b != a:
                diffs.add(frame, 'the number of rows', 'more' if b else 'ended', 'more' if a else 'ended')
            return frames
        if b.startswith('frame '):
            frame = b.split()[1]
            frames += 1
        if b == a:
            continue
        if b.startswith('frame ') or a.startswith('frame '):
            diffs.add(frame, 'the rows of the frame', b.strip()[:200], a.strip()[:200])
            # Out of step: nothing after this can be compared row by row.
            return frames
        nb, _, xb = b.rstrip('\n').partition('=')
        na, _, xa = a.rstrip('\n').partition('=')
        name = nb if nb == na and not b.startswith('line ') else 'drawn lines' if b.startswith('line ') else nb + ' / ' + na
        diffs.add(frame, name, xb[:200], xa[:200])


def run_flight(flight, modules, build, work):
    sim = os.path.join(build, 'corvane-sim')
    bench = os.path.join(build, 'bench', 'flight_frame_bench')
    sides = []
    if flight == 'gate-to-gate':
        names = [published_names(sim, m) for m in modules]
        if names[0] != names[1]:
            print('gate-to-gate: the two modules publish different datarefs; comparing those of BEFORE')
        scenario = os.path.join(ROOT, 'sample', 'scenarios', 'gate-to-gate.txt')
    for k, (label, module) in enumerate(zip(('before', 'after'), modules)):
        folder = os.path.join(work, f'{flight}-{label}')
        os.makedirs(folder, exist_ok=True)
        fifo = os.path.join(work, f'{flight}-{label}.fifo')
        if os.path.exists(fifo):
            os.remove(fifo)
        os.mkfifo(fifo)
        env = dict(os.environ)
        if flight == 'gate-to-gate':
            argv = [sim, '--module', module, '--scenario', scenario, '--out', folder,
                    '--trace', ','.join(names[0]), '--trace-every', '1', '--trace-file', fifo]
        else:
            argv = [bench, '--benchmark_filter=BM_FlightFrameMainLoop/']
            env.update(CORVANE_FLIGHT_MODULE=module, CORVANE_FLIGHT_DUMP=fifo,
                       CORVANE_FLIGHT_DUMP_EVERY='1', CORVANE_FLIGHT_WORLD=folder)
        sides.append(Side(label, argv, env, fifo, folder))
    diffs = Differences()
    try:
        if flight == 'gate-to-gate':
            frames = compare_csv(sides[0], sides[1], diffs)
        else:
            frames = compare_dump(sides[0], sides[1], diffs)
    finally:
        codes = [s.finish() for s in sides]
    ok = True
    for s, code in zip(sides, codes):
        if code != 0:
            print(f'{flight}: the {s.label} run ended with status {code} (its output: {s.log.name})')
            ok = False
    if diffs.first is None:
        print(f'{flight}: identical ({frames} frames, every published value'
              f'{" and every drawn line" if flight == "bench" else ""} after every frame)')
        return ok
    frame, name, b, a = diffs.first
    print(f'{flight}: first difference at frame {frame}: {name}: before {b} after {a}')
    for name, (first, count) in sorted(diffs.by_name.items(), key=lambda kv: (str(kv[1][0]).zfill(9), kv[0])):
        print(f'  {name}: from frame {first}, in {count} frames')
    return False


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument('before')
    p.add_argument('after')
    p.add_argument('--flight', choices=['gate-to-gate', 'bench', 'both'], default='both')
    p.add_argument('--build', default=os.path.join(ROOT, 'build'))
    p.add_argument('--work')
    args = p.parse_args()
    modules = [os.path.abspath(args.before), os.path.abspath(args.after)]
    for m in modules:
        if not os.path.isfile(m):
            sys.exit(f'trace-compare: no module {m}')
    flights = ['bench', 'gate-to-gate'] if args.flight == 'both' else [args.flight]
    work_ctx = tempfile.TemporaryDirectory(prefix='trace-compare-') if not args.work else None
    work = args.work or work_ctx.name
    os.makedirs(work, exist_ok=True)
    ok = True
    # One flight at a time: two runs at once are enough for a shared machine.
    for f in flights:
        ok = run_flight(f, modules, os.path.abspath(args.build), os.path.abspath(work)) and ok
    if work_ctx:
        work_ctx.cleanup()
    sys.exit(0 if ok else 1)


if __name__ == '__main__':
    main()
