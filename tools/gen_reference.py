#!/usr/bin/env python3
"""Write the reference of the published datarefs and the commands.

Usage: gen_reference.py [--check] [--sim CORVANE_SIM] [--moves COMMAND_MOVES] [REPO_ROOT]

Reads the tables the plug-in registers from, below REPO_ROOT (default: the
folder above this script):
  src/datarefs/lists_generated.cpp and src/datarefs/list_*.cpp   the datarefs
  src/commands/command_table.cpp, src/core/command_ids.h           the commands
  src/commands/command_handlers.h and the hooks in src/commands/   areas, and
                                   whether a taken-over host command still acts
the meanings in tools/dataref_meanings.tsv, what each command moves in
tools/command_moves.tsv (written by the command-moves program) and
tools/command_notes.tsv, and the cockpit's controls in
simhost/catalog/switch_positions.tsv; writes docs/reference/datarefs.md and
docs/reference/commands.md.

--check writes nothing and exits with status 1 when either file differs from
what this script would write. With --sim it also runs that corvane-sim and
fails when the loaded plug-in registers other datarefs (name, type, writable
flag, size) or creates other commands (name, description) than the tables.
With --moves it runs that command-moves and takes what it writes in place of
tools/command_moves.tsv: it writes the table too, or, with --check, fails when
the table differs.

Any row the parser does not understand, a count that disagrees with the
tables' own census, a meaning row that matches no published dataref, a
published dataref without a meaning, ten or more numbers whose meaning gives
neither a unit nor positions (those kept for the aircraft's scripts and
objects aside), or a command missing from the moves table stops it with
status 1 and writes nothing. Only the standard library is used.
"""
import os
import re
import subprocess
import sys

errors = []


def fail(msg):
    errors.append(msg)


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def split_args(text):
    """Top-level comma split that keeps nested parentheses together."""
    out, depth, cur = [], 0, ""
    for ch in text:
        if ch == "," and depth == 0:
            out.append(cur.strip())
            cur = ""
            continue
        depth += ch == "("
        depth -= ch == ")"
        cur += ch
    out.append(cur.strip())
    return out


# ---- published datarefs -----------------------------------------------------

# Macro -> (type flags, kind, index of the size argument or None, writer argument
# index or "none"/"always"), arguments counted after NAME, WR, RF.
MACROS = {
    "F": (2, "float", None, 1),
    "F_READER": (2, "float", None, "none"),
    "I": (1, "int", None, 1),
    "I_OVER_F": (1, "int", None, "none"),
    "D": (4, "double", None, 1),
    "D_OVER_F": (4, "double", None, 1),
    "VF": (8, "float array", 1, 2),
    "VI": (16, "int array", 1, "none"),
    "VFI": (24, "float array, also int", 1, "always"),
    "B": (32, "text", 1, "none"),
}

ROW_RE = re.compile(r'^\s+PUB_([A-Z_]+)\("([^"]+)", ([01]), ([01]), (.*)\),$')


class Dataref:
    pass


def load_datarefs(root):
    gen = read(os.path.join(root, "src/datarefs/lists_generated.cpp"))
    shorts = re.findall(r"^    &(\w+)_list,$", gen, re.M)
    census = read(os.path.join(root, "src/datarefs/published_census.h"))
    m = re.search(r"constexpr int expected_total = (\d+);", census)
    expected_total = int(m.group(1)) if m else -1
    rows = []
    for short in shorts:
        text = read(os.path.join(root, "src/datarefs/list_%s.cpp" % short))
        body = re.search(r"table_rows\[\] = \{\n(.*?)\n\};", text, re.S)
        if body is None:
            fail("list_%s.cpp: no table of rows" % short)
            continue
        for line in body.group(1).split("\n"):
            m = ROW_RE.match(line)
            if m is None or m.group(1) not in MACROS:
                fail("list_%s.cpp: row not understood: %s" % (short, line.strip()))
                continue
            flags, kind, size_at, writer_at = MACROS[m.group(1)]
            args = split_args(m.group(5))
            d = Dataref()
            d.name = m.group(2)
            d.flags = flags
            d.kind = kind
            d.size = int(args[size_at]) if size_at is not None else 1
            registered_writable = m.group(3) == "1"
            if writer_at == "none":
                has_writer = False
            elif writer_at == "always":
                has_writer = True
            else:
                has_writer = args[writer_at] != "nullptr"
            if has_writer and not registered_writable:
                fail("%s: a writer on a read-only dataref" % d.name)
            d.flag_writable = registered_writable
            d.writable = "no" if not registered_writable else ("yes" if has_writer else "ignored")
            rows.append(d)
    if len(rows) != expected_total:
        fail("read %d datarefs, the census says %d" % (len(rows), expected_total))
    if len({d.name for d in rows}) != len(rows):
        fail("a dataref name appears twice")
    return rows


def load_meanings(root, rows):
    """Exact names first, then patterns (Python regular expressions matched
    whole, \\1 in the meaning standing for the first group) in file order."""
    path = os.path.join(root, "tools/dataref_meanings.tsv")
    exact, patterns = {}, []
    for n, line in enumerate(read(path).split("\n"), 1):
        if not line.strip() or line.startswith("#"):
            continue
        parts = line.split("\t")
        if len(parts) != 2 or not parts[1].strip():
            fail("dataref_meanings.tsv:%d: want NAME<TAB>MEANING" % n)
            continue
        key, text = parts[0], parts[1].strip()
        if "|" in text:
            fail("dataref_meanings.tsv:%d: '|' would break the table" % n)
        if re.fullmatch(r"[A-Za-z0-9_/]+", key):
            if key in exact:
                fail("dataref_meanings.tsv:%d: %s given twice" % (n, key))
            exact[key] = [text, n, 0]
        else:
            patterns.append([re.compile(key), text, n, 0])
    for d in rows:
        d.meaning, d.row = "", 0
        if d.name in exact:
            d.meaning, d.row = exact[d.name][0], exact[d.name][1]
            exact[d.name][2] += 1
            continue
        for p in patterns:
            m = p[0].fullmatch(d.name)
            if m:
                d.meaning, d.row = m.expand(p[1]), p[2]
                p[3] += 1
                break
    for key, (_, n, used) in exact.items():
        if not used:
            fail("dataref_meanings.tsv:%d: %s is not a published dataref" % (n, key))
    for rx, _, n, used in patterns:
        if not used:
            fail("dataref_meanings.tsv:%d: %s matches no published dataref (or only names matched before)"
                 % (n, rx.pattern))


NUMBER = r"-?\d+(?:\.\d+)?"
# "N NAME" in a meaning: a number at the start of a clause, after a comma, a
# semicolon, a colon, a parenthesis or " to "/" or " (of a range), and the
# words after it up to the next such mark.
NAMED_VALUE = re.compile(
    r"(?:^|: |, |; |\(| to | or )(%s) " % NUMBER +
    r"((?!(?:to|or|and|of|else|at|than|is|after|by|per|times|from|s|ft|kt|nm)\b)[A-Za-z][^,;:()]*?)"
    r"(?=, |; |\. |\.$|\)| \(|: | to %s| or %s|$)" % (NUMBER, NUMBER))
# A unit the value is in.
UNIT = re.compile(r"\b(?:degrees|ft|feet|knots|nm|metres|m/s|rad/s|ft/min|psi|kg|lb|pounds-force|percent|seconds|"
                  r"minutes|hours|Hz|MHz|kHz|volts|amperes|Celsius|display units|Mach|inches of mercury|"
                  r"hectopascals|kg per newton-hour|ratio|radians|vibration units|index|scale units|no unit)\b|%")
# A flag: 0 or 1, the meaning saying what 1 is.
FLAG = re.compile(r"(?<!-1, )(?<!\d, )\b(?:0 or 1|1 or 0)\b|\b[Aa]lways -?\d+\b")


# A value the plug-in keeps for the aircraft's scripts and objects only: its
# unit is theirs, and the plug-in does not know it.
KEPT = re.compile(r"the plug-in stores what is written and reads nothing from it")
# Numbers whose meaning gives neither a unit nor positions stay below this.
MOST_UNDESCRIBED = 10


def described(d):
    """How a number's meaning describes its value: "unit or positions",
    "kept" (for the scripts and objects, unit unknown), or "neither"."""
    if UNIT.search(d.meaning) or NAMED_VALUE.search(d.meaning) or FLAG.search(d.meaning):
        return "unit or positions"
    return "kept" if KEPT.search(d.meaning) else "neither"


def is_number(d):
    return d.kind != "text"


NAMESPACES = ["zuvadud/D738/", "zuvadud/d738/", "tarv/", "tarx/", "corvane/"]


def area_of(name):
    for ns in NAMESPACES:
        if name.startswith(ns):
            rest = name[len(ns):]
            return ns + rest.split("/")[0] + "/" if "/" in rest else ns
    fail("%s: outside the published namespaces" % name)
    return ""


def sort_key(text):
    return (text.lower(), text)


def cell(text):
    return text.replace("|", "\\|")


def anchor(text):
    """An id of letters, digits, '_' and '-'; case is kept, so "zuvadud/D738/fmod/"
    and "zuvadud/d738/fmod/" stay apart."""
    return re.sub(r"[^A-Za-z0-9_-]", "", re.sub(r"[/ ]+", "-", text.strip("/ ")))


def datarefs_md(rows):
    areas = {}
    for d in rows:
        areas.setdefault(area_of(d.name), []).append(d)
    order = sorted(areas, key=lambda a: (NAMESPACES.index(next(ns for ns in NAMESPACES if a.startswith(ns))),
                                         a.count("/"), sort_key(a)))
    counts = {k: sum(1 for d in rows if d.writable == k) for k in ("yes", "ignored", "no")}
    numbers = [d for d in rows if is_number(d)]
    how = {k: sum(1 for d in numbers if described(d) == k) for k in ("unit or positions", "kept", "neither")}
    out = [
        "# Published datarefs\n\n",
        "<!-- Generated by tools/gen_reference.py from the plug-in's registration tables\n",
        "     and tools/dataref_meanings.tsv; do not edit. -->\n\n",
        "Every dataref the plug-in publishes, %d in all, grouped by area: the part of the\n" % len(rows),
        "name after its namespace (\"zuvadud/D738/\", \"zuvadud/d738/\", \"tarv/\", \"tarx/\",\n",
        "\"corvane/\"). Names are case-sensitive: \"zuvadud/D738/fmod/\" and\n",
        "\"zuvadud/d738/fmod/\" are different datarefs, and odd spellings are the real\n",
        "names. Every dataref exists from the moment the plug-in has started; values\n",
        "read 0 (an empty text) until the first frame's start-up sets them, unless the\n",
        "meaning gives a start value.\n\n",
        "- **Type**: `int`, `float`, `double`, `float array`, `int array`, `float array,\n",
        "  also int` (one array that can be read and written as floats or as ints; the\n",
        "  int view truncates), `text` (a byte string, NUL-terminated).\n",
        "- **Size**: elements of an array, bytes of a text (the NUL included), 1 for a\n",
        "  single value.\n",
        "- **Writable**: `yes` (%d): a write is stored, or acted on where the meaning says\n" % counts["yes"],
        "  so; `no` (%d): registered read-only, the host refuses a write; `ignored` (%d):\n"
        % (counts["no"], counts["ignored"]),
        "  registered writable, but a write changes nothing (only the plug-in sets it).\n",
        "  A value the plug-in computes every frame may be written, but the next frame\n",
        "  replaces it. A switch, selector or knob written takes the nearest of its\n",
        "  positions (half-way, the higher one), a value beyond its travel its end\n",
        "  position, and a NaN is ignored; where the meaning says the write acts as\n",
        "  the switch's commands do, it acts when the position written changes, so\n",
        "  hardware writing its position every frame moves the switch once.\n",
        "- **Meaning**: what the value is; for a number its unit or its positions, each\n",
        "  position with its number (\"-1 BRIGHT, 0 OFF, 1 DIM\"), a flag as \"0 or 1\"\n",
        "  with what 1 means, and \"no unit\" for a count, a code or a coefficient. Of the\n",
        "  %d numbers, %d say so; %d are kept for the aircraft's scripts and objects (the\n"
        % (len(numbers), how["unit or positions"], how["kept"]),
        "  plug-in stores what is written and reads nothing from it, so their unit is\n",
        "  theirs), and %d give neither. Positions are those the plug-in's own commands\n" % how["neither"],
        "  set (see [commands.md](commands.md) for which command sets which); \"1 while\n",
        "  pressed\" means 1 from the command's begin to its end.\n\n",
        "## Areas\n\n",
        "| Area | Datarefs |\n|---|---|\n",
    ]
    for a in order:
        out.append("| [`%s`](#%s) | %d |\n" % (a, anchor(a), len(areas[a])))
    for a in order:
        out.append('\n<a id="%s"></a>\n\n## %s\n\n' % (anchor(a), a))
        out.append("| Dataref | Type | Size | Writable | Meaning |\n|---|---|---|---|---|\n")
        for d in sorted(areas[a], key=lambda d: sort_key(d.name)):
            out.append("| `%s` | %s | %d | %s | %s |\n" % (d.name, d.kind, d.size, d.writable, cell(d.meaning)))
    return "".join(out)


# ---- commands -----------------------------------------------------------------

def c_unescape(s):
    return re.sub(r"\\(.)", r"\1", s)


def handler_returns(source, function, depth=0):
    """The values a handler can return: its literal returns, and those of a
    function of the same file that it returns the result of. An empty set when
    any return is something else."""
    m = re.search(r"^int %s\(.*?(?:\n\}\n|\{ return [^;]+; \}\n)" % function, source, re.S | re.M)
    if m is None or depth > 3:
        return set()
    values = set()
    for expr in re.findall(r"\breturn ([^;]+);", m.group(0)):
        if re.fullmatch(r"\d", expr):
            values.add(expr)
            continue
        call = re.fullmatch(r"(\w+)\(.*\)", expr)
        inner = handler_returns(source, call.group(1), depth + 1) if call else set()
        if not inner:
            return set()
        values |= inner
    return values


# Command -> (its source file in src/commands, its handler), read by
# load_commands.
HANDLERS = {}


def load_commands(root):
    table = read(os.path.join(root, "src/commands/command_table.cpp"))
    ids = read(os.path.join(root, "src/core/command_ids.h"))
    handlers_h = read(os.path.join(root, "src/commands/command_handlers.h"))

    def block(text, start):
        m = re.search(re.escape(start) + r".*? = \{\n(.*?)\n\};", text, re.S)
        if m is None:
            fail("no table %s" % start)
            return []
        return m.group(1).split("\n")

    def constant(name):
        m = re.search(r"constexpr int %s = (\d+);" % name, handlers_h)
        return int(m.group(1)) if m else -1

    # Handler -> (source file, cockpit area), from the generated declarations.
    handler_area = {}
    current = None
    for line in handlers_h.split("\n"):
        m = re.match(r"^// commands/(\w+\.cpp): (.+) \(\d+\)$", line)
        if m:
            current = m.groups()
            continue
        m = re.match(r"^command_handler (\w+);$", line)
        if m:
            handler_area[m.group(1)] = current

    created = []
    for line in block(table, "const CockpitCommand cockpit_commands"):
        m = re.match(r'^    \{"([^"]+)", "((?:[^"\\]|\\.)*)", pressed<(\w+)>\},$', line)
        if m is None:
            fail("command_table.cpp: row not understood: %s" % line.strip())
            continue
        name, desc, handler = m.group(1), c_unescape(m.group(2)), m.group(3)
        if handler not in handler_area:
            fail("%s: handler %s has no area" % (name, handler))
            continue
        created.append((name, desc, handler_area[handler][1]))
        HANDLERS[name] = (handler_area[handler][0], handler)
    if len(created) != constant("cockpit_command_count"):
        fail("read %d commands, the table says %d" % (len(created), constant("cockpit_command_count")))

    enum = re.search(r"enum class HostCmd : int \{\n(.*?)\n\};", ids, re.S)
    host_ids = re.findall(r"^  (\w+),$", enum.group(1), re.M) if enum else []
    host_names = []
    for line in block(table, "const char* const host_command_names"):
        m = re.match(r'^    "([^"]+)",$', line)
        if m is None:
            fail("command_table.cpp: host name not understood: %s" % line.strip())
            continue
        host_names.append(m.group(1))
    if len(host_ids) != len(host_names):
        fail("%d host command ids, %d names" % (len(host_ids), len(host_names)))

    sources = {}
    hooks = []
    for line in block(table, "const HostCommandHook host_command_hooks"):
        m = re.match(r"^    \{HostCmd::(\w+), pressed<(\w+)>\},$", line)
        if m is None or m.group(1) not in host_ids:
            fail("command_table.cpp: hook not understood: %s" % line.strip())
            continue
        name = host_names[host_ids.index(m.group(1))]
        handler = m.group(2)
        if handler not in handler_area:
            fail("%s: hook %s has no area" % (name, handler))
            continue
        src, area = handler_area[handler]
        HANDLERS[name] = (src, handler)
        if src not in sources:
            sources[src] = read(os.path.join(root, "src/commands", src))
        returns = handler_returns(sources[src], handler)
        if not returns:
            fail("%s: cannot tell what %s returns" % (name, handler))
            continue
        # A hook that answers 1 only at times (the host's action needing the
        # equipment's power) still hands the command on to the host.
        hooks.append((name, area, "1" in returns))
    if len(hooks) != constant("host_hook_count"):
        fail("read %d take-overs, the table says %d" % (len(hooks), constant("host_hook_count")))
    return created, hooks


# ---- what each command moves ---------------------------------------------------

MOVES = "tools/command_moves.tsv"
NOTES = "tools/command_notes.tsv"
# Shown per command; the rest are counted.
MOST_SHOWN = 4


def load_moves(root, names, text=None):
    """Command -> [(dataref, values, when)] from the table command-moves writes
    (or from `text`, its output); [] for a command that moves nothing."""
    if text is None:
        path = os.path.join(root, MOVES)
        if not os.path.exists(path):
            fail("%s is missing: run tools/gen_reference.py --moves build/command-moves" % MOVES)
            return {}
        text = read(path)
    moves = {}
    lines = [line for line in text.split("\n") if line and not line.startswith("#")]
    if not lines or lines[0] != "command\tdataref\tvalues\twhen":
        fail("%s: no header line" % MOVES)
        return {}
    for line in lines[1:]:
        parts = line.split("\t")
        if len(parts) != 4:
            fail("%s: row not understood: %s" % (MOVES, line))
            continue
        name, dataref, values, when = parts
        rows = moves.setdefault(name, [])
        if dataref != "none":
            rows.append((dataref, values, when))
    for name in sorted(set(names) - set(moves)):
        fail("%s: %s is not pressed there: run tools/gen_reference.py --moves build/command-moves" % (MOVES, name))
    for name in sorted(set(moves) - set(names)):
        fail("%s: %s is not a command the plug-in handles" % (MOVES, name))
    return moves


def load_notes(root, names):
    """Command -> what it moves, written by hand where the pressing cannot
    show it (it acts only with hydraulic pressure, with a second command
    held, ...)."""
    notes = {}
    for n, line in enumerate(read(os.path.join(root, NOTES)).split("\n"), 1):
        if not line.strip() or line.startswith("#"):
            continue
        parts = line.split("\t")
        if len(parts) != 2 or not parts[1].strip():
            fail("%s:%d: want COMMAND<TAB>WHAT IT MOVES" % (NOTES, n))
            continue
        name, text = parts[0], parts[1].strip()
        if name not in names:
            fail("%s:%d: %s is not a command the plug-in handles" % (NOTES, n, name))
        if name in notes:
            fail("%s:%d: %s given twice" % (NOTES, n, name))
        if "|" in text:
            fail("%s:%d: '|' would break the table" % (NOTES, n))
        if "`" not in text and not text.startswith("None"):
            fail("%s:%d: name a dataref it moves, or say None" % (NOTES, n))
        notes[name] = text
    return notes


# How a reference row names each bus of the bus census
# (src/systems/electrical/bus_feeds.h).
BUS_NAMES = {
    "bus_ac_transfer1": r"AC transfer bus 1", "bus_ac_transfer2": r"AC transfer bus 2",
    "bus_ac_standby": r"AC standby bus", "bus_dc1": r"DC bus 1", "bus_dc2": r"DC bus 2",
    "bus_dc_standby": r"DC standby bus", "bus_hot_battery": r"hot battery bus",
    "bus_battery": r"(?<!hot )(?<!direct )battery bus", "bus_direct_battery": r"direct battery bus",
    "bus_main1": r"main bus 1", "bus_main2": r"main bus 2",
}
FEEDS = "src/systems/electrical/bus_feeds.cpp"


def load_feeds(root):
    """Consumer -> the buses of its row in the bus census."""
    feeds = {}
    row = re.compile(r'^\s*\{Consumer::(\w+), "\w+", ([^,]+), ([^,]+), (?:aircraft|kept), "', re.M)
    for name, all_of, any_of in row.findall(read(os.path.join(root, FEEDS))):
        feeds[name] = [b.strip() for b in (all_of + "|" + any_of).split("|") if b.strip() != "0"]
    return feeds


def function_consumers(source, function, depth=0, seen=None):
    """The consumers of the bus census a function of the file reads, through
    the functions of the same file it calls."""
    seen = set() if seen is None else seen
    if function in seen or depth > 3:
        return set()
    seen.add(function)
    m = re.search(r"^[\w:<>&* ]*\b%s\([^;{]*\{\n(.*?)^\}" % function, source, re.S | re.M)
    if m is None:
        return set()
    body = m.group(1)
    found = set(re.findall(r"\bConsumer::(\w+)", body))
    for call in set(re.findall(r"\b(\w+)\(", body)):
        found |= function_consumers(source, call, depth + 1, seen)
    return found


def check_note_buses(root, notes):
    """A hand-written row that says on which buses its command acts names
    every bus the command's handler reads."""
    feeds = load_feeds(root)
    sources = {}
    for name, text in notes.items():
        if not any(re.search(p, text) for p in BUS_NAMES.values()) or name not in HANDLERS:
            continue
        src, handler = HANDLERS[name]
        if src not in sources:
            sources[src] = read(os.path.join(root, "src/commands", src))
        buses = set()
        for consumer in function_consumers(sources[src], handler):
            buses |= set(feeds.get(consumer, []))
        missing = sorted(b for b in buses if b in BUS_NAMES and not re.search(BUS_NAMES[b], text))
        if missing:
            fail("%s: %s acts only with its buses, and its row does not name %s"
                 % (NOTES, name, ", ".join(BUS_NAMES[b].split(")")[-1] for b in missing)))


def value_names(meaning):
    names = {}
    for number, name in NAMED_VALUE.findall(meaning):
        names.setdefault(float(number), name.strip())
    return names


def values_text(values, meaning):
    if values == "any":
        return "steps it, without end"
    m = re.fullmatch(r"(%s)\.\.(%s)" % (NUMBER, NUMBER), values)
    if m:
        return "%s to %s" % m.groups()
    names = value_names(meaning)
    out = []
    for v in values.split(","):
        name = names.get(float(v)) if re.fullmatch(NUMBER, v) else None
        out.append("%s %s" % (v, name) if name else v)
    return ", ".join(out)


SELECTED = re.compile(r"press at ([^=]+)=(%s)" % NUMBER)


def moves_cell(name, rows, note, published, controls):
    """What the command moves, for its row: the plug-in's own datarefs (the
    cockpit's controls first), else the host's or the scripts' ones; then,
    for a command that acts on what a panel has selected, the same for each
    selection."""
    if note is not None:
        return note
    if not rows:
        return "None"

    def listed(group):
        own = [r for r in group if r[0].split("[")[0] in published]
        shown = own or group
        shown = sorted(shown, key=lambda r: r[0].split("[")[0] not in controls)
        parts = []
        for dataref, values, when in shown[:MOST_SHOWN]:
            base = dataref.split("[")[0]
            meaning = published[base].meaning if base in published else ""
            whose = "" if base in published else (" (the host's)" if base.startswith("sim/") else " (the scripts')")
            parts.append("`%s`%s: %s" % (dataref, whose, values_text(values, meaning)))
        if len(shown) > MOST_SHOWN:
            parts.append("%d more" % (len(shown) - MOST_SHOWN))
        return parts

    always = [r for r in rows if not SELECTED.fullmatch(r[2])]
    selections = []  # (dataref, value, rows) in the table's order
    for r in rows:
        m = SELECTED.fullmatch(r[2])
        if m is None:
            continue
        if not selections or selections[-1][:2] != m.groups():
            selections.append((m.group(1), m.group(2), []))
        selections[-1][2].append(r)
    parts = listed(always) if always else []
    text = "; ".join(parts[:-1] + ["and " + parts[-1]] if len(parts) > MOST_SHOWN else parts)
    if always and always[0][2] == "after":
        text += " (over the frames after the press)"
    for i, (dataref, value, group) in enumerate(selections):
        meaning = published[dataref].meaning if dataref in published else ""
        at = values_text(value, meaning)
        head = ("by the selection, with `%s` at %s: " % (dataref, at)) if i == 0 else ("at %s: " % at)
        text += ("; " if text else "") + head + " and ".join(listed(group))
    return text


def load_controls(root):
    """The cockpit's controls, as corvane-sim --command-positions lists them."""
    path = os.path.join(root, "simhost/catalog/switch_positions.tsv")
    if not os.path.exists(path):
        return set()
    return {line.split("\t")[0] for line in read(path).split("\n")[1:] if line and not line.startswith("#")}


def commands_md(created, hooks, cells):
    areas = {}
    for name, desc, area in created:
        areas.setdefault(area, []).append((name, desc))
    passing = sum(1 for h in hooks if h[2])
    moving_none = sum(1 for c in cells.values() if c.startswith("None"))
    out = [
        "# Commands\n\n",
        "<!-- Generated by tools/gen_reference.py from the plug-in's command tables,\n",
        "     tools/command_moves.tsv and tools/command_notes.tsv; do not edit. -->\n\n",
        "The plug-in creates %d commands and takes over %d of the host's own.\n\n" % (len(created), len(hooks)),
        "The commands it creates are new names under \"zuvadud/D738/\"; none of them\n",
        "replaces a host command. Each is listed with the description the plug-in gives\n",
        "the host (the text shown where keys and buttons are assigned, spelled exactly as\n",
        "registered) and grouped by the cockpit area that acts on it. Bind a key or a\n",
        "button to one as to any host command: the host begins the command when the key\n",
        "goes down and ends it when the key comes up, and the cockpit's push buttons and\n",
        "spring-loaded switches stay pressed in between.\n\n",
        "**Moves** gives the datarefs a command sets and the values it sets them to,\n",
        "with their names where [datarefs.md](datarefs.md) gives them, as found by\n",
        "pressing every command over and over in a powered cockpit on the ground and in\n",
        "flight (`command-moves`): a push button's 1 while pressed and 0 released, each\n",
        "position a switch steps to from the others. A selector stepped by a pair of\n",
        "commands gives where it settles after each press, stepped through its whole\n",
        "range both ways at the gate with ground power on (flown where the ground\n",
        "holds it); a command that acts on the radio a panel shows, what it moves by\n",
        "that selection. The plug-in's own datarefs are given, the cockpit's controls\n",
        "first; the host's (\"sim/\") or the aircraft scripts' ones only for a command\n",
        "that moves none of its own. A value that moves there over the frames after\n",
        "the press (a guard swinging open, a handle pulled, a selector springing back)\n",
        "says so. A few commands act only in a cockpit the pressing does not set up\n",
        "(with hydraulic pressure, with a second command held); their entry is written\n",
        "by hand. %d move nothing: \"None\".\n\n"
        % moving_none,
        "## Areas\n\n| Area | Commands |\n|---|---|\n",
    ]
    order = sorted(areas, key=sort_key)
    for a in order:
        out.append("| [%s](#%s) | %d |\n" % (a[0].upper() + a[1:], anchor(a), len(areas[a])))
    out.append("| [Host commands taken over](#host-commands-taken-over) | %d |\n" % len(hooks))
    for a in order:
        out.append('\n<a id="%s"></a>\n\n## %s\n\n| Command | Description | Moves |\n|---|---|---|\n'
                   % (anchor(a), a[0].upper() + a[1:]))
        for name, desc in sorted(areas[a], key=lambda c: sort_key(c[0])):
            out.append("| `%s` | %s | %s |\n" % (name, cell(desc), cells[name]))
    out += [
        '\n<a id="host-commands-taken-over"></a>\n\n## Host commands taken over\n\n',
        "The plug-in handles these host commands before the host does, so a key or\n",
        "button already bound to one of them works the aircraft's own controls. For %d\n"
        % (len(hooks) - passing),
        "of them the host's own action is suppressed and the area in the second column\n",
        "acts instead; for the other %d the host's own action runs as well.\n\n" % passing,
        "| Host command | Area that acts on it | The host's own action | Moves |\n|---|---|---|---|\n",
    ]
    for name, area, passes in sorted(hooks, key=lambda h: sort_key(h[0])):
        out.append("| `%s` | %s | %s | %s |\n" % (name, area, "runs as well" if passes else "suppressed", cells[name]))
    return "".join(out)


# ---- the loaded plug-in --------------------------------------------------------

def check_against_sim(sim, rows, created):
    def run(option):
        r = subprocess.run([sim, "--frames", "1", option], capture_output=True, text=True)
        if r.returncode != 0:
            fail("%s %s: exit status %d: %s" % (sim, option, r.returncode, r.stderr.strip()[-500:]))
            return []
        return [line for line in r.stdout.split("\n") if line]

    loaded = {}
    for line in run("--list-datarefs"):
        parts = line.split(" ")
        if len(parts) == 4:
            loaded[parts[0]] = (int(parts[1]), parts[2] == "1", int(parts[3]))
    tables = {d.name: (d.flags, d.flag_writable, d.size) for d in rows}
    for name in sorted(set(loaded) | set(tables)):
        if loaded.get(name) != tables.get(name):
            fail("dataref %s: the plug-in registers %s, the tables say %s (type, writable, size)"
                 % (name, loaded.get(name), tables.get(name)))
    loaded = dict(line.split("\t", 1) for line in run("--list-commands") if "\t" in line)
    tables = {name: desc for name, desc, _ in created}
    for name in sorted(set(loaded) | set(tables)):
        if loaded.get(name) != tables.get(name):
            fail("command %s: the plug-in creates %r, the tables say %r" % (name, loaded.get(name), tables.get(name)))


# ---- main -----------------------------------------------------------------------

def main():
    args = sys.argv[1:]
    check = "--check" in args
    args = [a for a in args if a != "--check"]
    programs = {}
    for option in ("--sim", "--moves"):
        if option in args:
            i = args.index(option)
            if i + 1 >= len(args):
                sys.exit(__doc__)
            programs[option] = args[i + 1]
            del args[i:i + 2]
    sim, moves_program = programs.get("--sim"), programs.get("--moves")
    if len(args) > 1 or any(a.startswith("-") for a in args):
        sys.exit(__doc__)
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")

    rows = load_datarefs(root)
    load_meanings(root, rows)
    created, hooks = load_commands(root)
    if sim:
        check_against_sim(sim, rows, created)
    names = [c[0] for c in created] + [h[0] for h in hooks]
    moves_text = None
    if moves_program:
        r = subprocess.run([moves_program], capture_output=True, text=True)
        if r.returncode != 0:
            fail("%s: exit status %d: %s" % (moves_program, r.returncode, r.stderr.strip()[-500:]))
        else:
            moves_text = r.stdout
    moves = load_moves(root, names, moves_text)
    notes = load_notes(root, names)
    check_note_buses(root, notes)
    published = {d.name: d for d in rows}
    controls = load_controls(root)
    cells = {n: moves_cell(n, moves.get(n, []), notes.get(n), published, controls) for n in names}
    for name, text in cells.items():
        if "`" not in text and not text.startswith("None"):
            fail("%s: its moves name no dataref and do not say None" % name)
    undescribed = [d for d in rows if is_number(d) and described(d) == "neither"]
    if len(undescribed) >= MOST_UNDESCRIBED:
        fail("%d numbers give neither a unit nor positions (at most %d may): %s"
             % (len(undescribed), MOST_UNDESCRIBED - 1, ", ".join(d.name for d in undescribed)))
    for d in rows:
        if not d.meaning:
            fail("%s has no meaning row in dataref_meanings.tsv" % d.name)
    docs = {"docs/reference/datarefs.md": datarefs_md(rows), "docs/reference/commands.md": commands_md(created, hooks, cells)}
    if moves_text is not None:
        docs[MOVES] = moves_text
    if errors:
        for e in errors:
            print("gen_reference: " + e, file=sys.stderr)
        sys.exit(1)
    stale = []
    for rel, text in docs.items():
        path = os.path.join(root, rel)
        old = read(path) if os.path.exists(path) else None
        if old == text:
            continue
        if check:
            stale.append(rel)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8", newline="\n") as f:
                f.write(text)
    if stale:
        for rel in stale:
            if rel == MOVES:
                print("gen_reference: %s differs from what %s finds; run tools/gen_reference.py --moves %s"
                      % (rel, os.path.basename(moves_program), moves_program), file=sys.stderr)
            else:
                print("gen_reference: %s differs from the registered tables; run tools/gen_reference.py" % rel,
                      file=sys.stderr)
        sys.exit(1)
    numbers = [d for d in rows if is_number(d)]
    how = {k: sum(1 for d in numbers if described(d) == k) for k in ("unit or positions", "kept", "neither")}
    print("gen_reference: %d datarefs, %d commands, %d take-overs%s" % (len(rows), len(created), len(hooks),
                                                                      " checked" if check else ""))
    print("gen_reference: %d numbers: %d with a unit or positions, %d kept for the scripts and objects, "
          "%d with neither" % (len(numbers), how["unit or positions"], how["kept"], how["neither"]))
    print("gen_reference: %d commands and take-overs name a dataref they move, %d move none"
          % (sum(1 for c in cells.values() if not c.startswith("None")),
             sum(1 for c in cells.values() if c.startswith("None"))))


if __name__ == "__main__":
    main()
