#!/usr/bin/env python3
"""Counts of what the one-seam work removes, per top folder of src/.

Usage: scripts/seam-counts.py [--list] [TREE]

TREE is a checkout (default: this one). Comments (from // to the end of the
line) are not counted. Prints four counts, each with its split by folder:

  direct host calls    calls of XPLMGetData*/XPLMSetData* (i f d vi vf b)
                       outside src/core/ and src/platform/ (the seam and the
                       declarations), one per call
  guards               uses of finite_or, finite_or_zero, std::isfinite,
                       std::isnan and isfinite/isnan, one per use, in every
                       folder but src/core/ (definitions included)
  helper copies        definitions or declarations of a shared helper
                       (the names of scripts/check-helpers.sh) outside its
                       home, one per definition
  doubly declared      functions at namespace scope declared (prototype) in
                       more than one place: the same scope, name and number
                       of parameters in two files or twice in one, found by
                       universal-ctags; class members are left out

--list prints each item found as well.
"""
import collections
import json
import os
import re
import subprocess
import sys

args = [a for a in sys.argv[1:] if a != '--list']
listing = '--list' in sys.argv[1:]
tree = os.path.abspath(args[0] if args else os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

CALL = re.compile(r'XPLM(Get|Set)Data(i|f|d|vi|vf|b)\s*\(')
GUARD = re.compile(r'\b(finite_or|finite_or_zero|isfinite|isnan)\s*\(')
HELPERS = ['as01', 'finite_or', 'finite_or_zero', 'publish', 'rem360', 'rem360f', 'mod360', 'mod360_nonneg',
           'mod360_nonneg_d', 'wrap360', 'wrap360_d', 'wrap180', 'wrap180_d', 'wrap180_nonneg', 'wrap180_nonneg_d']
HOMES = {'src/core/util.h'}
DEF = re.compile(r'^\s*((static|inline|constexpr|extern)\s+)*(const\s+)?(float|double|int|int32_t|bool|void|auto)\s+(' +
                 '|'.join(HELPERS) + r')\s*\(|(auto|const auto)\s+(' + '|'.join(HELPERS) + r')\s*=\s*\[')


def sources():
    for d, _, files in os.walk(os.path.join(tree, 'src')):
        for f in sorted(files):
            if f.endswith(('.cpp', '.h', '.inc', '.c')):
                p = os.path.join(d, f)
                yield os.path.relpath(p, tree), p


def folder(rel):
    return '/'.join(rel.split('/')[:2]) + '/'


def code_lines(path):
    with open(path, encoding='utf-8', errors='replace') as f:
        for n, line in enumerate(f, 1):
            yield n, line.split('//', 1)[0]


counts = {k: collections.Counter() for k in ('calls', 'guards', 'copies', 'decls')}
items = {k: [] for k in counts}
for rel, path in sources():
    in_core = rel.startswith('src/core/')
    for n, code in code_lines(path):
        if not in_core and not rel.startswith('src/platform/'):
            for _ in CALL.finditer(code):
                counts['calls'][folder(rel)] += 1
                items['calls'].append(f'{rel}:{n}')
        if not in_core:
            for m in GUARD.finditer(code):
                counts['guards'][folder(rel)] += 1
                items['guards'].append(f'{rel}:{n} {m.group(1)}')
        if rel not in HOMES:
            m = DEF.search(code)
            if m:
                counts['copies'][folder(rel)] += 1
                items['copies'].append(f'{rel}:{n} {m.group(5) or m.group(7)}')

out = subprocess.run(['ctags', '-R', '--languages=C++', '--langmap=C++:+.inc.c', '--c++-kinds=p', '--fields=+nSs',
                      '--output-format=json', '-f', '-', 'src'], cwd=tree, capture_output=True, text=True,
                     check=True).stdout
decls = collections.defaultdict(list)
for line in out.splitlines():
    t = json.loads(line)
    if t.get('_type') != 'tag' or t.get('kind') != 'prototype' or t['path'].startswith('src/platform/'):
        continue
    if t.get('scopeKind', '') in ('class', 'struct', 'union'):
        continue
    inner = t.get('signature', '()').strip()[1:-1].strip()
    params = 0 if inner in ('', 'void') else inner.count(',') + 1
    decls[(t.get('scope', ''), t['name'], params)].append(f"{t['path']}:{t['line']}")
for (scope, name, _), where in sorted(decls.items()):
    if len(where) > 1:
        counts['decls'][folder(where[0])] += 1
        items['decls'].append(f"{scope + '::' if scope else ''}{name}: {', '.join(where)}")

titles = {'calls': 'direct host calls', 'guards': 'guards', 'copies': 'helper copies', 'decls': 'doubly declared'}
for k, title in titles.items():
    c = counts[k]
    split = ', '.join(f'{f} {n}' for f, n in sorted(c.items()))
    files = len({i.split(':')[0] for i in items[k]}) if k != 'decls' else len(items[k])
    unit = 'files' if k != 'decls' else 'functions'
    print(f'{title}: {sum(c.values())} ({files} {unit}){": " + split if split else ""}')
    if listing:
        for i in items[k]:
            print(f'  {i}')
