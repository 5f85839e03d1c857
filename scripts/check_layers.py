#!/usr/bin/env python3
"""Checks every quoted #include of the product against the layer graph of
ARCHITECTURE.md: the table "The layers, lowest first" says what each layer
builds on, and a file may include its own layer and the layers it builds
on, directly or through them (never one beside or above it).

usage: check_layers.py [CHECKOUT]            check a checkout (default: this one)
       check_layers.py --self-test [CHECKOUT] plant wrong includes in a copy and
                                              make sure the check catches them
       check_layers.py --graph [CHECKOUT]     print what each layer may include
Exit status 0 when every include keeps to the graph, 1 otherwise."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SOURCES = (".h", ".hpp", ".cpp", ".cc", ".c")
# A table row: | `layer/` | what it holds | builds on |
ROW = re.compile(r"^\|\s*`([a-z]+)/`\s*\|.*\|\s*([^|]*?)\s*\|\s*$")
LAYER_NAME = re.compile(r"`([a-z]+)`")


def read_graph(root):
    """The layers in the table's order, each with the layers it builds on
    (its direct entries; "everything" means every layer listed before it)."""
    order, direct = [], {}
    with open(os.path.join(root, "ARCHITECTURE.md"), encoding="utf-8") as f:
        for line in f:
            m = ROW.match(line)
            if not m:
                continue
            layer, builds_on = m.group(1), m.group(2)
            order.append(layer)
            direct[layer] = list(order[:-1]) if builds_on.strip() == "everything" else LAYER_NAME.findall(builds_on)
    for layer, below in direct.items():
        for other in below:
            if other not in direct:
                raise SystemExit(f"ARCHITECTURE.md: {layer}/ builds on {other}/, which the table does not list")
            if order.index(other) >= order.index(layer):
                raise SystemExit(f"ARCHITECTURE.md: {layer}/ builds on {other}/, which the table lists after it")
    return order, direct


def reachable(direct):
    """Each layer with every layer it may include: itself and what it builds
    on, followed through."""
    allowed = {}
    for layer in direct:
        seen, todo = {layer}, list(direct[layer])
        while todo:
            other = todo.pop()
            if other not in seen:
                seen.add(other)
                todo.extend(direct[other])
        allowed[layer] = seen
    return allowed


def violations(root, order, allowed):
    found = []
    for layer in order:
        top = os.path.join(root, layer)
        for folder, _, files in os.walk(top):
            for name in sorted(files):
                if not name.endswith(SOURCES):
                    continue
                path = os.path.join(folder, name)
                with open(path, errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m or "/" not in m.group(1):
                            continue
                        target = m.group(1).split("/")[0]
                        if target in allowed and target not in allowed[layer]:
                            rel = os.path.relpath(path, root)
                            found.append(f"{rel}:{number}: includes \"{m.group(1)}\": "
                                         f"{layer}/ may not include {target}/ (it does not build on it)")
    return found


# kr_add_layer(name ... DEPENDS a b ...) in the top CMakeLists.txt.
ADD_LAYER = re.compile(r"kr_add_layer\((\w+)([^)]*)\)")


def link_mismatches(root, direct):
    """The libraries link what the table says each layer builds on."""
    path = os.path.join(root, "CMakeLists.txt")
    if not os.path.exists(path):
        return []
    found = []
    with open(path) as f:
        for m in ADD_LAYER.finditer(f.read()):
            layer, rest = m.group(1), m.group(2).split()
            links = set(rest[rest.index("DEPENDS") + 1:]) if "DEPENDS" in rest else set()
            if layer in direct and links != set(direct[layer]):
                found.append(f"CMakeLists.txt: kr_{layer} links {' '.join(sorted(links)) or 'nothing'}, "
                             f"ARCHITECTURE.md says {layer}/ builds on {' '.join(sorted(direct[layer])) or 'nothing'}")
    return found


def check(root):
    order, direct = read_graph(root)
    found = link_mismatches(root, direct) + violations(root, order, reachable(direct))
    for v in found:
        print(v)
    print(f"layer check: {len(found)} include(s) against the layer graph" if found else
          f"layer check: every include keeps to the layer graph ({len(order)} layers)")
    return 1 if found else 0


def print_graph(root):
    order, direct = read_graph(root)
    allowed = reachable(direct)
    for layer in order:
        below = [o for o in order if o in allowed[layer] and o != layer]
        print(f"{layer}: {' '.join(below) if below else '-'}")
    return 0


# Each planted include breaks the graph in a different way: one upward (as a
# straight line would catch too) and two sideways, which only the graph does.
PLANTS = [
    ("engine/audio_master.h", "app/app_vst.h", "engine/ may not include app/"),
    ("modules/families.h", "document/cug.h", "modules/ may not include document/"),
    ("gui/panel/populate.cpp", "graph/graph_builder.h", "gui/ may not include graph/"),
]


def self_test(root):
    order, _ = read_graph(root)
    with tempfile.TemporaryDirectory() as tmp:
        shutil.copy(os.path.join(root, "ARCHITECTURE.md"), tmp)
        for layer in order:
            if os.path.isdir(os.path.join(root, layer)):
                shutil.copytree(os.path.join(root, layer), os.path.join(tmp, layer))
        if check_quietly(tmp).returncode != 0:
            print("self-test: the tree itself breaks the graph; run the check first")
            return 1
        for planted, include, message in PLANTS:
            path = os.path.join(tmp, planted)
            with open(path) as f:
                kept = f.read()
            with open(path, "a") as f:
                f.write(f'\n#include "{include}"\n')
            result = check_quietly(tmp)
            with open(path, "w") as f:
                f.write(kept)
            if result.returncode != 1 or planted not in result.stdout or message not in result.stdout:
                print(f"self-test: a planted include of {include} in {planted} was not reported:\n" + result.stdout)
                return 1
            print(f"self-test: a planted include of {include} in {planted} fails the check ({message})")
    return 0


def check_quietly(root):
    return subprocess.run([sys.executable, os.path.abspath(__file__), root], capture_output=True, text=True)


if __name__ == "__main__":
    args = sys.argv[1:]
    if args and args[0] in ("--self-test", "--graph"):
        where = os.path.abspath(args[1] if len(args) > 1 else os.path.join(os.path.dirname(__file__), ".."))
        sys.exit(self_test(where) if args[0] == "--self-test" else print_graph(where))
    sys.exit(check(os.path.abspath(args[0] if args else os.path.join(os.path.dirname(__file__), ".."))))
