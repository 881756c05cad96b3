#!/usr/bin/env python3
"""Write the simulated host's add-on catalog from the looked-up names table.

Usage: gen_addons.py BOUND_TSV [REPO_ROOT]

Writes simhost/catalog/addons.tsv: the datarefs of the optional add-ons the
plug-in looks for, grouped by add-on (the names `corvane-sim --addon` takes):
`addon<TAB>name<TAB>type<TAB>size<TAB>writable<TAB>default`. Types and sizes
come from the same rules as the bound catalogs; the rain driver's names whose
look-up row does not say their type get the type the driver reads and writes.
The scripts' own flags in the add-on table are not add-ons and stay out.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_bound  # noqa: E402

# Add-on of each name, by prefix; the order is the catalog's.
GROUPS = [
    ('rain', 'librain/'),
    ('terrain-radar', 'hollvik/terrain_radar/'),
    ('runway-awareness', 'xraas/'),
    ('jetway', 'sam/jetway/'),
    ('tablet', 'avitab/'),
    ('push-back', 'bp/'),
    ('pilot-client', 'ivaopilot/'),
    ('force-feedback', 'beh/'),
    ('weather', 'env/'),
]

# What an add-on of today reports where the plug-in reads a value at start:
# the terrain radar's version, above every version the plug-in treats as old
# (it drops the FIX circles below 101800 and the trend vector and VOR lines
# up to 102300).
DEFAULTS = {
    'hollvik/terrain_radar/version': '102400',
}

# The rain driver writes whole numbers into these and float arrays into the
# heat tables; everything else it exchanges is a float.
RAIN_INTS = ('/moving', '/load', '/loaded', 'init_success', 'initialize', 'num_glass_use')


def rain_type(r):
    name = r['name']
    n = gen_bound.counts(r)
    if r['access'].startswith('setb'):
        return 32, max(n), 1
    if n and max(n) > 1:
        return 8, max(n), 1
    writable = 0 if r['access'] in ('get', 'geti') else 1
    return (1 if name.endswith(RAIN_INTS) else 2), 1, writable


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    root = sys.argv[2] if len(sys.argv) == 3 else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    rows = gen_bound.load(sys.argv[1])
    out = ['addon\tname\ttype\tsize\twritable\tdefault']
    for group, prefix in GROUPS:
        for r in rows:
            if r['table'] not in ('rain', 'terrain_radar', 'addon') or not r['name'].startswith(prefix):
                continue
            t, size, w = rain_type(r) if group == 'rain' else gen_bound.catalog_type(r)
            out.append('%s\t%s\t%d\t%d\t%d\t%s' % (group, r['name'], t, size, w, DEFAULTS.get(r['name'], '')))
    path = os.path.join(root, 'simhost/catalog/addons.tsv')
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write('\n'.join(out) + '\n')
    print('gen_addons: %d names in %d add-ons' % (len(out) - 1, len(GROUPS)), file=sys.stderr)


if __name__ == '__main__':
    main()
