#!/usr/bin/env python3
"""Checks every quoted #include of the product against the layer order: a
file may include its own layer and the layers below it, never one above.

usage: check_layers.py [CHECKOUT]            check a checkout (default: this one)
       check_layers.py --self-test [CHECKOUT] plant a wrong include in a copy and
                                              make sure the check catches it
Exit status 0 when every include keeps to the order, 1 otherwise."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

# Lowest first (ARCHITECTURE.md explains each). Folders not listed here
# (tests, bench, examples, ...) may include anything.
LAYERS = [
    "vst", "platform", "base", "formats", "dsp", "registry", "document", "engine", "patch",
    "graph", "modules", "gui", "host", "external", "app", "shell", "patchtext", "tools",
]
RANK = {name: i for i, name in enumerate(LAYERS)}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SOURCES = (".h", ".hpp", ".cpp", ".cc", ".c")


def violations(root):
    found = []
    for layer in LAYERS:
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
                        if target in RANK and RANK[target] > RANK[layer]:
                            rel = os.path.relpath(path, root)
                            found.append(f"{rel}:{number}: includes \"{m.group(1)}\": "
                                         f"{layer}/ may not include {target}/ (a layer above it)")
    return found


def check(root):
    found = violations(root)
    for v in found:
        print(v)
    print(f"layer check: {len(found)} include(s) against the layer order" if found else
          "layer check: every include keeps to the layer order")
    return 1 if found else 0


def self_test(root):
    with tempfile.TemporaryDirectory() as tmp:
        for layer in LAYERS:
            if os.path.isdir(os.path.join(root, layer)):
                shutil.copytree(os.path.join(root, layer), os.path.join(tmp, layer))
        if violations(tmp):
            print("self-test: the tree itself breaks the order; run the check first")
            return 1
        planted = os.path.join(tmp, "engine", "audio_master.h")
        with open(planted, "a") as f:
            f.write('\n#include "app/app_vst.h"\n')
        result = subprocess.run([sys.executable, os.path.abspath(__file__), tmp], capture_output=True, text=True)
        expected = 'engine/audio_master.h'
        if result.returncode != 1 or expected not in result.stdout or "engine/ may not include app/" not in result.stdout:
            print("self-test: a planted include of app/ in engine/ was not reported:\n" + result.stdout)
            return 1
    print("self-test: a planted include of app/ in engine/ fails the check, naming the file and the layers")
    return 0


if __name__ == "__main__":
    args = sys.argv[1:]
    if args and args[0] == "--self-test":
        sys.exit(self_test(os.path.abspath(args[1] if len(args) > 1 else ".")))
    sys.exit(check(os.path.abspath(args[0] if args else os.path.join(os.path.dirname(__file__), ".."))))
