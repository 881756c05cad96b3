#!/usr/bin/env python3
"""Generate the bound-dataref tables from one TSV of looked-up names.

Usage: gen_bound.py BOUND_TSV [REPO_ROOT]

REPO_ROOT defaults to the folder above this script. Writes:
  src/core/bound_names.inc      X-macro rows, one per looked-up name, in look-up order
  src/core/bound_mirrors.h      the HostMirror and ScriptMirror structs, one field per mirrored name
  src/core/bound_polls.inc      table ranges, per-frame poll tables and the per-name mirror map
  simhost/catalog/host_bound.tsv     the host datarefs the plug-in binds (simulated host)
  simhost/catalog/scripts_bound.tsv  the script datarefs the plug-in binds (simulated host)

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

# Catalog types of names whose access gives no type: (type flags, size).
# Host names follow the host's own dataref types; script texts their byte size.
HOST_TYPES = {
    'sim/aircraft/view/acf_livery_path': (32, 1024),
    'sim/aircraft/view/acf_livery_index': (1, 1),
    'sim/graphics/view/panel_render_type': (1, 1),
    'sim/cockpit2/radios/indicators/gps_nav_id': (32, 150),
    'sim/version/xplane_internal_version': (1, 1),
    'sim/cockpit2/bleedair/actuators/engine_bleed_sov': (8, 2),
}
# Host values the plug-in writes although their rows name only a read.
# Host datarefs the plug-in writes although its binding only reads them: the
# bus loads, and the start-up state's and the cockpit state restore's pushes.
HOST_WRITTEN = {'sim/cockpit2/electrical/plugin_bus_load_amps',
                # bleed air actuators and the electric hydraulic pumps
                'sim/cockpit2/bleedair/actuators/apu_bleed', 'sim/cockpit2/bleedair/actuators/engine_bleed_sov',
                'sim/cockpit2/bleedair/actuators/gpu_bleed', 'sim/cockpit2/bleedair/actuators/isol_valve_left',
                'sim/cockpit2/bleedair/actuators/isol_valve_right', 'sim/cockpit2/bleedair/actuators/pack_center',
                'sim/cockpit2/bleedair/actuators/pack_left', 'sim/cockpit2/bleedair/actuators/pack_right',
                'sim/cockpit2/switches/electric_hydraulic_pump_on',
                'sim/cockpit2/switches/electric_hydraulic_pump2_on',
                # brakes, steering, flaps, radios, probe heat, brightness and ice effects
                'sim/aircraft/overflow/acf_brake_co', 'sim/aircraft/overflow/acf_roll_co',
                'sim/cockpit2/switches/panel_brightness_ratio', 'sim/cockpit2/radios/actuators/adf2_power',
                'sim/cockpit2/radios/actuators/adf1_frequency_hz', 'sim/cockpit2/radios/actuators/adf2_frequency_hz',
                'sim/cockpit2/radios/actuators/adf1_standby_frequency_hz',
                'sim/cockpit2/radios/actuators/adf2_standby_frequency_hz',
                'sim/cockpit2/ice/ice_AOA_heat_on', 'sim/cockpit2/ice/ice_AOA_heat_on_copilot',
                'sim/cockpit2/ice/ice_pitot_heat_on_pilot', 'sim/cockpit2/ice/ice_pitot_heat_on_copilot',
                'sim/cockpit2/ice/ice_static_heat_on_pilot', 'sim/cockpit2/ice/ice_static_heat_on_copilot',
                'sim/flightmodel/failures/window_ice', 'sim/flightmodel/failures/frm_ice',
                'sim/flightmodel/failures/frm_ice2', 'sim/flightmodel/failures/tail_ice',
                'sim/flightmodel/failures/tail_ice2', 'sim/flightmodel/failures/inlet_ice_per_engine',
                # electrical buses: avionics, ground power, APU generator and inverters
                'sim/cockpit/electrical/avionics_on', 'sim/cockpit/electrical/gpu_on',
                'sim/cockpit/electrical/generator_apu_on', 'sim/cockpit2/electrical/inverter_on',
                'sim/cockpit2/switches/avionics_power_on',
                'sim/cockpit2/radios/actuators/adf1_power',
                'sim/cockpit/pressure/cabin_vvi_set_m_msec',
                'sim/cockpit2/engine/actuators/mixture_ratio',
                # engine model: idle ratios, starter, flap coefficients, plug force
                'sim/aircraft2/engine/low_idle_ratio', 'sim/aircraft2/engine/high_idle_ratio',
                'sim/aircraft/engine/acf_starter_torque_ratio', 'sim/aircraft/engine/acf_starter_max_rpm_ratio',
                'sim/aircraft/controls/acf_flap_cl', 'sim/aircraft/controls/acf_flap2_cl',
                'sim/aircraft/controls/acf_flap_cm', 'sim/aircraft/controls/acf_flap2_cm',
                'sim/flightmodel/forces/faxil_plug_acf',
                # the plug-in's own indicated airspeed and trend, and the flight-director bars
                'sim/cockpit2/gauges/indicators/airspeed_kts_pilot', 'sim/cockpit2/gauges/indicators/airspeed_kts_copilot',
                'sim/cockpit2/gauges/indicators/airspeed_acceleration_kts_sec_pilot',
                'sim/cockpit2/gauges/indicators/airspeed_acceleration_kts_sec_copilot',
                'sim/cockpit/autopilot/flight_director_pitch', 'sim/cockpit/autopilot/flight_director_roll',
                # engine failures: the failure modes, the spooled-down N1 and the oil lost
                'sim/operation/failures/rel_engfai0', 'sim/operation/failures/rel_engfai1',
                'sim/operation/failures/rel_engsep0', 'sim/operation/failures/rel_engsep1',
                'sim/operation/failures/rel_oilpmp0', 'sim/operation/failures/rel_oilpmp1',
                'sim/operation/failures/rel_genera0', 'sim/operation/failures/rel_genera1',
                'sim/flightmodel/engine/ENGN_N1_', 'sim/flightmodel/engine/ENGN_oil_quan'}
# The host's failure enums and warning preferences take writes from plug-ins.
HOST_WRITABLE_PATTERNS = [r'^sim/operation/failures/rel_', r'^sim/operation/prefs/warn_',
                          r'^sim/flightmodel/engine/ENGN_oil_quan']
HOST_INT_PATTERNS = [r'^sim/operation/failures/rel_', r'^sim/operation/prefs/warn_']
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


def mirror_read(r):
    """(call, count) of the per-frame read of a polled name."""
    c = calls(r)
    assert c and c[0] in TYPE_OF_CALL and c[0].startswith('get'), (r['name'], c)
    n = counts(r)
    return c[0], (n[0] if n else 1)


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
    def __init__(self, row, ctype, count, owner):
        self.row, self.ctype, self.count, self.owner = row, ctype, count, owner

    def is_array(self):
        return mirror_read(self.row)[0] in ('getvf', 'getvi')

    def decl(self):
        n = self.row['id']
        if self.ctype == 'char':
            return 'char %s[%d];  // %d bytes read + terminator' % (n, self.count + 1, self.count)
        if self.is_array():
            return '%s %s[%d];' % (self.ctype, n, self.count)
        note = ''
        if self.row['conversion'] == INT_AS_FLOAT:
            note = '  // int on the host'
        elif self.row['conversion'] == FLOAT_AS_INT:
            note = '  // float on the host, truncated'
        return '%s %s;%s' % (self.ctype, n, note)


def build(rows):
    by_name = {r['name']: r for r in rows}
    fields = OrderedDict()   # id -> Field (mirror storage)
    polls = {k: [] for k in ('f', 'i', 'i2f', 'f2i', 'd', 'vf', 'vi', 'b', 'h11f', 'h11i', 'h12f', 'h12i',
                             'sf', 'svf', 'sfail')}
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
            fields[r['id']] = Field(r, 'float', n, owner)
            polls['sf' if call == 'getf' else 'svf'].append((r, n))
            continue
        conv = r['conversion']
        if call == 'geti':
            ctype = 'float' if conv == INT_AS_FLOAT else 'int32_t'
            kind = 'i2f' if conv == INT_AS_FLOAT else 'i'
        elif call == 'getf':
            ctype = 'int32_t' if conv == FLOAT_AS_INT else 'float'
            kind = 'f2i' if conv == FLOAT_AS_INT else 'f'
        elif call == 'getd':
            ctype, kind = 'double', 'd'
        elif call == 'getvf':
            ctype, kind = 'float', 'vf'
        elif call == 'getvi':
            ctype, kind = 'int32_t', 'vi'
        elif call == 'getb':
            ctype, kind = 'char', 'b'
        else:
            raise AssertionError(r['name'])
        if r['polled'] == 'host11':
            assert kind in ('f', 'i'), r['name']
            kind = 'h11' + kind
        fields[r['id']] = Field(r, ctype, n, owner)
        if r['name'] == ELEVATOR_TRIM or r['name'] in TCAS_ARRAYS:
            continue   # read by the poll code under its own test
        polls[kind].append((r, n))
    for r in rows:
        if r['polled'] != 'host12':
            continue
        call, _ = mirror_read(r)
        target = by_name[newer_target(r)]
        assert target['polled'] == 'host11', target['name']
        tf = fields[target['id']]
        if call == 'getf':
            assert tf.ctype == 'float', target['name']
            polls['h12f'].append((r, target, scale_of(r)))
        else:
            assert call == 'geti' and tf.ctype == 'int32_t' and not r['conversion'], r['name']
            polls['h12i'].append((r, target))
    return fields, polls


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)


def gen_names(rows):
    out = ['// Generated by tools/gen_bound.py; do not edit.',
           '// BOUND(identifier, "name", table, access, count, polled, conversion)']
    for r in rows:
        c = counts(r)
        out.append('BOUND(%s, "%s", %s, "%s", %d, %s, "%s")' % (
            r['id'], r['name'], r['table'], r['access'], c[0] if c else 0, r['polled'], r['conversion']))
    return '\n'.join(out) + '\n'


def gen_mirrors(fields):
    out = ['// Generated by tools/gen_bound.py; do not edit.',
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
    out = ['// Generated by tools/gen_bound.py; do not edit.',
           '// Included once, by core/binding_mirror.cpp, after the entry types it names.', '']
    def addr(r):
        f = fields[r['id']]
        return '&%s.%s' % (f.owner, r['id']) + ('[0]' if (f.ctype == 'char' or f.is_array()) else '')

    def table(ctype, name, rows_):
        out.append('constexpr %s %s[] = {' % (ctype, name))
        for e in rows_:
            out.append('  ' + e + ',')
        out.append('};')
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
            call = mirror_read(r)[0]
            if call in ('getvf', 'getvi'):
                k = 'MirrorKind::vf32' if f.ctype == 'float' else 'MirrorKind::vi32'
            out.append('  {%s, %s, %d},' % (k, addr(r), f.count))
    out.append('};')
    return '\n'.join(out) + '\n'


def catalog_type(r):
    """(type flags, size, writable) the simulated host gives a bound name."""
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
    elif r['name'] in HOST_TYPES:
        t, size = HOST_TYPES[r['name']]
        return t, size, writable
    elif r['name'] in SCRIPT_TYPES:
        t, size = SCRIPT_TYPES[r['name']]
        return t, size, writable
    elif typed:
        t = 0
        for a in typed:
            if (TYPE_OF_CALL[a] in (8, 16, 32)) == (TYPE_OF_CALL[typed[0]] in (8, 16, 32)):
                t |= TYPE_OF_CALL[a]
    elif any(re.search(p, r['name']) for p in HOST_INT_PATTERNS):
        t = 1
    else:
        t = 2
    size = max(n) if (n and t & 56) else 1
    assert not t & 56 or n or r['name'] in HOST_TYPES or r['name'] in SCRIPT_TYPES, r['name']
    return t, size, writable


def gen_catalog(rows):
    out = ['name\ttype\tsize\twritable\tdefault']
    for r in rows:
        t, size, w = catalog_type(r)
        if r['table'] != 'host' or r['name'] in HOST_WRITTEN or \
                any(re.search(p, r['name']) for p in HOST_WRITABLE_PATTERNS):
            w = 1   # the scripts' own datarefs take writes from both sides
        out.append('%s\t%d\t%d\t%d\t' % (r['name'], t, size, w))
    return '\n'.join(out) + '\n'


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    root = sys.argv[2] if len(sys.argv) == 3 else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    rows = load(sys.argv[1])
    fields, polls = build(rows)
    write(os.path.join(root, 'src/core/bound_names.inc'), gen_names(rows))
    write(os.path.join(root, 'src/core/bound_mirrors.h'), gen_mirrors(fields))
    write(os.path.join(root, 'src/core/bound_polls.inc'), gen_polls(rows, fields, polls))
    host = [r for r in rows if r['table'] == 'host']
    # Script values, including the two flags of the scripts that sit in the
    # add-on table; add-ons themselves stay undefined unless a test adds them.
    scripts = [r for r in rows
               if (r['table'] in ('mirrored_script', 'direct_script')
                   or (r['table'] == 'addon' and r['name'].startswith('zuvadud/')))
               and r['name'] not in SELF_PUBLISHED]
    write(os.path.join(root, 'simhost/catalog/host_bound.tsv'), gen_catalog(host))
    write(os.path.join(root, 'simhost/catalog/scripts_bound.tsv'), gen_catalog(scripts))
    sizes = ' '.join('%s=%d' % (k, len(v)) for k, v in polls.items())
    print('gen_bound: %d names; polls %s' % (len(rows), sizes), file=sys.stderr)


if __name__ == '__main__':
    main()
