#!/usr/bin/python3
"""Checks the #include lines of every C++ source of the repository (tracked,
or new and not ignored) that name a file of the repository, "..." or <...>,
against the layers of the program, and looks for include cycles between
files.

    scripts/check-includes.py [REPOSITORY]

Reports, one line each, and exits 1 when there is any:
  - an include that points up or across the layers (LAYERS below);
  - an include that resolves to no file of the repository;
  - a cycle of includes between files, where a .cpp counts together with
    the header of the same name (a.cpp -> b.h and b.cpp -> a.h is a cycle).
Exits 77 when the repository is no git checkout.
"""

import os
import subprocess
import sys

# Layers, most specific path first; each may include its own files and those
# of the layers it names. Everything the program is built from is Qt-free
# below framework/qt and ui.
LIBRARIES = ["framework", "engine", "xml", "drivers", "export"]
LAYERS = [
    ("framework/qt", ["framework/qt/"], ["framework", "resource forms"]),
    ("framework", ["framework/"], []),
    ("engine", ["engine/"], ["framework"]),
    ("xml", ["xml/"], ["framework"]),
    ("drivers", ["drivers/"], ["framework"]),
    ("export", ["export/"], ["drivers", "xml", "engine", "framework"]),
    # The forms of dialog layouts, menus and strings, which framework/qt
    # builds windows from; the program's own resources and ids sit above.
    ("resource forms", ["res/ResourceTypes.h"], []),
    ("resources", ["res/"], ["resource forms"]),
    ("ui", ["ui/"], LIBRARIES + ["framework/qt", "resources", "resource forms"]),
    ("cli", ["app/cli/"], LIBRARIES),
    ("app", ["app/"], LIBRARIES + ["framework/qt", "resources", "resource forms", "ui", "cli"]),
    # What tests and fuzz targets share: fakes, sinks, the reference
    # matcher and the bodies of the fuzz targets.
    ("test support", ["tests/support/"], LIBRARIES + ["framework/qt", "resources",
                                                      "resource forms"]),
    ("tests", ["tests/"], LIBRARIES + ["framework/qt", "resources", "resource forms", "ui",
                                       "cli", "app", "test support"]),
    ("fuzz", ["fuzz/"], LIBRARIES + ["test support"]),
    ("tools", ["tools/"], LIBRARIES + ["framework/qt", "resources", "resource forms", "ui"]),
    ("bench", ["bench/"], LIBRARIES),
]

# Where "..." includes are looked for after the including file's own folder,
# as the build's include directories give them: the repository root for every
# target, tests/ for the tests ("support/..."), app/ for the command line
# ("cli/...").
INCLUDE_ROOTS = ["", "tests", "app"]

SOURCE_ENDINGS = (".cpp", ".h", ".inc")


def layer_of(path):
    for name, prefixes, _ in LAYERS:
        for prefix in prefixes:
            if path == prefix or (prefix.endswith("/") and path.startswith(prefix)):
                return name
    return None


ALLOWED = {name: set(uses) | {name} for name, _, uses in LAYERS}


def tracked_sources(root):
    listing = subprocess.run(["git", "-C", root, "rev-parse", "--is-inside-work-tree"],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if listing.returncode != 0:
        print("check-includes: %s is no git checkout, so no list of sources" % root,
              file=sys.stderr)
        sys.exit(77)
    out = subprocess.run(["git", "-C", root, "ls-files", "-z", "--cached", "--others",
                          "--exclude-standard"], check=True,
                         stdout=subprocess.PIPE).stdout.decode()
    return sorted(p for p in out.split("\0")
                  if p.endswith(SOURCE_ENDINGS) and os.path.isfile(os.path.join(root, p)))


def includes_of(root, path):
    """(line number, included text, quoted) of each #include line."""
    result = []
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            text = line.strip()
            if not text.startswith("#"):
                continue
            text = text[1:].lstrip()
            if not text.startswith("include"):
                continue
            text = text[len("include"):].strip()
            if text.startswith('"') and '"' in text[1:]:
                result.append((number, text[1:text.index('"', 1)], True))
            elif text.startswith("<") and ">" in text:
                result.append((number, text[1:text.index(">")], False))
    return result


def resolve(files, path, included, quoted):
    candidates = [os.path.join(os.path.dirname(path), included)] if quoted else []
    candidates += [os.path.join(base, included) for base in INCLUDE_ROOTS]
    for candidate in candidates:
        candidate = os.path.normpath(candidate)
        if candidate in files:
            return candidate
    return None


def unit_of(path):
    """A source and the header of the same name form one unit."""
    return os.path.splitext(path)[0]


def find_cycles(edges):
    """The strongly connected components of more than one unit (Tarjan)."""
    index = {}
    low = {}
    stack = []
    on_stack = set()
    components = []
    counter = [0]

    def visit(start):
        # Iterative, so that deep include chains need no recursion limit.
        work = [(start, iter(sorted(edges.get(start, ()))))]
        index[start] = low[start] = counter[0]
        counter[0] += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            advanced = False
            for child in children:
                if child not in index:
                    index[child] = low[child] = counter[0]
                    counter[0] += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(edges.get(child, ())))))
                    advanced = True
                    break
                if child in on_stack:
                    low[node] = min(low[node], index[child])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    components.append(sorted(component))

    for node in sorted(edges):
        if node not in index:
            visit(node)
    return components


def cycle_in(component, edges):
    """One closed path through a component, for the message."""
    members = set(component)
    path = [component[0]]
    seen = {component[0]: 0}
    while True:
        following = sorted(n for n in edges.get(path[-1], ()) if n in members)
        step = following[0]
        if step in seen:
            return path[seen[step]:] + [step]
        seen[step] = len(path)
        path.append(step)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    root = os.path.abspath(root)
    sources = tracked_sources(root)
    files = set(sources)
    problems = []
    edges = {}
    for path in sources:
        layer = layer_of(path)
        for number, included, quoted in includes_of(root, path):
            where = "%s:%d" % (path, number)
            target = resolve(files, path, included, quoted)
            if target is None:
                # <...> names a header of the system or of a library.
                if quoted:
                    problems.append('%s: "%s" is no file of the repository' % (where, included))
                continue
            if unit_of(target) != unit_of(path):
                edges.setdefault(unit_of(path), set()).add(unit_of(target))
            target_layer = layer_of(target)
            if layer is None or target_layer is None:
                problems.append("%s: %s is in no layer (add it to LAYERS in %s)"
                                % (where, path if layer is None else target,
                                   os.path.basename(__file__)))
            elif target_layer not in ALLOWED[layer]:
                problems.append("%s: %s (%s) may not include %s (%s)"
                                % (where, path, layer, target, target_layer))
    for component in find_cycles(edges):
        problems.append("include cycle: " + " -> ".join(cycle_in(component, edges)))
    for problem in problems:
        print(problem)
    if problems:
        print("check-includes: %d problem(s) in %d sources" % (len(problems), len(sources)),
              file=sys.stderr)
        return 1
    print("check-includes: %d sources, no upward include, no cycle" % len(sources))
    return 0


if __name__ == "__main__":
    sys.exit(main())
