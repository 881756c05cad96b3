#!/usr/bin/env python3
"""Write the reference of the published datarefs and the commands.

Usage: gen_reference.py [--check] [--sim CORVANE_SIM] [REPO_ROOT]

Reads the tables the plug-in registers from, below REPO_ROOT (default: the
folder above this script):
  src/datarefs/lists_generated.cpp and src/datarefs/list_*.cpp   the datarefs
  src/commands/command_table.cpp, src/core/command_ids.h           the commands
  src/commands/command_handlers.h and the hooks in src/commands/   areas, and
                                   whether a taken-over host command still acts
and the meanings in tools/dataref_meanings.tsv, and writes
docs/reference/datarefs.md and docs/reference/commands.md.

--check writes nothing and exits with status 1 when either file differs from
what this script would write. With --sim it also runs that corvane-sim and
fails when the loaded plug-in registers other datarefs (name, type, writable
flag, size) or creates other commands (name, description) than the tables.

Any row the parser does not understand, a count that disagrees with the
tables' own census, or a meaning row that matches no published dataref stops
it with status 1 and writes nothing. Only the standard library is used.
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
    m = re.search(r"const int expected_total = (\d+);", gen)
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
        d.meaning = ""
        if d.name in exact:
            d.meaning = exact[d.name][0]
            exact[d.name][2] += 1
            continue
        for p in patterns:
            m = p[0].fullmatch(d.name)
            if m:
                d.meaning = m.expand(p[1])
                p[3] += 1
                break
    for key, (_, n, used) in exact.items():
        if not used:
            fail("dataref_meanings.tsv:%d: %s is not a published dataref" % (n, key))
    for rx, _, n, used in patterns:
        if not used:
            fail("dataref_meanings.tsv:%d: %s matches no published dataref (or only names matched before)"
                 % (n, rx.pattern))


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
    known = sum(1 for d in rows if d.meaning)
    counts = {k: sum(1 for d in rows if d.writable == k) for k in ("yes", "ignored", "no")}
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
        "  replaces it.\n",
        "- **Meaning**: what the value is, its unit or its positions, where the project\n",
        "  has it written down (%d of %d); blank where it is not, rather than a guess.\n" % (known, len(rows)),
        "  Positions are those the plug-in's own commands set; \"1 while pressed\" means\n",
        "  1 from the command's begin to its end.\n\n",
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


def load_commands(root):
    table = read(os.path.join(root, "src/commands/command_table.cpp"))
    header = read(os.path.join(root, "src/commands/command_table.h"))
    ids = read(os.path.join(root, "src/core/command_ids.h"))
    handlers_h = read(os.path.join(root, "src/commands/command_handlers.h"))

    def block(text, start):
        m = re.search(re.escape(start) + r".*? = \{\n(.*?)\n\};", text, re.S)
        if m is None:
            fail("no table %s" % start)
            return []
        return m.group(1).split("\n")

    def constant(name):
        m = re.search(r"constexpr int %s = (\d+);" % name, header)
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
        m = re.match(r'^    \{"([^"]+)", "((?:[^"\\]|\\.)*)", (\w+)\},$', line)
        if m is None:
            fail("command_table.cpp: row not understood: %s" % line.strip())
            continue
        name, desc, handler = m.group(1), c_unescape(m.group(2)), m.group(3)
        if handler not in handler_area:
            fail("%s: handler %s has no area" % (name, handler))
            continue
        created.append((name, desc, handler_area[handler][1]))
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
        m = re.match(r"^    \{HostCmd::(\w+), (\w+)\},$", line)
        if m is None or m.group(1) not in host_ids:
            fail("command_table.cpp: hook not understood: %s" % line.strip())
            continue
        name = host_names[host_ids.index(m.group(1))]
        handler = m.group(2)
        if handler not in handler_area:
            fail("%s: hook %s has no area" % (name, handler))
            continue
        src, area = handler_area[handler]
        if src not in sources:
            sources[src] = read(os.path.join(root, "src/commands", src))
        returns = handler_returns(sources[src], handler)
        if len(returns) != 1:
            fail("%s: cannot tell what %s returns" % (name, handler))
            continue
        hooks.append((name, area, returns.pop() == "1"))
    if len(hooks) != constant("host_hook_count"):
        fail("read %d take-overs, the table says %d" % (len(hooks), constant("host_hook_count")))
    return created, hooks


def commands_md(created, hooks):
    areas = {}
    for name, desc, area in created:
        areas.setdefault(area, []).append((name, desc))
    passing = sum(1 for h in hooks if h[2])
    out = [
        "# Commands\n\n",
        "<!-- Generated by tools/gen_reference.py from the plug-in's command tables;\n",
        "     do not edit. -->\n\n",
        "The plug-in creates %d commands and takes over %d of the host's own.\n\n" % (len(created), len(hooks)),
        "The commands it creates are new names under \"zuvadud/D738/\"; none of them\n",
        "replaces a host command. Each is listed with the description the plug-in gives\n",
        "the host (the text shown where keys and buttons are assigned, spelled exactly as\n",
        "registered) and grouped by the cockpit area that acts on it. Bind a key or a\n",
        "button to one as to any host command: the host begins the command when the key\n",
        "goes down and ends it when the key comes up, and the cockpit's push buttons and\n",
        "spring-loaded switches stay pressed in between.\n\n",
        "## Areas\n\n| Area | Commands |\n|---|---|\n",
    ]
    order = sorted(areas, key=sort_key)
    for a in order:
        out.append("| [%s](#%s) | %d |\n" % (a[0].upper() + a[1:], anchor(a), len(areas[a])))
    out.append("| [Host commands taken over](#host-commands-taken-over) | %d |\n" % len(hooks))
    for a in order:
        out.append('\n<a id="%s"></a>\n\n## %s\n\n| Command | Description |\n|---|---|\n'
                   % (anchor(a), a[0].upper() + a[1:]))
        for name, desc in sorted(areas[a], key=lambda c: sort_key(c[0])):
            out.append("| `%s` | %s |\n" % (name, cell(desc)))
    out += [
        '\n<a id="host-commands-taken-over"></a>\n\n## Host commands taken over\n\n',
        "The plug-in handles these host commands before the host does, so a key or\n",
        "button already bound to one of them works the aircraft's own controls. For %d\n"
        % (len(hooks) - passing),
        "of them the host's own action is suppressed and the area in the second column\n",
        "acts instead; for the other %d the host's own action runs as well.\n\n" % passing,
        "| Host command | Area that acts on it | The host's own action |\n|---|---|---|\n",
    ]
    for name, area, passes in sorted(hooks, key=lambda h: sort_key(h[0])):
        out.append("| `%s` | %s | %s |\n" % (name, area, "runs as well" if passes else "suppressed"))
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
    sim = None
    if "--sim" in args:
        i = args.index("--sim")
        if i + 1 >= len(args):
            sys.exit(__doc__)
        sim = args[i + 1]
        del args[i:i + 2]
    if len(args) > 1 or any(a.startswith("-") for a in args):
        sys.exit(__doc__)
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")

    rows = load_datarefs(root)
    load_meanings(root, rows)
    created, hooks = load_commands(root)
    if sim:
        check_against_sim(sim, rows, created)
    docs = {"docs/reference/datarefs.md": datarefs_md(rows), "docs/reference/commands.md": commands_md(created, hooks)}
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
            print("gen_reference: %s differs from the registered tables; run tools/gen_reference.py" % rel,
                  file=sys.stderr)
        sys.exit(1)
    known = sum(1 for d in rows if d.meaning)
    print("gen_reference: %d datarefs (%d with a meaning), %d commands, %d take-overs%s"
          % (len(rows), known, len(created), len(hooks), " checked" if check else ""))


if __name__ == "__main__":
    main()
