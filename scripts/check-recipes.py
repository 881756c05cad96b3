#!/usr/bin/env python3
"""check-recipes.py: every file and name a row of the "To add X, go to Y"
table of docs/architecture.md gives is in the tree, so a maintainer who
follows a recipe finds what it sends them to; and the page's list of house
checks names every scripts/check-* of the tree, and nothing else, so a new
check cannot stay unknown.

A backticked path (with a folder, or a file name with its extension) must
exist: under the repository's root, under src/, anywhere in the tree by its
base name, or among the shared tables the page says sit beside the checkout.
An ending (`_panels.cpp`) is the file named before it with its last part
swapped, in that file's folder.
A backticked name in capitals (a generator's table or form, `SPECIAL`) must
be written in one of the files of its own row; any other name (a function,
a value, a word of a table's column) somewhere in the tree's sources.
Placeholders (`<area>`), wildcards (`*_steps.h`) and endings (`_panels.cpp`)
are read as such.

    scripts/check-recipes.py [ROOT]              check the tree
    scripts/check-recipes.py --self-test [ROOT]  the tree passes, and a row
                                                 naming a table and a name
                                                 that are not there fails
"""
import fnmatch
import os
import re
import shutil
import sys
import tempfile

PAGE = "docs/architecture.md"
HEADING = "## To add X, go to Y"
CHECKS_HEADING = "## House checks"
SOURCE_DIRS = ("src", "tools", "simhost", "scripts", "tests", "sample", "cmake", "fuzz", "bench")
SOURCE_EXT = (".cpp", ".h", ".inc", ".c", ".py", ".sh", ".tsv", ".txt", ".cmake", ".md", ".scn", ".json")
FILE_EXT = (".cpp", ".h", ".inc", ".py", ".sh", ".tsv", ".txt", ".cmake", ".md")


def recipe_rows(text):
    """The rows of the recipe table: (line number, what to add, where to go)."""
    lines = text.split("\n")
    try:
        start = lines.index(HEADING)
    except ValueError:
        return None
    rows = []
    for n in range(start + 1, len(lines)):
        line = lines[n]
        if line.startswith("## "):
            break
        if not line.startswith("|") or line.startswith("|---") or line.startswith("| To add"):
            continue
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) >= 2:
            rows.append((n + 1, cells[0], "|".join(cells[1:])))
    return rows


def shared_tables(text):
    """The tables the page says are kept beside the checkout, not in it."""
    m = re.search(r"The dataref and command tables \(([^)]*)\)", text)
    return set(re.findall(r"`([^`]+)`", m.group(1))) if m else set()


def tree_files(root):
    out = []
    for top in SOURCE_DIRS + ("docs",):
        base = os.path.join(root, top)
        for d, dirs, files in os.walk(base):
            dirs[:] = [x for x in dirs if not x.startswith("build")]
            out.extend(os.path.relpath(os.path.join(d, f), root) for f in files)
    out.extend(f for f in os.listdir(root) if os.path.isfile(os.path.join(root, f)))
    return out


def is_path(token):
    return "/" in token or token.startswith("*") or token.endswith(FILE_EXT)


def resolve(root, token, files, shared, before=None):
    """The files of the tree a path token stands for (empty when none);
    before is the file the row named last, which an ending is read against."""
    token = token.strip()
    if "<" in token:  # a placeholder: the folder before it must be there
        head = token.split("<")[0]
        for base in (head, os.path.join("src", head)):
            if head and os.path.isdir(os.path.join(root, base)):
                return [base]
        return []
    if token.startswith("_"):  # an ending of the file named before it
        if not before or "_" not in os.path.basename(before):
            return []
        folder, base = os.path.split(before)
        sibling = os.path.join(folder, base.rsplit("_", 1)[0] + token)
        return [sibling] if sibling in files else []
    if token in shared:
        return [token]
    for base in (token, os.path.join("src", token)):
        p = os.path.join(root, base)
        if "*" in token:
            hits = [f for f in files if fnmatch.fnmatch(f, base)]
            if hits:
                return hits
        elif os.path.isfile(p) or os.path.isdir(p):
            return [base.rstrip("/")]
    if "/" not in token:
        hits = [f for f in files if os.path.basename(f) == token]
        if hits:
            return hits
        if "*" in token:
            return [f for f in files if fnmatch.fnmatch(os.path.basename(f), token)
                    or fnmatch.fnmatch(os.path.splitext(os.path.basename(f))[0], token)]
    return []


def read(root, rel):
    p = os.path.join(root, rel)
    if not os.path.isfile(p):
        return ""
    with open(p, encoding="utf-8", errors="replace") as f:
        return f.read()


def house_checks(root, page):
    """Problems of the list of house checks: a check of scripts/ it leaves
    out, or a line naming a check that is not there."""
    lines = page.split("\n")
    if CHECKS_HEADING not in lines:
        return ["%s: no section \"%s\"" % (PAGE, CHECKS_HEADING)]
    listed = set()
    for line in lines[lines.index(CHECKS_HEADING) + 1:]:
        if line.startswith("## "):
            break
        m = re.match(r"- `(scripts/check-[^`]+)`", line)
        if m:
            listed.add(m.group(1))
    scripts = os.path.join(root, "scripts")
    present = set("scripts/" + f for f in os.listdir(scripts) if f.startswith("check-")) \
        if os.path.isdir(scripts) else set()
    problems = ["%s (%s): `%s` is a house check the list leaves out; give it its line"
                % (PAGE, CHECKS_HEADING[3:], c) for c in sorted(present - listed)]
    problems += ["%s (%s): `%s` is listed but not in the tree" % (PAGE, CHECKS_HEADING[3:], c)
                 for c in sorted(listed - present)]
    return problems


def check(root):
    page = read(root, PAGE)
    rows = recipe_rows(page)
    if rows is None:
        return ["%s: no section \"%s\"" % (PAGE, HEADING)]
    shared = shared_tables(page)
    files = tree_files(root)
    corpus = None
    problems = []
    for line, what, where in rows:
        tokens = re.findall(r"`([^`]+)`", where)
        row_files = []
        names = []
        before = None
        for t in tokens:
            if " " in t and is_path(t.split()[0]):  # a command line: its program
                t = t.split()[0]
            if is_path(t):
                hit = resolve(root, t, files, shared, before)
                if not hit:
                    problems.append("%s:%d (%s): `%s` is not in the tree" % (PAGE, line, what, t))
                if not t.startswith("_"):
                    before = hit[0] if len(hit) == 1 else None
                row_files.extend(h for h in hit if h not in shared)
            else:
                names.extend(re.findall(r"[A-Za-z_][A-Za-z0-9_]*\*?", t)[:1])
        row_text = "\n".join(read(root, f) for f in row_files if os.path.isfile(os.path.join(root, f)))
        for name in names:
            # A name ending in * stands for the names it begins (`host_set_*`).
            tail = "" if name.endswith("*") else r"(?![A-Za-z0-9_])"
            name = name.rstrip("*")
            pattern = re.compile(r"(?<![A-Za-z0-9_])" + re.escape(name) + tail)
            if re.fullmatch(r"[A-Z][A-Z0-9_]+", name):
                if not pattern.search(row_text):
                    problems.append("%s:%d (%s): `%s` is in none of the row's files (%s)"
                                    % (PAGE, line, what, name, ", ".join(row_files) or "none named"))
                continue
            if corpus is None:
                corpus = "\n".join(read(root, f) for f in files
                                   if f.endswith(SOURCE_EXT) and not f.startswith("docs/"))
            if not pattern.search(corpus):
                problems.append("%s:%d (%s): `%s` is nowhere in the sources" % (PAGE, line, what, name))
    return problems + house_checks(root, page)


def self_test(root):
    problems = check(root)
    if problems:
        print("\n".join(problems))
        print("check-recipes: self-test FAILED: the unchanged tree does not pass")
        return 1
    scratch = tempfile.mkdtemp()
    work = scratch
    try:
        work = os.path.join(work, "tree")
        shutil.copytree(root, work, ignore=shutil.ignore_patterns("build*", ".git"))
        page = read(root, PAGE).replace(
            "| a test |",
            "| a gone table | `tools/gone_table.tsv`, and `GONE_LIMIT` of `tools/gen_published.py` |\n| a test |", 1)
        with open(os.path.join(work, PAGE), "w", encoding="utf-8") as f:
            f.write(page)
        # An ending is read against the file named before it, never against
        # any file of the tree that happens to end the same way.
        page = page.replace("`_power.cpp`)", "`_power.cpp`, `_state.cpp`)", 1)
        with open(os.path.join(work, PAGE), "w", encoding="utf-8") as f:
            f.write(page)
        panels = "src/systems/annunciators/annunciators_panels.cpp"
        os.rename(os.path.join(work, panels), os.path.join(work, panels.replace("_panels", "_boards")))
        planted = check(work)
        want = ["`tools/gone_table.tsv` is not in the tree", "`GONE_LIMIT` is in none of the row's files",
                "`_panels.cpp` is not in the tree", "`_state.cpp` is not in the tree"]
        if len(planted) != len(want) or not all(any(w in p for p in planted) for w in want):
            print("\n".join(planted))
            print("check-recipes: self-test FAILED: a row naming a missing table, name or ending was not refused as such")
            return 1
        # A new check without its line in the list of house checks.
        shutil.copy(os.path.join(root, PAGE), os.path.join(work, PAGE))
        os.rename(os.path.join(work, panels.replace("_panels", "_boards")), os.path.join(work, panels))
        with open(os.path.join(work, "scripts/check-x.sh"), "w", encoding="utf-8") as f:
            f.write("#!/usr/bin/env bash\n")
        planted = check(work)
        if len(planted) != 1 or "`scripts/check-x.sh` is a house check the list leaves out" not in planted[0]:
            print("\n".join(planted))
            print("check-recipes: self-test FAILED: a new check missing from the list of house checks passed")
            return 1
    finally:
        shutil.rmtree(scratch)
    print("check-recipes: self-test ok (a row naming a table, a name or an ending that is not there is refused, "
          "and so is a check missing from the list of house checks)")
    return 0


def main(argv):
    args = [a for a in argv[1:] if a != "--self-test"]
    root = os.path.abspath(args[0] if args else os.path.join(os.path.dirname(__file__), ".."))
    if "--self-test" in argv[1:]:
        return self_test(root)
    problems = check(root)
    for p in problems:
        print("check-recipes: " + p)
    if problems:
        print("check-recipes: FAILED")
        return 1
    print("check-recipes: ok (%d recipes)" % len(recipe_rows(read(root, PAGE))))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
