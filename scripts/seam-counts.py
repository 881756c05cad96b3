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
                       of parameters in two files or twice in one; and
                       variables declared (extern, without an initializer)
                       in more than one place: the same scope and name. Found
                       by universal-ctags; class members are left out, and an
                       extern with an initializer is a definition;
                       and a variable named alike in two namespaces (`::x`
                       and `ns::x`, or `a::x` and `b::x`) where one of them
                       is written by hand: the reader of `x` cannot tell
                       which one is meant. Pairs that are both published
                       values (files generated from the dataref table) keep
                       the names of their datarefs and are left out

--list prints each item found as well. --self-test counts a copy of this
tree's src/, which must declare nothing twice, then the same copy with a
function and a variable declared a second time (and a definition beside a
declaration, which is no second one), which must give exactly those two,
and a variable declared in the global namespace and in a namespace, which
must be reported as a name in two namespaces.
"""
import collections
import json
import os
import re
import subprocess
import sys

import shutil
import tempfile

args = [a for a in sys.argv[1:] if a not in ('--list', '--self-test')]
listing = '--list' in sys.argv[1:]
self_test = '--self-test' in sys.argv[1:]
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


counts = {k: collections.Counter() for k in ('calls', 'guards', 'copies', 'decls', 'decl_kinds')}
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

# A declaration's initializer makes it a definition: `extern const T x = {...};`.
INITIALIZED = re.compile(r'\bextern\b[^;=]*=')


def doubly_declared(tree):
    """Each function or variable declared in more than one place, as
    (kind, 'scope::name: where, where', first place)."""
    out = subprocess.run(['ctags', '-R', '--languages=C++', '--langmap=C++:+.inc.c', '--c++-kinds=px',
                          '--fields=+nSs', '--output-format=json', '-f', '-', 'src'], cwd=tree, capture_output=True,
                         text=True, check=True).stdout
    decls = collections.defaultdict(list)
    for line in out.splitlines():
        t = json.loads(line)
        if t.get('_type') != 'tag' or t['path'].startswith('src/platform/'):
            continue
        if t.get('scopeKind', '') in ('class', 'struct', 'union'):
            continue
        if t.get('kind') == 'prototype':
            inner = t.get('signature', '()').strip()[1:-1].strip()
            params = 0 if inner in ('', 'void') else inner.count(',') + 1
            key = ('function', t.get('scope', ''), t['name'], params)
        elif t.get('kind') == 'externvar':
            if INITIALIZED.search(t.get('pattern', '')):
                continue
            key = ('variable', t.get('scope', ''), t['name'], None)
        else:
            continue
        decls[key].append(f"{t['path']}:{t['line']}")
    found = []
    for (kind, scope, name, _), where in sorted(decls.items()):
        if len(where) > 1:
            found.append((kind, f"{scope + '::' if scope else ''}{name}: {', '.join(where)}", where[0]))
    # One name, one thing: a variable of one name in two namespaces.
    scopes = collections.defaultdict(dict)
    for (kind, scope, name, _), where in decls.items():
        if kind == 'variable':
            scopes[name][scope] = where[0]
    for name, places in sorted(scopes.items()):
        if len(places) < 2 or all(generated(tree, w.split(':')[0]) for w in places.values()):
            continue
        listed = ', '.join(f"{s + '::' if s else '::'}{name} ({w})" for s, w in sorted(places.items()))
        found.append(('name', f'{name}: named alike in two namespaces: {listed}', sorted(places.values())[0]))
    return found


def generated(tree, rel):
    with open(os.path.join(tree, rel), encoding='utf-8', errors='replace') as f:
        return f.readline().startswith('// Generated by')


def run_self_test():
    work = tempfile.mkdtemp()
    try:
        shutil.copytree(os.path.join(tree, 'src'), os.path.join(work, 'src'))
        before = doubly_declared(work)
        if before:
            print('seam-counts: self-test FAILED: declared twice in this tree:')
            for _, item, _ in before:
                print(f'  {item}')
            return 1
        planted = os.path.join(work, 'src', 'core', 'planted_twice.h')
        with open(planted, 'w', encoding='utf-8') as f:
            f.write('#pragma once\n'
                    'extern float planted_table[4];\n'
                    'extern float planted_table[4];  // the same variable again\n'
                    'int planted_step(int a, int b);\n'
                    'int planted_step(int a, int b);\n'
                    'extern const int planted_once;\n'
                    'extern const int planted_once = 1;  // its definition\n'
                    'extern float planted_valve;\n'
                    'namespace planted { extern float planted_valve; }  // another thing of the same name\n')
        after = sorted((kind, item.split(':')[0]) for kind, item, _ in doubly_declared(work))
        want = [('function', 'planted_step'), ('name', 'planted_valve'), ('variable', 'planted_table')]
        if after != want:
            print(f'seam-counts: self-test FAILED: found {after}, want {want}')
            return 1
        print('seam-counts: self-test ok (nothing declared twice; a variable and a function declared twice and '
              'a name in two namespaces are counted, a definition beside its declaration is not)')
        return 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if self_test:
    sys.exit(run_self_test())
for kind, item, first in doubly_declared(tree):
    counts['decls'][folder(first)] += 1
    items['decls'].append(item)
    counts['decl_kinds'][kind] += 1

titles = {'calls': 'direct host calls', 'guards': 'guards', 'copies': 'helper copies', 'decls': 'doubly declared'}
for k, title in titles.items():
    c = counts[k]
    split = ', '.join(f'{f} {n}' for f, n in sorted(c.items()))
    if k == 'decls':
        kinds = counts['decl_kinds']
        where = f"{kinds['function']} functions, {kinds['variable']} variables, {kinds['name']} names in two namespaces"
    else:
        where = f"{len({i.split(':')[0] for i in items[k]})} files"
    print(f'{title}: {sum(c.values())} ({where}){": " + split if split else ""}')
    if listing:
        for i in items[k]:
            print(f'  {i}')
