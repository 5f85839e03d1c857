#!/usr/bin/env python3
"""Checks that the product's code lives in namespace kr: at the top level of
every source file of a layer there may be only `namespace kr...` blocks,
preprocessor lines and forward declarations of other libraries' types. The
exceptions are the entries the system itself must export at the top level.
Also checks the class names: PascalCase, the family form of a module class
(`ug_...`, `ui_...`), or a name listed in given_names.txt.

usage: check_names.py [CHECKOUT]   exit status 0 when every file keeps to it"""
import os
import re
import sys

SOURCES = (".h", ".cpp")
# Entry points the loader or the C++ runtime look for by their global names.
TOP_LEVEL_ENTRIES = {"shell/entry/plugin_main.cpp", "tools/main.cpp", "tools/allocation_hook.cpp"}
# What may stand outside: a foreign type named ahead (`struct kiss_fftr_state;`),
# a foreign namespace's forward declaration, the process environment.
FOREIGN = re.compile(r"(struct|class)\s+\w+\s*;|namespace\s+(?!kr\b)\w+\s*\{\s*class\s+\w+\s*;\s*\}|"
                     r"extern\s+char\s*\*\*\s*environ\s*;")
NAMESPACE_KR = re.compile(r"namespace\s+kr(::[\w:]+)?\s*\{")


def code_only(text):
    """The text with comments, literals and preprocessor lines blanked out."""
    text = re.sub(r"/\*.*?\*/", lambda m: re.sub(r"[^\n]", " ", m.group()), text, flags=re.S)
    text = re.sub(r'R"(\w*)\(.*?\)\1"', '""', text, flags=re.S)
    text = re.sub(r'"(\\.|[^"\\\n])*"|\'(\\.|[^\'\\\n])*\'', '""', text)
    text = re.sub(r"//[^\n]*", "", text)
    return re.sub(r"^[ \t]*#(\\\n|[^\n])*", "", text, flags=re.M)


def top_level_outsiders(text):
    code, depth, i, outside = code_only(text), 0, 0, []
    while i < len(code):
        if depth == 0 and not code[i].isspace():
            m = NAMESPACE_KR.match(code, i) or FOREIGN.match(code, i)
            if m:
                if m.re is NAMESPACE_KR:
                    depth, i = 1, m.end()
                else:
                    i = m.end()
                continue
            outside.append(code.count("\n", 0, i) + 1)
            i = code.find("\n", i) if "\n" in code[i:] else len(code)
            continue
        depth += {"{": 1, "}": -1}.get(code[i], 0)
        i += 1
    return outside


CLASS_DEFINITION = re.compile(r"\b(?:class|struct)\s+(\w+)(?:\s+final)?\s*[:{]")
PASCAL_CASE = re.compile(r"[A-Z][A-Za-z0-9]*$")
FAMILY_FORM = re.compile(r"u[gi]_\w+$")
STANDARD_MEMBER_TYPES = {"iterator"}


def misnamed_classes(text, given):
    names = CLASS_DEFINITION.findall(code_only(text))
    return [n for n in names if not (PASCAL_CASE.match(n) or FAMILY_FORM.match(n) or n in given
                                     or n in STANDARD_MEMBER_TYPES)]


def given_names(root):
    path = os.path.join(root, "scripts", "given_names.txt")
    lines = open(path, encoding="utf-8").read().splitlines()
    return {line.strip() for line in lines if line.strip() and not line.startswith("#")}


def main(root):
    arch = open(os.path.join(root, "ARCHITECTURE.md"), encoding="utf-8").read()
    layers = re.findall(r"^\|\s*`([a-z]+)/`\s*\|", arch, flags=re.M)
    found = []
    given = given_names(root)
    for layer in layers:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for name in sorted(files):
                path = os.path.join(folder, name)
                rel = os.path.relpath(path, root)
                if not name.endswith(SOURCES) or rel in TOP_LEVEL_ENTRIES:
                    continue
                text = open(path, encoding="utf-8").read()
                lines = top_level_outsiders(text)
                if lines:
                    found.append(f"{rel}:{lines[0]}: code outside namespace kr")
                for name in misnamed_classes(text, given):
                    found.append(f"{rel}: class {name} is neither PascalCase, a module family's form nor a given name")
    for f in found:
        print(f)
    print(f"name check: {len(found)} fault(s)" if found else
          f"name check: every file of {len(layers)} layers keeps its code in namespace kr, its class names in form")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))))
