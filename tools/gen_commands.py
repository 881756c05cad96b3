#!/usr/bin/env python3
"""Generate the command tables from the shared command TSVs.

Usage: gen_commands.py [--check] DATA_DIR [REPO_ROOT]

DATA_DIR holds commands.tsv, host_commands.tsv and own_commands_issued.tsv.
Writes (or, with --check, compares and fails on any difference), below
REPO_ROOT (default: the folder above this script):

  src/core/command_ids.h           HostCmd and OwnCmd, the handles other code issues
  src/commands/command_handlers.h  one declaration per handler, grouped by the
                                   area module that defines it
  src/commands/command_table.cpp   created commands, host hooks, host names, groups
  simhost/catalog/host_commands.tsv  the host commands the simulated host must know

Every count the plug-in relies on is checked first, here and nowhere else:
the generated headers carry the counts to the code and the tests. On any
disagreement the script prints each one, naming its table, writes nothing and
exits with status 1.
"""
import csv
import os
import re
import sys
from collections import Counter

from table_seq import seq_errors

PREFIX = 'zuvadud/D738/'

GROUPS = [
    ('register_n1_source_commands', 2, 6),
    ('register_audio_panel_commands', 41, 0),
    ('register_anti_ice_commands', 7, 0),
    ('register_radio_panel_commands', 59, 0),
    ('register_chrono_commands', 12, 0),
    ('register_fire_commands', 9, 0),
    ('register_cover_commands', 14, 4),
    ('register_light_switch_commands', 52, 0),
    ('register_cabin_light_commands', 7, 0),
    ('register_main_commands', 270, 25),
]

KINDS = {
    'toggle_switch': 178, 'push_button': 67, 'knob': 43, 'switch': 39, 'audio': 18, 'comm': 18,
    'rtp_L': 12, 'rtp_R': 12, 'rtp_D': 12, 'fire': 9, 'gear_lock': 1, 'rotary': 8, 'engine': 8,
    'cabin': 7, 'one_way_switch': 6, 'alert': 4, 'system': 4, 'flight_controls': 4, 'autopilot': 2,
    'spring_toggle_switch': 2, 'spring_switch': 1, 'LDU_control': 1, '': 17,
}

# Cockpit area -> module under src/commands/ that defines its handlers.
AREAS = {
    'trim': 'trim',
    'flight control panel and flaps': 'flight_controls',
    'gear, brakes and speed brake': 'gear_brakes',
    'electrical power panel': 'electrical_panel',
    'exterior lights': 'exterior_lights',
    'cabin signs, interphone and cabin light presets': 'cabin_signs',
    'display sources and selectors': 'display_sources',
    'clocks, chronographs and standby altimeter': 'clocks',
    'fire protection, alerts and tests': 'fire_protection',
    'window and wing heat': 'window_heat',
    'radio tuning panels': 'radio_panels',
    'audio control panels': 'audio_panels',
    'transponder panel': 'transponder',
    'engine start, fuel and reversers': 'engine_start',
    'air, pressurisation, oxygen and heat': 'air_pressurisation',
    'hydraulics, doors, manual gear and first officer trim': 'hydraulics_doors',
    'warnings, tests and failures': 'warnings_tests',
    'cabin, service and panel': 'cabin_service',
}

# Handlers that other code knows by name.
NAMED_HANDLERS = {
    PREFIX + 'push_button/attend': 'attend_button_handler',
}

errors = []


def check(cond, msg):
    if not cond:
        errors.append(msg)


def ident(text):
    return re.sub(r'[^A-Za-z0-9_]', '_', text)


def own_handler(name):
    return NAMED_HANDLERS.get(name) or 'cmd_' + ident(name[len(PREFIX):])


def host_id(name):
    return ident(name[len('sim/'):])


def cstr(text):
    check(all(32 <= ord(c) < 127 for c in text), 'non-printable or non-ASCII text: %r' % text)
    return '"' + text.replace('\\', '\\\\').replace('"', '\\"') + '"'


def read(path):
    with open(path, encoding='utf-8', newline='') as f:
        return list(csv.DictReader(f, delimiter='\t', quoting=csv.QUOTE_NONE))


outputs = []


def write(root, rel, text):
    outputs.append((rel, text))


def flush(root, check):
    if check:
        stale = []
        for rel, text in outputs:
            path = os.path.join(root, rel)
            if not os.path.exists(path) or open(path, encoding='utf-8', newline='').read() != text:
                stale.append(rel)
        if stale:
            sys.exit('gen_commands: commands.tsv, host_commands.tsv and own_commands_issued.tsv '
                     'disagree with the generated files (run tools/gen_commands.py): ' + ' '.join(stale))
        print('gen_commands: %d generated files up to date' % len(outputs), file=sys.stderr)
        return
    for rel, text in outputs:
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'w', encoding='utf-8', newline='\n') as f:
            f.write(text)


def main():
    args = sys.argv[1:]
    check_only = bool(args) and args[0] == '--check'
    if check_only:
        args = args[1:]
    if len(args) not in (1, 2):
        sys.exit(__doc__)
    data = args[0]
    root = args[1] if len(args) == 2 else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    cmds = read(os.path.join(data, 'commands.tsv'))
    hosts = read(os.path.join(data, 'host_commands.tsv'))
    owns = read(os.path.join(data, 'own_commands_issued.tsv'))

    # ---- checks ---------------------------------------------------------------
    names = [c['name'] for c in cmds]
    check(len(cmds) == 473, 'commands.tsv: created commands: %d, want 473' % len(cmds))
    check(len(set(names)) == len(names), 'commands.tsv: a command name appears twice')
    for e in seq_errors(cmds, None, 'commands.tsv'):
        check(False, e)
    for c in cmds:
        check(c['name'].startswith(PREFIX), 'commands.tsv: name outside the namespace: ' + c['name'])
        check(c['handler_area'] in AREAS, 'commands.tsv: unknown handler area: %r' % c['handler_area'])
        check(c['description'] != '', 'commands.tsv: empty description: ' + c['name'])
    group_order = []
    for c in cmds:
        if not group_order or group_order[-1] != c['group']:
            group_order.append(c['group'])
    check(group_order == [g[0] for g in GROUPS], 'commands.tsv: groups not contiguous or not in order: %s' % group_order)
    per_group = Counter(c['group'] for c in cmds)
    for g, n, _ in GROUPS:
        check(per_group[g] == n, 'commands.tsv: %s creates %d, want %d' % (g, per_group[g], n))
    kinds = Counter(c['kind'] for c in cmds)
    for k in sorted(set(kinds) | set(KINDS)):
        check(kinds[k] == KINDS.get(k, 0), 'commands.tsv: kind %r: %d, want %d' % (k, kinds[k], KINDS.get(k, 0)))
    for c in cmds:
        rest = c['name'][len(PREFIX):]
        check(c['kind'] == (rest.split('/')[0] if '/' in rest else ''), 'commands.tsv: kind column disagrees: ' + c['name'])

    looked = [h for h in hosts if h['role'] == 'looked_up']
    taken = [h for h in hosts if h['role'] == 'taken_over']
    check(len(looked) == 53, 'host_commands.tsv: look-ups: %d, want 53' % len(looked))
    check(len(taken) == 35, 'host_commands.tsv: take-overs: %d, want 35' % len(taken))
    check(hosts == looked + taken, 'host_commands.tsv: look-ups must all come before the take-overs')
    check(len({h['name'] for h in hosts}) == len(hosts), 'host_commands.tsv: a host command appears twice')
    for h in hosts:
        check(h['name'].startswith('sim/'), 'host_commands.tsv: host command outside sim/: ' + h['name'])
    for g, _, nh in GROUPS:
        got = sum(1 for h in taken if h['group'] == g)
        check(got == nh, 'host_commands.tsv: %s takes over %d, want %d' % (g, got, nh))
    check([h['group'] for h in taken] == sorted((h['group'] for h in taken),
                                                 key=[g[0] for g in GROUPS].index),
          'host_commands.tsv: take-overs not in group order')
    passing = [h['name'] for h in taken if h['returns'] == '1']
    check(sorted(passing) == sorted('sim/flight_controls/%s_trim_%s' % (a, s)
                                    for a in ('aileron', 'rudder') for s in ('left', 'right')),
          'host_commands.tsv: hooks that let the host act as well: %s' % passing)
    check(all(h['returns'] in ('0', '1') for h in taken), 'host_commands.tsv: take-over without a return value')
    hook_area = {}
    for h in taken:
        m = re.search(r'handler area: ([^;]+);', h['notes'])
        check(m is not None and m.group(1) in AREAS, 'host_commands.tsv: take-over without a known area: ' + h['name'])
        if m:
            hook_area[h['name']] = m.group(1)

    check(len(owns) == 14, 'own_commands_issued.tsv: own commands issued: %d, want 14' % len(owns))
    for o in owns:
        check(o['name'] in names, 'own_commands_issued.tsv: issued own command is not created: ' + o['name'])

    handlers = [own_handler(n) for n in names] + ['hook_' + host_id(h['name']) for h in taken]
    check(len(set(handlers)) == len(handlers),
          'commands.tsv and host_commands.tsv: %d handler names, %d distinct' % (len(handlers), len(set(handlers))))
    check(len({host_id(h['name']) for h in hosts}) == len(hosts), 'host_commands.tsv: host identifiers collide')
    own_ids = [ident(o['name'][len(PREFIX):]) for o in owns]
    check(len(set(own_ids)) == len(owns), 'own_commands_issued.tsv: own identifiers collide')

    if errors:
        for e in errors:
            print('gen_commands: ' + e, file=sys.stderr)
        sys.exit(1)

    head = '// Generated by tools/gen_commands.py from commands.tsv, host_commands.tsv and own_commands_issued.tsv; do not edit.\n'

    # ---- command_ids.h ---------------------------------------------------------
    out = [head, '// Names of the command handles that code outside the registration issues.\n',
           '#pragma once\n\n',
           '// Host commands: the look-ups made before any creation, then the take-overs\n'
           '// in take-over order. The name is the host path below "sim/".\n',
           'enum class HostCmd : int {\n']
    for h in hosts:
        out.append('  %s,\n' % host_id(h['name']))
    out.append('};\n')
    out.append('constexpr int host_command_count = %d;\n' % len(hosts))
    out.append('constexpr int host_lookup_count = %d;\n\n' % len(looked))
    out.append('// Own commands the plug-in also issues itself. The name is the path below\n'
               '// "zuvadud/D738/".\n')
    out.append('enum class OwnCmd : int {\n')
    for i, o in zip(own_ids, owns):
        out.append('  %s,  // %s\n' % (i, o['issued_by']))
    out.append('};\n')
    out.append('constexpr int own_issued_count = %d;\n' % len(owns))
    write(root, 'src/core/command_ids.h', ''.join(out))

    # ---- command_handlers.h ------------------------------------------------------
    by_area = {a: [] for a in AREAS}
    for c in cmds:
        by_area[c['handler_area']].append((own_handler(c['name']), c['name']))
    for h in taken:
        by_area[hook_area[h['name']]].append(('hook_' + host_id(h['name']), h['name']))
    out = [head,
           '// One handler per command, declared by the cockpit-area module that\n'
           '// defines it. The host calls each with the command, the phase (0 begin,\n'
           '// 1 continue, 2 end) and the reference value, which is always null.\n',
           '#pragma once\n\n#include "platform/xplm.h"\n\n',
           'using command_handler = int(XPLMCommandRef command, XPLMCommandPhase phase, void* refcon);\n\n',
           '// The sizes of the command tables (commands/command_table.h). Code and tests\n'
           '// take them from here; their one pin is the generator\'s check of its tables.\n',
           'constexpr int cockpit_command_count = %d;  // commands created\n' % len(cmds),
           'constexpr int host_hook_count = %d;  // host commands taken over\n' % len(taken),
           'constexpr int command_group_count = %d;\n' % len(GROUPS),
           'constexpr int command_handler_count = %d;  // one per created command and take-over\n'
           % len(handlers)]
    for area, module in AREAS.items():
        out.append('\n// commands/%s.cpp: %s (%d)\n' % (module, area, len(by_area[area])))
        for fn, _ in by_area[area]:
            out.append('command_handler %s;\n' % fn)
    write(root, 'src/commands/command_handlers.h', ''.join(out))

    # ---- command_table.cpp -----------------------------------------------------------
    out = [head,
           '// The created commands in creation order, the host commands taken over in\n'
           '// take-over order, the host command names and the registration groups.\n',
           '#include "commands/command_table.h"\n\n#include "commands/command_handlers.h"\n#include "commands/command_presses.h"\n\n',
           'const CockpitCommand cockpit_commands[cockpit_command_count] = {\n']
    for c in cmds:
        out.append('    {%s, %s, pressed<%s>},\n' % (cstr(c['name']), cstr(c['description']), own_handler(c['name'])))
    out.append('};\n\nconst char* const host_command_names[host_command_count] = {\n')
    for h in hosts:
        out.append('    %s,\n' % cstr(h['name']))
    out.append('};\n\nconst HostCommandHook host_command_hooks[host_hook_count] = {\n')
    for h in taken:
        out.append('    {HostCmd::%s, pressed<hook_%s>},\n' % (host_id(h['name']), host_id(h['name'])))
    out.append('};\n\nconst CommandGroup command_groups[command_group_count] = {\n')
    first_cmd = first_hook = 0
    for g, n, nh in GROUPS:
        out.append('    {"%s", %d, %d, %d, %d},\n' % (g, first_cmd, n, first_hook, nh))
        first_cmd += n
        first_hook += nh
    out.append('};\n\nconst short own_issued_index[own_issued_count] = {\n')
    for o in owns:
        out.append('    %d,  // %s\n' % (names.index(o['name']), o['name']))
    out.append('};\n')
    write(root, 'src/commands/command_table.cpp', ''.join(out))

    # ---- the simulated host's catalog ------------------------------------------------------
    write(root, 'simhost/catalog/host_commands.tsv', 'name\n' + ''.join(h['name'] + '\n' for h in hosts))

    flush(root, check_only)
    if not check_only:
        print('gen_commands: %d commands in %d groups, %d host look-ups, %d take-overs, %d own issued, %d handlers'
              % (len(cmds), len(GROUPS), len(looked), len(taken), len(owns), len(handlers)))


if __name__ == '__main__':
    main()
