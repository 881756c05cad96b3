#!/usr/bin/env python3
"""The one rule for the `seq` column of the shared tables.

A table's rows are taken in the order they stand in the file: every
generator numbers them itself (a look-up, a dataref's place in its list, a
command's creation) and never sorts by `seq`. Where a table has the column
(bound_datarefs.tsv, published_datarefs.tsv, commands.tsv), it names a row
within its numbering: a whole number from 1, given once in the numbering.
The numbering is the one the table was first written with: each table of
bound_datarefs.tsv and each list of published_datarefs.tsv counts from 1,
commands.tsv counts once across its groups. A row placed beside its sibling takes its numbering's
next unused number, so no other row moves; a number given twice fails. The
tables without the column (host_datarefs.tsv, host_commands.tsv,
own_commands_issued.tsv) are ordered by their rows alone.

    tools/table_seq.py --self-test   shows that a duplicate fails and that a
                                     row inserted with a fresh number passes
"""
import sys


def seq_errors(rows, group, table):
    """The rule's faults in `rows` (dicts with 'seq' and, unless it is None,
    the `group` column that starts a numbering of its own), each message
    naming `table`."""
    errors = []
    seen = {}
    for n, r in enumerate(rows, 2):  # line 1 is the header
        text = (r.get('seq') or '').strip()
        where = '%s:%d' % (table, n) + (': %s %s' % (group, r.get(group, '')) if group else '')
        if not text.isdigit() or int(text) < 1:
            errors.append('%s: seq %r is not a whole number from 1' % (where, text))
            continue
        key = (r.get(group, '') if group else '', int(text))
        if key in seen:
            errors.append('%s: seq %s given twice (line %d too): take the next unused number'
                          % (where, text, seen[key]))
        else:
            seen[key] = n
    return errors


def self_test():
    rows = [{'group': 'a', 'seq': str(i)} for i in range(1, 6)] + [{'group': 'b', 'seq': '1'}]
    inserted = rows[:2] + [{'group': 'a', 'seq': '6'}] + rows[2:]
    duplicated = rows[:2] + [{'group': 'a', 'seq': '3'}] + rows[2:]
    faults = []
    if seq_errors(rows, 'group', 't.tsv') or seq_errors(inserted, 'group', 't.tsv'):
        faults.append('a row inserted beside its sibling with a fresh number fails')
    dup = seq_errors(duplicated, 'group', 't.tsv')
    if len(dup) != 1 or 't.tsv:5: group a: seq 3 given twice (line 4 too)' not in dup[0]:
        faults.append('a number given twice is not reported as such: %s' % dup)
    if len(seq_errors(rows, None, 't.tsv')) != 1:
        faults.append('a number given twice across groups of one numbering passes')
    if len(seq_errors([{'group': 'a', 'seq': '0'}, {'group': 'a', 'seq': 'x'}], 'group', 't.tsv')) != 2:
        faults.append('a number below 1 or no number passes')
    for f in faults:
        print('table_seq: self-test FAILED: ' + f)
    if not faults:
        print('table_seq: self-test ok (an inserted row touches one row; a number given twice fails, naming its table)')
    return 1 if faults else 0


if __name__ == '__main__':
    if sys.argv[1:] != ['--self-test']:
        sys.exit(__doc__)
    sys.exit(self_test())
