#!/usr/bin/env python3
"""gen_failure_entries.py: writes src/core/failure_entries.h, the names of
the failure arrays' entries the plug-in reads, from tools/failure_entries.tsv.

Each name is an entry of one array's own type (fail_entry::Electric, ...),
made only in the header: the readers and helpers take that type, so a bare
number or another array's entry does not compile where an entry is read, and
failure_value(ENTRY) reads it in its own array. Which files read each entry
is found in the sources and written into the header, so the header goes
stale when a reader comes or goes.

    tools/gen_failure_entries.py [ROOT]              write the header
    tools/gen_failure_entries.py --check [ROOT]      fail when the header is
        stale (its readers included), when an index is named twice or a name
        given twice, when an entry is read by nobody, or when a failure array
        is subscripted, or an entry made, outside the header and the files
        that handle the arrays whole
    tools/gen_failure_entries.py --self-test [ROOT]  the tree passes, and a
        second name for one index, a read at a number, through a local
        constant, at an engine's arithmetic or on another array, and a new
        reader left out of the header each fail
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

TABLE = "tools/failure_entries.tsv"
HEADER = "src/core/failure_entries.h"
ARRAYS = ("electric", "hydraulic", "system", "pressurisation", "engine")
ENTRIES = 70  # exchanged with the scripts


def read_rows(root):
    """(line, array, index, name, meaning, readers) of each row, and problems."""
    rows, problems = [], []
    with open(os.path.join(root, TABLE), encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            cells = line.split("\t")
            where = "%s:%d" % (TABLE, n)
            if len(cells) != 4:
                problems.append("%s: a row has four columns, this one %d" % (where, len(cells)))
                continue
            array, index, name, meaning = cells
            if array not in ARRAYS:
                problems.append("%s: no failure array \"%s\"" % (where, array))
                continue
            if not index.isdigit() or int(index) >= ENTRIES:
                problems.append("%s: the index %s is not one of 0 to %d" % (where, index, ENTRIES - 1))
                continue
            if not re.fullmatch(r"[a-z][a-z0-9_]*", name):
                problems.append("%s: \"%s\" is no name for the code" % (where, name))
                continue
            rows.append((n, array, int(index), name, meaning))
    seen_index, seen_name = {}, {}
    for n, array, index, name, meaning in rows:
        key = (array, index)
        if key in seen_index:
            problems.append("%s:%d: %s entry %d is named twice (%s at line %d): one index, one meaning"
                            % (TABLE, n, array, index, seen_index[key][1], seen_index[key][0]))
        seen_index.setdefault(key, (n, name))
        if name in seen_name:
            problems.append("%s:%d: the name %s is given twice (line %d)" % (TABLE, n, name, seen_name[name]))
        seen_name.setdefault(name, n)
    return rows, problems


# Files that handle the arrays whole, by the scan of every entry (the random
# failures, the reset, the exchange with the scripts), and what they may do:
# a subscript at the scan's own index. The core's table and the generated
# binding lists hand the arrays whole too.
WHOLE = {
    "src/alerting/failures.cpp": r"\[\s*i\s*\]",
    "src/alerting/failure_commands.cpp": None,
    "src/aircraft/startup_state.cpp": None,
}
TYPES = {"electric": "Electric", "hydraulic": "Hydraulic", "system": "System",
         "pressurisation": "Pressurisation", "engine": "Engine"}


def sources(root):
    src = os.path.join(root, "src")
    for d, dirs, files in sorted(os.walk(src)):
        dirs.sort()
        for f in sorted(files):
            if f.endswith((".cpp", ".h", ".inc")):
                yield os.path.join(d, f)


def code_of(text):
    """The text without comments and strings, line for line."""
    out = []
    for line in text.split("\n"):
        line = re.sub(r'"([^"\\]|\\.)*"', '""', line)
        out.append(line.split("//")[0])
    return out


def readers(root, rows):
    """name -> the files under src/ (without src/) that read it."""
    found = {r[3]: [] for r in rows}
    # A per-engine pair read is a read of both its entries.
    also = {base: (base + "_1", base + "_2") for base in pairs(rows)}
    names = list(found) + list(also)
    pattern = re.compile(r"(?<![\w])(%s)(?![\w])" % "|".join(sorted(names, key=len, reverse=True)))
    for path in sources(root):
        rel = os.path.relpath(path, root)
        if rel == HEADER:
            continue
        with open(path, encoding="utf-8", errors="replace") as f:
            text = "\n".join(code_of(f.read()))
        read = set()
        for name in set(pattern.findall(text)):
            read.update(also.get(name, (name,)))
        for name in sorted(read):
            found[name].append(os.path.relpath(path, os.path.join(root, "src")))
    return found


def pairs(rows):
    """Engine entries named NAME_1 and NAME_2 at one index and the next: the
    per-engine pair NAME[2]."""
    by_name = {r[3]: r for r in rows}
    out = []
    for n, array, index, name, meaning in sorted(rows, key=lambda r: (ARRAYS.index(r[1]), r[2])):
        if array == "engine" and name.endswith("_1"):
            other = by_name.get(name[:-2] + "_2")
            if other and other[1] == array and other[2] == index + 1:
                out.append(name[:-2])
    return out


def header_text(rows, found):
    out = ["// Generated by tools/gen_failure_entries.py from tools/failure_entries.tsv; do not edit.",
           "// The entries of the failure arrays (core/failure_tables.h) the plug-in",
           "// reads, each by one name of its array's own type; a 1 there is the",
           "// failure named. Only this file makes entries: a number, or another",
           "// array's entry, does not compile where an entry is read.",
           "#pragma once", "", "#include \"core/failure_tables.h\"", "", "namespace fail_entry {", "",
           "enum class Array { %s };" % ", ".join(ARRAYS), "",
           "template <Array A>",
           "class Entry {",
           " public:",
           "  constexpr int index() const { return index_; }",
           "",
           " private:",
           "  explicit constexpr Entry(int index) : index_(index) {}",
           "  int index_;",
           "  friend struct Made;",
           "};",
           "struct Made {",
           "  template <Array A>",
           "  static constexpr Entry<A> at(int index) { return Entry<A>(index); }",
           "};"]
    for array in ARRAYS:
        out.append("using %s = Entry<Array::%s>;" % (TYPES[array], array))
    for array in ARRAYS:
        mine = [r for r in rows if r[1] == array]
        if not mine:
            continue
        out.append("")
        out.append("// failure_tables.%s" % array)
        for n, a, index, name, meaning in sorted(mine, key=lambda r: r[2]):
            out.append("inline constexpr %s %s = Made::at<Array::%s>(%d);  // %s; read by %s"
                       % (TYPES[array], name, array, index, meaning, ", ".join(found[name]) or "nobody"))
    both = pairs(rows)
    if both:
        out.append("")
        out.append("// Each engine's entry of a pair: [0] engine 1, [1] engine 2.")
        for name in both:
            out.append("inline constexpr Engine %s[2] = {%s_1, %s_2};" % (name, name, name))
    out.append("")
    out.append("}  // namespace fail_entry")
    out.append("")
    out.append("// An entry's value in its own array.")
    for array in ARRAYS:
        out.append("inline float& failure_value(fail_entry::%s e) { return failure_tables.%s[e.index()]; }"
                   % (TYPES[array], array))
    out.append("template <fail_entry::Array A>")
    out.append("inline bool entry_failed(fail_entry::Entry<A> e) {")
    out.append("  return failure_value(e) == 1.0f;")
    out.append("}")
    return "\n".join(out) + "\n"


def array_reads(root):
    """A failure array subscripted, or an entry made, outside the header and
    the files that handle the arrays whole: the array itself, or a pointer a
    file takes to it."""
    problems = []
    direct = re.compile(r"failure_tables\.(%s)\s*\[" % "|".join(ARRAYS))
    alias = re.compile(r"(\w+)\s*=\s*failure_tables\.(?:%s)\s*;" % "|".join(ARRAYS))
    made = re.compile(r"(?<![\w])(Made\s*::|Entry\s*<)")
    for path in sources(root):
        rel = os.path.relpath(path, root)
        if rel == HEADER or rel.startswith("src/core/"):
            continue
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        code = code_of(text)
        joined = "\n".join(code)
        if "failure_tables" not in joined and "fail_entry" not in joined:
            continue
        names = set(alias.findall(joined))
        allowed = WHOLE.get(rel, False)
        for n, line in enumerate(code, 1):
            if made.search(line) and "fail_entry" in joined:
                problems.append("%s:%d: an entry made outside %s; name it in %s" % (rel, n, HEADER, TABLE))
            subscripts = [m.end() for m in direct.finditer(line)]
            for a in names:
                subscripts += [m.end() for m in re.finditer(r"(?<![\w.])%s\s*\[" % re.escape(a), line)]
            for end in subscripts:
                if allowed is not False and allowed is not None and re.match(allowed, line[end - 1:]):
                    continue
                problems.append("%s:%d: a failure array read by subscript; read the entry named in %s "
                                "through failure_value" % (rel, n, TABLE))
    return problems


def check(root):
    rows, problems = read_rows(root)
    found = readers(root, rows)
    path = os.path.join(root, HEADER)
    current = open(path, encoding="utf-8").read() if os.path.isfile(path) else ""
    if current != header_text(rows, found):
        problems.append("%s is not what tools/gen_failure_entries.py makes of %s and its readers: run it"
                        % (HEADER, TABLE))
    for n, array, index, name, meaning in rows:
        if not found[name]:
            problems.append("%s:%d: nothing under src/ reads fail_entry::%s" % (TABLE, n, name))
    return problems + array_reads(root)


def self_test(root):
    problems = check(root)
    if problems:
        print("\n".join(problems))
        print("gen_failure_entries: self-test FAILED: the unchanged tree does not pass")
        return 1
    scratch = tempfile.mkdtemp()
    try:
        work = os.path.join(scratch, "tree")
        for part in ("src", "tools"):
            shutil.copytree(os.path.join(root, part), os.path.join(work, part))
        with open(os.path.join(work, TABLE), "a", encoding="utf-8") as f:
            f.write("hydraulic\t2\thyd_second_meaning\ta second meaning planted\n")
        planted = check(work)
        if not any("hydraulic entry 2 is named twice" in p for p in planted):
            print("\n".join(planted))
            print("gen_failure_entries: self-test FAILED: a second meaning was not refused")
            return 1
        # Reads that are not by name, each in a reader of the arrays: a number,
        # a local constant, an engine's arithmetic, another array's name.
        shutil.copy(os.path.join(root, TABLE), os.path.join(work, TABLE))
        plants = [
            ("src/systems/air/pneumatics.cpp",
             "bool planted_a() { return failure_tables.pressurisation[9] == 1.0f; }"),
            ("src/systems/electrical/electrical.cpp",
             "constexpr int kPlanted = 13;\nbool planted_b() { return failure_tables.electric[kPlanted] == 1.0f; }"),
            ("src/alerting/engine_failures.cpp",
             "bool planted_c(int e) { float* table = failure_tables.engine; return table[e + 13] == 1.0f; }"),
            ("src/systems/hydraulics/hydraulics.cpp",
             "bool planted_d() { return failure_tables.hydraulic[fail_entry::press_hull_leak.index()] == 1.0f; }"),
            ("src/systems/fire/fire.cpp",
             "bool planted_e() { return entry_failed(fail_entry::Made::at<fail_entry::Array::engine>(9)); }"),
        ]
        for rel, line in plants:
            with open(os.path.join(work, rel), "a", encoding="utf-8") as f:
                f.write("\n" + line + "\n")
        planted = check(work)
        for rel, line in plants:
            if not any(p.startswith(rel[4:] if False else rel) for p in planted):
                print("\n".join(planted))
                print("gen_failure_entries: self-test FAILED: the read planted in %s was not refused" % rel)
                return 1
        # A new reader of a name, and the header not made again.
        for rel, line in plants:
            shutil.copy(os.path.join(root, rel), os.path.join(work, rel))
        with open(os.path.join(work, "src/systems/fire/fire.cpp"), "a", encoding="utf-8") as f:
            f.write("\nbool planted_f() { return entry_failed(fail_entry::hyd_leak_a); }\n")
        planted = check(work)
        if len(planted) != 1 or "is not what tools/gen_failure_entries.py makes" not in planted[0]:
            print("\n".join(planted))
            print("gen_failure_entries: self-test FAILED: a reader left out of the header was not refused")
            return 1
        # Where an entry is taken, a number or another array's entry does not
        # compile (when a compiler is at hand).
        compiler = shutil.which("c++") or shutil.which("g++")
        if compiler:
            for call, builds in (("elec_fail_ok(fail_entry::elec_tru_1)", True), ("elec_fail_ok(40)", False),
                                 ("elec_fail_ok(fail_entry::hyd_leak_a)", False)):
                probe = os.path.join(scratch, "probe.cpp")
                with open(probe, "w", encoding="utf-8") as f:
                    f.write("#include \"systems/electrical/electrical.h\"\nfloat probe() { return %s; }\n" % call)
                done = subprocess.run([compiler, "-std=c++20", "-fsyntax-only", "-I", os.path.join(root, "src"), probe],
                                      capture_output=True)
                if (done.returncode == 0) != builds:
                    print(done.stderr.decode(errors="replace"))
                    print("gen_failure_entries: self-test FAILED: %s %s" % (call, "does not compile" if builds
                                                                            else "compiles"))
                    return 1
    finally:
        shutil.rmtree(scratch)
    print("gen_failure_entries: self-test ok (a second name for one index, a read at a number, through a "
          "local constant, at an engine's arithmetic or across arrays, an entry made by hand, and a "
          "reader the header does not name are refused; a number or another array's entry does not compile)")
    return 0


def main(argv):
    args = [a for a in argv[1:] if not a.startswith("--")]
    root = os.path.abspath(args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    if "--self-test" in argv:
        return self_test(root)
    if "--check" in argv:
        problems = check(root)
        for p in problems:
            print("gen_failure_entries: " + p)
        if problems:
            print("gen_failure_entries: FAILED")
            return 1
        print("gen_failure_entries: ok")
        return 0
    rows, problems = read_rows(root)
    if problems:
        print("\n".join(problems))
        return 1
    with open(os.path.join(root, HEADER), "w", encoding="utf-8") as f:
        f.write(header_text(rows, readers(root, rows)))
    print("gen_failure_entries: %d entries named" % len(rows))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
