#!/usr/bin/env python3
"""Fails when the includes of a source tree go round in a circle.

    python3 tools/include_cycles.py [SRC]

A component is a header with its source (catalog/catalog.h and .cpp), a room
is a folder (catalog). A includes B when a file of A has #include "B's
header". The rooms and the components must each form a layered graph: every
dependency points one way. Prints each cycle found and its count; exits 1
when there is one.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*"([^"]+)"', re.M)
SUFFIXES = (".h", ".cpp")


def components(src):
    """Component name -> the names of the components its files include."""
    files = {}
    for folder, _, names in os.walk(src):
        for name in names:
            if name.endswith(SUFFIXES):
                path = os.path.relpath(os.path.join(folder, name), src).replace(os.sep, "/")
                files.setdefault(os.path.splitext(path)[0], []).append(path)
    deps = {}
    for comp, paths in files.items():
        deps[comp] = set()
        for path in paths:
            with open(os.path.join(src, path), encoding="utf-8", errors="replace") as f:
                for header in INCLUDE.findall(f.read()):
                    target = os.path.splitext(header)[0]
                    if target in files and target != comp:
                        deps[comp].add(target)
    return deps


def find_cycles(deps):
    """Each cycle once, as the list of its nodes, by depth-first search."""
    cycles, state, path = [], {}, []

    def visit(node):
        state[node] = "open"
        path.append(node)
        for nxt in sorted(deps[node]):
            if state.get(nxt) == "open":
                cycles.append(path[path.index(nxt):] + [nxt])
            elif nxt not in state:
                visit(nxt)
        path.pop()
        state[node] = "done"

    for node in sorted(deps):
        if node not in state:
            visit(node)
    return cycles


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else "src"
    comps = components(src)
    rooms = {}
    for comp, targets in comps.items():
        room = os.path.dirname(comp) or "."
        rooms.setdefault(room, set()).update(os.path.dirname(t) or "." for t in targets)
        rooms[room].discard(room)
    found = 0
    for kind, deps in (("rooms", rooms), ("components", comps)):
        for cycle in find_cycles(deps):
            found += 1
            print("cycle among %s: %s" % (kind, " -> ".join(cycle)))
    print("%d cycle(s) among %d rooms and %d components" % (found, len(rooms), len(comps)))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
