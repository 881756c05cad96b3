#!/usr/bin/env python3
"""Generate the bound-dataref tables from one TSV of looked-up names.

Usage: gen_bound.py [--check] BOUND_TSV HOST_TSV [REPO_ROOT]

BOUND_TSV lists the names the plug-in looks up; HOST_TSV the simulator's own
datarefs among them with their type and writability as the simulator lists
them for its version 11 and 12 hosts. REPO_ROOT defaults to the folder above
this script. Writes (or, with --check, compares and fails on any difference):
  src/core/bound_names.inc      X-macro rows, one per looked-up name, in look-up order
  src/core/bound_mirrors.h      the HostMirror and ScriptMirror structs, one field per mirrored name
  src/core/bound_polls.inc      table ranges, per-frame poll tables and the per-name mirror map
  simhost/catalog/host_bound_11.tsv  the host datarefs the plug-in binds, as a version 11 host has them
  simhost/catalog/host_bound_12.tsv  the same for a version 12 host
  simhost/catalog/scripts_bound.tsv  the script datarefs the plug-in binds (simulated host)
  simhost/catalog/host_ranges.tsv    the host's values whose published unit is a range ("-1..1",
                                     "[0..1]"), from host_dataref_descriptions.tsv beside HOST_TSV;
                                     left as it is when that list is absent

A simulator dataref is read and written with the type the simulator gives
it, whatever call BOUND_TSV names for it: the host converts nothing, so a
getter of another type reads 0 and a setter of another type does nothing.

One row per outside dataref the plug-in looks up at start-up. The identifier
is the name with every non-identifier character turned into '_'; names that
would collide that way use '__' for '/' instead. The mirror field of a name
carries the same identifier, so name, handle slot, mirror type and poll entry
all come from the same row.
"""
import csv
import os
import re
import sys
from collections import Counter, OrderedDict

from table_seq import seq_errors

TABLES = ['mirrored_script', 'host', 'rain', 'terrain_radar', 'addon', 'direct_script']

INT_AS_FLOAT = 'int read, stored as float'
FLOAT_AS_INT = 'float read, truncated toward zero to int'
INHG_PER_PA = '0.00029529983071445'
KT_PER_MS = '1.9438445'

# The five failure arrays of the scripts fill the shared failure tables
# rather than mirror storage of their own.
FAILURE_ARRAYS = OrderedDict([
    ('zuvadud/D738/failure/electric', 'electric'),
    ('zuvadud/D738/failure/hydraulic', 'hydraulic'),
    ('zuvadud/D738/failure/system', 'system'),
    ('zuvadud/D738/failure/pressurisation', 'pressurisation'),
    ('zuvadud/D738/failure/engine', 'engine'),
])

# Read under their own conditions in the poll code, not from the flat tables.
ELEVATOR_TRIM = 'sim/cockpit2/controls/elevator_trim'
TCAS_ARRAYS = ['sim/cockpit2/tcas/targets/position/lat', 'sim/cockpit2/tcas/targets/position/lon',
               'sim/cockpit2/tcas/targets/position/ele', 'sim/cockpit2/tcas/targets/position/vz']

# The two names the plug-in publishes itself: the simulated scripts must not
# define them, or the plug-in's own registration would collide.
SELF_PUBLISHED = {'zuvadud/D738/73x', 'zuvadud/D738/autopilot/lock_throttle'}

# The simulator's names whose rows in the plug-in's list are replaced: the
# wind at the aircraft exists on version 12 hosts only under this name.
# The table of looked-up names, as messages name it.
BOUND_TABLE = 'bound_datarefs.tsv'
RENAMED = {'sim/weather/aircraft/wind_speed_msc': 'sim/weather/aircraft/wind_now_speed_msc'}
# Conversions of the plug-in's list that do not hold: the older wind name
# reads metres per second whatever its name says (the simulator's own list
# says so), so the newer value, in metres per second too, fills it as read.
CONVERSION_REPLACED = {'sim/weather/aircraft/wind_now_speed_msc': ''}
# Simulator datarefs the plug-in uses under a name of RENAMED, in the columns
# of HOST_TSV: float, read-only, on version 12 hosts only.
HOST_FACTS_ADDED = {
    'sim/weather/aircraft/wind_now_speed_msc': {'type_11': '-', 'writable_11': '-', 'type_12': 'float',
                                                'writable_12': 'n', 'in_11_40': 'no', 'in_12_08': 'yes'},
}
# A byte dataref the simulator lists without a length holds text of any
# length; the simulated host gives it this many bytes.
OPEN_BYTES = 1024
VERSIONS = ('11', '12')

# Catalog types of script names whose access gives no type: (type flags,
# size); texts give their byte size.
SCRIPT_TYPES = {
    # The five nearest airports, one element each.
    'zuvadud/D738/nearest_apt_dist': (8, 5),
    'zuvadud/D738/nearest_apt_lat': (8, 5),
    'zuvadud/D738/nearest_apt_lon': (8, 5),
    'zuvadud/D738/fms/legs': (32, 1024),
    'zuvadud/D738/fms/legs_ext': (32, 1024),
    'zuvadud/D738/fms/legs_3': (32, 1024),
    'zuvadud/D738/fms/legs_ext_3': (32, 1024),
    'zuvadud/D738/fms/legs_pth': (32, 512),
    'zuvadud/D738/fms/legs_pth_before': (32, 512),
    'zuvadud/D738/fms/legs_pth_3': (32, 512),
    'zuvadud/D738/fms/legs_pth_before_3': (32, 512),
    'zuvadud/D738/metar_data': (32, 512),
    'zuvadud/D738/metar_icao': (32, 4),
    'zuvadud/D738/autogate_nearest_name': (32, 30),
    'zuvadud/D738/find_icao': (32, 6),
    'zuvadud/D738/pfd/vor1_sel_id': (32, 6),
    'zuvadud/D738/pfd/vor2_sel_id': (32, 6),
    'zuvadud/D738/fms/fpln_nav_id': (32, 8),
    # The floating-leg hand-back: up to 128 entries per array.
    **{'zuvadud/D738/fms/fms_add_data_%d' % k: (8, 128) for k in range(1, 7)},
    # The second and third routes and the abeam candidates: per-leg arrays.
    **{'zuvadud/D738/fms/legs_%s_%s' % (f, s): (8, 256)
       for s in ('2', '3')
       for f in ('lat', 'lon', 'brg_true', 'brg_mag', 'brg_fin_true', 'dist', 'radius', 'rad_lat', 'rad_lon',
                 'rad_turn', 'wpt_type', 'spd', 'crs_mag', 'hold_time', 'hold_dist', 'before', 'offset', 'idx',
                 'offset_lat', 'offset_lon')},
    'zuvadud/D738/fms/legs_df_crs_2': (8, 256),
    'zuvadud/D738/fms/legs_abeam_lat': (8, 256),
    'zuvadud/D738/fms/legs_abeam_lon': (8, 256),
    'zuvadud/D738/fms/legs_abeam_lat2': (8, 256),
    'zuvadud/D738/fms/legs_abeam_lon2': (8, 256),
    'zuvadud/D738/fms/legs_abeam_dist': (8, 256),
    # The FIX page: five fixes per display, three elements each.
    **{'zuvadud/D738/nd/fix_%s%s' % (side, f): (8, 5)
       for side in ('', 'fo_')
       for f in ('lat', 'lon', 'en', 'rad_dist_0', 'rad_dist_1', 'rad_dist_2', 'dist_0_nm', 'dist_1_nm',
                 'dist_2_nm', 'rad_dist_0a', 'rad_dist_1a', 'rad_dist_2a', 'rot_0', 'rot_1', 'rot_2', 'dist_x_0',
                 'dist_x_1', 'dist_x_2', 'dist_y_0', 'dist_y_1', 'dist_y_2')},
    **{'zuvadud/D738/nd/fix_abm_%s' % f: (8, 5) for f in ('act', 'brg', 'dist')},
    **{'zuvadud/D738/nd/fix_dist_%02d_%02d' % (i, e): (32, 6) for i in range(5) for e in range(3)},
}

TYPE_OF_CALL = {'geti': 1, 'seti': 1, 'getf': 2, 'setf': 2, 'getd': 4, 'setd': 4,
                'getvf': 8, 'setvf': 8, 'getvi': 16, 'setvi': 16, 'getb': 32, 'setb': 32}


def ident(name, doubled=False):
    if doubled:
        name = name.replace('/', '__')
    return re.sub(r'[^A-Za-z0-9_]', '_', name)


def calls(row):
    return [a for a in row['access'].split(',') if a]


def counts(row):
    return [int(c) for c in row['count'].split(',') if c]


def load(path):
    rows = list(csv.DictReader(open(path, encoding='utf-8'), delimiter='\t'))
    for r in rows:
        r['name'] = RENAMED.get(r['name'], r['name'])
        r['conversion'] = CONVERSION_REPLACED.get(r['name'], r['conversion'])
    simple = Counter(ident(r['name']) for r in rows)
    seen = set()
    for r in rows:
        r['id'] = ident(r['name'], simple[ident(r['name'])] > 1)
        assert r['id'] not in seen, r['id']
        seen.add(r['id'])
        r['polled'] = r['polled'] or 'no'
        assert r['table'] in TABLES, r['table']
    # Tables come in look-up order, each contiguous.
    order = [r['table'] for r in rows]
    runs = [t for i, t in enumerate(order) if i == 0 or order[i - 1] != t]
    assert runs == TABLES, runs
    return rows


def parse_host_type(text):
    """(type flags, size) of a type as the simulator lists it; None when absent."""
    if text == '-':
        return None
    m = re.fullmatch(r'(int|float|double)', text)
    if m:
        return {'int': 1, 'float': 2, 'double': 4}[text], 1
    m = re.fullmatch(r'(float|int|byte)\[(\d*)\]', text)
    assert m, text
    size = int(m.group(2)) if m.group(2) else OPEN_BYTES
    assert size > 0, text
    return {'float': 8, 'int': 16, 'byte': 32}[m.group(1)], size


def load_host_facts(path, rows):
    """name -> {version: (type flags, size, writable) or None} for every simulator name bound."""
    listed = {r['name']: r for r in csv.DictReader(open(path, encoding='utf-8'), delimiter='\t')}
    # A simulator name with facts but no look-up is a row added to one table
    # and not the other.
    bound = {r['name'] for r in rows if r['table'] == 'host'}
    unused = [n for n in listed if n not in bound and RENAMED.get(n) not in bound]
    if unused:
        sys.exit('gen_bound: %s: not looked up in %s: %s' % (os.path.basename(path), BOUND_TABLE, ' '.join(unused)))
    listed.update(HOST_FACTS_ADDED)
    facts = {}
    for r in rows:
        if r['table'] != 'host' or not r['name'].startswith('sim/'):
            continue
        f = listed.get(r['name'])
        assert f is not None, 'no host facts for ' + r['name']
        facts[r['name']] = {}
        for v in VERSIONS:
            t = parse_host_type(f['type_' + v])
            assert t is None or f['writable_' + v] in ('y', 'n'), r['name']
            facts[r['name']][v] = None if t is None else (t[0], t[1], 1 if f['writable_' + v] == 'y' else 0)
        kinds = {x[0] for x in facts[r['name']].values() if x}
        assert len(kinds) <= 1, 'type differs between host versions: ' + r['name']
    return facts


def mirror_read(r):
    """(call, count) of the per-frame read of a polled name, as the plug-in's list gives it."""
    c = calls(r)
    assert c and c[0] in TYPE_OF_CALL and c[0].startswith('get'), (r['name'], c)
    n = counts(r)
    return c[0], (n[0] if n else 1)


def poll_versions(r):
    return {'always': VERSIONS, 'host11': ('11',), 'host12': ('12',), 'no': VERSIONS}[r['polled']]


HOST_CALL = {1: 'i', 2: 'f', 4: 'd', 8: 'vf', 16: 'vi', 32: 'b'}


def host_type(r, facts, versions=VERSIONS):
    """(type flags, smallest size) of a simulator name over the host versions that have it; None if none."""
    have = [facts[r['name']][v] for v in versions if r['name'] in facts and facts[r['name']][v]]
    if not have:
        return None
    return have[0][0], min(x[1] for x in have)


def host_read(r, facts):
    """(call, count) of the per-frame read the host answers: its own type, and
    no more elements than the smallest array of the hosts that poll it."""
    call, n = mirror_read(r)
    t = host_type(r, facts, poll_versions(r))
    if t is None:
        return call, n   # no host has the name: the slot stays null
    flags, size = t
    hcall = 'get' + HOST_CALL[flags]
    if flags in (8, 16):
        # A value the list reads as one number is the array's first element.
        n = min(n if call in ('getvf', 'getvi') else 1, size)
    elif flags == 32:
        assert call == 'getb', r['name']
        n = min(n, size)
    else:
        n = 1
    return hcall, n


def newer_target(r):
    m = re.search(r'fills the mirror value of (\S+)', r['notes'])
    assert m, r['name']
    return m.group(1)


def scale_of(r):
    if r['conversion'].startswith('pascal to inches of mercury'):
        return INHG_PER_PA
    if r['conversion'].startswith('metres per second to knots'):
        return KT_PER_MS
    assert r['conversion'] == '', (r['name'], r['conversion'])
    return '1.0'


class Field:
    def __init__(self, row, ctype, count, owner, array, note=''):
        self.row, self.ctype, self.count, self.owner, self.array, self.note = row, ctype, count, owner, array, note

    def is_array(self):
        return self.array

    def decl(self):
        n = self.row['id']
        if self.ctype == 'char':
            return 'char %s[%d];  // %d bytes read + terminator' % (n, self.count + 1, self.count)
        if self.is_array():
            return '%s %s[%d];%s' % (self.ctype, n, self.count, self.note)
        return '%s %s;%s' % (self.ctype, n, self.note)


def build(rows, facts):
    by_name = {r['name']: r for r in rows}
    fields = OrderedDict()   # id -> Field (mirror storage)
    polls = {k: [] for k in ('f', 'i', 'i2f', 'f2i', 'd', 'vf', 'vi', 'b', 'h11f', 'h11i', 'h12f', 'h12vf',
                             'h12i', 'sf', 'svf', 'sfail')}
    for r in rows:
        if r['polled'] == 'no':
            continue
        call, n = mirror_read(r)
        host = r['table'] == 'host'
        owner = 'host_mirror' if host else 'script_mirror'
        if r['polled'] == 'host12':
            continue   # stored into its older partner, below
        if not host:
            assert r['polled'] == 'always' and call in ('getf', 'getvf') and not r['conversion'], r['name']
            if r['name'] in FAILURE_ARRAYS:
                assert n == 70, r['name']
                polls['sfail'].append((r, FAILURE_ARRAYS[r['name']], n))
                continue
            fields[r['id']] = Field(r, 'float', n, owner, call == 'getvf')
            polls['sf' if call == 'getf' else 'svf'].append((r, n))
            continue
        conv = r['conversion']
        array = call in ('getvf', 'getvi')
        hcall, hn = host_read(r, facts)
        note = ''
        if hcall == 'geti':
            ctype = 'float' if conv == INT_AS_FLOAT else 'int32_t'
            kind = 'i2f' if conv == INT_AS_FLOAT else 'i'
            note = '  // int on the host' if conv == INT_AS_FLOAT else ''
        elif hcall == 'getf':
            ctype = 'int32_t' if conv == FLOAT_AS_INT else 'float'
            kind = 'f2i' if conv == FLOAT_AS_INT else 'f'
            note = '  // float on the host, truncated' if conv == FLOAT_AS_INT else ''
        elif hcall == 'getd':
            ctype, kind = 'double', 'd'
        elif hcall == 'getvf':
            ctype, kind = 'float', 'vf'
        elif hcall == 'getvi':
            ctype, kind = 'int32_t', 'vi'
        elif hcall == 'getb':
            ctype, kind = 'char', 'b'
        else:
            raise AssertionError(r['name'])
        assert array == (kind in ('vf', 'vi')) or not array, 'array read of a scalar: ' + r['name']
        if kind in ('vf', 'vi') and not array:
            note = '  // element 0 of the host\'s array'
        elif array and hn < n:
            note = '  // the host has %d' % hn
        if r['polled'] == 'host11':
            assert kind in ('f', 'i'), r['name']
            kind = 'h11' + kind
        fields[r['id']] = Field(r, ctype, n, owner, array, note)
        if r['name'] == ELEVATOR_TRIM or r['name'] in TCAS_ARRAYS:
            continue   # read by the poll code under its own test
        polls[kind].append((r, hn))
    for r in rows:
        if r['polled'] != 'host12':
            continue
        call, _ = host_read(r, facts)
        target = by_name[newer_target(r)]
        assert target['polled'] == 'host11', target['name']
        tf = fields[target['id']]
        if call in ('getf', 'getvf'):
            assert tf.ctype == 'float' and not tf.is_array(), target['name']
            polls['h12f' if call == 'getf' else 'h12vf'].append((r, target, scale_of(r)))
        else:
            assert call == 'geti' and tf.ctype == 'int32_t' and not r['conversion'], r['name']
            polls['h12i'].append((r, target))
    return fields, polls


def host_access(r, facts):
    """The access column with every typed or bare call in the host's own type."""
    t = host_type(r, facts)
    if t is None:
        return r['access']
    suffix = HOST_CALL[t[0]]
    out = []
    for a in calls(r):
        a = ('get' if a.startswith('get') else 'set') + suffix
        if a not in out:
            out.append(a)
    return ','.join(out)


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)


def gen_names(rows, facts):
    out = ['// Generated by tools/gen_bound.py from bound_datarefs.tsv and host_datarefs.tsv; do not edit.',
           '// BOUND(identifier, "name", table, access, count, polled, conversion)',
           '// The host\'s own names carry the calls of the host\'s own type; count is',
           '// the elements or bytes of the mirror read (0: none stated).']
    for r in rows:
        c = counts(r)
        n = c[0] if c else 0
        if r['name'] in facts and r['polled'] != 'no' and host_type(r, facts, poll_versions(r)):
            call, hn = host_read(r, facts)
            n = hn if call in ('getvf', 'getvi', 'getb') else 0
        out.append('BOUND(%s, "%s", %s, "%s", %d, %s, "%s")' % (
            r['id'], r['name'], r['table'], host_access(r, facts), n, r['polled'], r['conversion']))
    return '\n'.join(out) + '\n'


def gen_mirrors(fields):
    out = ['// Generated by tools/gen_bound.py from bound_datarefs.tsv and host_datarefs.tsv; do not edit.',
           '// Per-frame mirrors of outside datarefs: one field per mirrored name, named',
           '// like its bound::Id. Scalars keep the type of their read (converted where the',
           '// comment says); texts hold the bytes read plus a terminator that is always set.',
           '// Values read on older hosts under an older name are filled from the newer name',
           '// on newer hosts (see bound_polls.inc), so users read one field on every host.',
           '#pragma once', '', '#include <cstdint>', '']
    for owner, struct in (('host_mirror', 'HostMirror'), ('script_mirror', 'ScriptMirror')):
        out.append('struct %s {' % struct)
        for f in fields.values():
            if f.owner == owner:
                out.append('  ' + f.decl())
        out.append('};')
        out.append('extern %s %s;' % (struct, owner))
        out.append('')
    return '\n'.join(out)


def gen_polls(rows, fields, polls):
    out = ['// Generated by tools/gen_bound.py from bound_datarefs.tsv and host_datarefs.tsv; do not edit.',
           '// Included by core/binding_mirror.cpp after the entry types it names',
           '// (core/bound_poll_types.h), and by the test that checks the tables.', '']
    def addr(r):
        f = fields[r['id']]
        return '&%s.%s' % (f.owner, r['id']) + ('[0]' if (f.ctype == 'char' or f.is_array()) else '')

    def table(ctype, name, rows_):
        out.append('constexpr std::array<%s, %d> %s{{' % (ctype, len(rows_), name))
        for e in rows_:
            out.append('  ' + e + ',')
        out.append('}};')
        out.append('')

    table('PollF', 'kHostF', ['{bound::%s, %s}' % (r['id'], addr(r)) for r, _ in polls['f']])
    table('PollI', 'kHostI', ['{bound::%s, %s}' % (r['id'], addr(r)) for r, _ in polls['i']])
    table('PollIntAsFloat', 'kHostIntAsFloat', ['{bound::%s, %s}' % (r['id'], addr(r)) for r, _ in polls['i2f']])
    table('PollFloatAsInt', 'kHostFloatAsInt', ['{bound::%s, %s}' % (r['id'], addr(r)) for r, _ in polls['f2i']])
    table('PollD', 'kHostD', ['{bound::%s, %s}' % (r['id'], addr(r)) for r, _ in polls['d']])
    table('PollVF', 'kHostVF', ['{bound::%s, %s, %d}' % (r['id'], addr(r), n) for r, n in polls['vf']])
    table('PollVI', 'kHostVI', ['{bound::%s, %s, %d}' % (r['id'], addr(r), n) for r, n in polls['vi']])
    table('PollB', 'kHostB', ['{bound::%s, %s, %d}' % (r['id'], addr(r), n) for r, n in polls['b']])
    out.append('// Older hosts: read under the older names.')
    table('PollF', 'kHost11F', ['{bound::%s, %s}' % (r['id'], addr(r)) for r, _ in polls['h11f']])
    table('PollI', 'kHost11I', ['{bound::%s, %s}' % (r['id'], addr(r)) for r, _ in polls['h11i']])
    out.append('// Newer hosts: the newer names fill the older names\' fields, in the older units.')
    table('PollScaled', 'kHost12F',
          ['{bound::%s, %s, %s}' % (r['id'], addr(t), s) for r, t, s in polls['h12f']])
    table('PollScaled', 'kHost12FirstOfF',
          ['{bound::%s, %s, %s}' % (r['id'], addr(t), s) for r, t, s in polls['h12vf']])
    table('PollI', 'kHost12I', ['{bound::%s, %s}' % (r['id'], addr(t)) for r, t in polls['h12i']])
    table('PollF', 'kScriptF', ['{bound::%s, %s}' % (r['id'], addr(r)) for r, _ in polls['sf']])
    table('PollVF', 'kScriptVF', ['{bound::%s, %s, %d}' % (r['id'], addr(r), n) for r, n in polls['svf']]
          + ['{bound::%s, &failure_tables.%s[0], %d}' % (r['id'], t, n) for r, t, n in polls['sfail']])

    out.append('// Mirror storage of every bound name, by bound::Id (none for unmirrored names).')
    out.append('constexpr MirrorSlot kMirrorSlots[bound::COUNT] = {')
    kinds = {'float': 'MirrorKind::f32', 'int32_t': 'MirrorKind::i32', 'double': 'MirrorKind::f64', 'char': 'MirrorKind::text'}
    fail = {r['id']: (t, n) for r, t, n in polls['sfail']}
    for r in rows:
        f = fields.get(r['id'])
        if r['id'] in fail:
            t, n = fail[r['id']]
            out.append('  {MirrorKind::vf32, &failure_tables.%s[0], %d},' % (t, n))
        elif f is None:
            out.append('  {MirrorKind::none, nullptr, 0},')
        else:
            k = kinds[f.ctype]
            if f.is_array():
                k = 'MirrorKind::vf32' if f.ctype == 'float' else 'MirrorKind::vi32'
            out.append('  {%s, %s, %d},' % (k, addr(r), f.count))
    out.append('};')
    return '\n'.join(out) + '\n'


def catalog_type(r):
    """(type flags, size, writable) the simulated host gives a bound name that is not the simulator's."""
    c = calls(r)
    typed = [a for a in c if a in TYPE_OF_CALL]
    n = counts(r)
    writable = 1 if any(a.startswith('set') for a in c) else 0
    if r['polled'] != 'no':
        t = TYPE_OF_CALL[mirror_read(r)[0]]
        # Some names are read with one type and written with another.
        for a in typed:
            if (TYPE_OF_CALL[a] in (8, 16, 32)) == (t in (8, 16, 32)):
                t |= TYPE_OF_CALL[a]
    elif r['name'] in SCRIPT_TYPES:
        t, size = SCRIPT_TYPES[r['name']]
        return t, size, writable
    elif typed:
        t = 0
        for a in typed:
            if (TYPE_OF_CALL[a] in (8, 16, 32)) == (TYPE_OF_CALL[typed[0]] in (8, 16, 32)):
                t |= TYPE_OF_CALL[a]
    else:
        t = 2
    size = max(n) if (n and t & 56) else 1
    assert not t & 56 or n or r['name'] in SCRIPT_TYPES, r['name']
    return t, size, writable


def gen_catalog(rows):
    out = ['name\ttype\tsize\twritable\tdefault']
    for r in rows:
        t, size, _ = catalog_type(r)
        # The scripts' own datarefs take writes from both sides.
        out.append('%s\t%d\t%d\t%d\t' % (r['name'], t, size, 1))
    return '\n'.join(out) + '\n'


def gen_host_catalog(rows, facts, version):
    """The host datarefs the plug-in binds, as the simulator of that version has
    them; a name that version lacks is left out, so its look-up gives null."""
    out = ['name\ttype\tsize\twritable\tdefault']
    for r in rows:
        if r['name'] in facts:
            f = facts[r['name']][version]
            if f is None:
                continue
            t, size, w = f
        else:
            t, size, w = catalog_type(r)
        out.append('%s\t%d\t%d\t%d\t' % (r['name'], t, size, w))
    return '\n'.join(out) + '\n'


def gen_host_ranges(path):
    """The host's values whose unit in its published list is a range, one row
    each: the write census holds what the plug-in hands the host to them. Kept
    in the tree so that the census does not depend on the list being there."""
    out = ['name\tlo\thi']
    for r in csv.DictReader(open(path, encoding='utf-8'), delimiter='\t'):
        unit = r['units_12'] or ''
        if unit == 'enum':
            # An enumeration that lists its values one after another from
            # its first ("0=none,1=left,...,5=aft"): the first to the last.
            # One that lists only some ("6=com1,7=com2") gives no range.
            values = sorted(set(int(v) for v in re.findall(r'(?<![\w-])(-?\d+)=', r['description_12'] or '')))
            if len(values) > 1 and values[0] <= 0 and values == list(range(values[0], values[-1] + 1)):
                out.append('%s\t%d\t%d' % (r['name'], min(values), max(values)))
            continue
        if len(unit) > 2 and unit[0] == '[' and unit[-1] == ']':
            unit = unit[1:-1]
        lo, dots, hi = unit.partition('..')
        if not dots or not lo:
            continue
        try:
            float(lo), float(hi)
        except ValueError:
            continue
        out.append('%s\t%s\t%s' % (r['name'], lo, hi))
    return '\n'.join(out) + '\n'


def main():
    args = sys.argv[1:]
    check = bool(args) and args[0] == '--check'
    if check:
        args = args[1:]
    if len(args) not in (2, 3):
        sys.exit(__doc__)
    root = args[2] if len(args) == 3 else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    global BOUND_TABLE
    BOUND_TABLE = os.path.basename(args[0])
    rows = load(args[0])
    numbering = seq_errors(rows, 'table', BOUND_TABLE)
    if numbering:
        sys.exit('\n'.join('gen_bound: ' + e for e in numbering))
    facts = load_host_facts(args[1], rows)
    fields, polls = build(rows, facts)
    host = [r for r in rows if r['table'] == 'host']
    # Script values, including the two flags of the scripts that sit in the
    # add-on table; add-ons themselves stay undefined unless a test adds them.
    scripts = [r for r in rows
               if (r['table'] in ('mirrored_script', 'direct_script')
                   or (r['table'] == 'addon' and r['name'].startswith('zuvadud/')))
               and r['name'] not in SELF_PUBLISHED]
    outputs = [
        ('src/core/bound_names.inc', gen_names(rows, facts)),
        ('src/core/bound_mirrors.h', gen_mirrors(fields)),
        ('src/core/bound_polls.inc', gen_polls(rows, fields, polls)),
        ('simhost/catalog/host_bound_11.tsv', gen_host_catalog(host, facts, '11')),
        ('simhost/catalog/host_bound_12.tsv', gen_host_catalog(host, facts, '12')),
        ('simhost/catalog/scripts_bound.tsv', gen_catalog(scripts)),
    ]
    descriptions = os.path.join(os.path.dirname(args[1]), 'host_dataref_descriptions.tsv')
    if os.path.exists(descriptions):
        outputs.append(('simhost/catalog/host_ranges.tsv', gen_host_ranges(descriptions)))
    else:
        print('gen_bound: no %s: simhost/catalog/host_ranges.tsv left as it is' % descriptions, file=sys.stderr)
    if check:
        stale = []
        for rel, text in outputs:
            path = os.path.join(root, rel)
            if not os.path.exists(path) or open(path, encoding='utf-8', newline='').read() != text:
                stale.append(rel)
        if stale:
            sys.exit('gen_bound: %s and %s disagree with the generated files (run tools/gen_bound.py): %s'
                     % (os.path.basename(args[0]), os.path.basename(args[1]), ' '.join(stale)))
        print('gen_bound: %d generated files up to date' % len(outputs), file=sys.stderr)
        return
    for rel, text in outputs:
        write(os.path.join(root, rel), text)
    sizes = ' '.join('%s=%d' % (k, len(v)) for k, v in polls.items())
    print('gen_bound: %d names; polls %s' % (len(rows), sizes), file=sys.stderr)


if __name__ == '__main__':
    main()
