#!/usr/bin/env python3
"""Fails on an #include "..." that goes against the layer directions; prints file:line of each.

A file's layer is its top folder. A layer may include itself and the layers below it; the
executables' entry folders may include every layer of their program. Portable code (outside
win32/ and entry/ folders) may not include a Windows-only header.
"""
import os
import re
import sys

# What each layer may include besides itself.
BELOW = {
    "base": set(),
    "devices": {"base"},
    "driverstore": {"devices", "base"},
    "web": {"base"},
    "operations": {"devices", "driverstore", "web", "base"},
    "ui": {"base"},
    "app": {"operations", "driverstore", "web", "devices", "ui", "base", "resources"},
    "sandbox": {"devices", "base"},
    "resources": set(),
}
# The entry folders build executables out of every layer of their program.
ENTRY = {
    "app/entry": BELOW["app"] | {"app"},
    "sandbox/entry": BELOW["app"] | {"app", "sandbox"},
}
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def allowed(source, target):
    """Whether the project file source (relative, '/'-separated) may include target."""
    layer = source.split("/", 1)[0]
    to_layer = target.split("/", 1)[0]
    if "/win32/" in "/" + target and not any(
            part in ("win32", "entry") for part in source.split("/")[:-1]):
        return False
    for folder, may in ENTRY.items():
        if source.startswith(folder + "/"):
            return to_layer in may
    return to_layer == layer or to_layer in BELOW.get(layer, set())


def violations(root):
    """(file, line, included) for every include of a layer folder under root that breaks a rule."""
    found = []
    for layer in sorted(BELOW):
        for folder, _, files in sorted(os.walk(os.path.join(root, layer))):
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(folder, name)
                source = os.path.relpath(path, root).replace(os.sep, "/")
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, text in enumerate(f, 1):
                        m = INCLUDE.match(text)
                        if not m:
                            continue
                        target = m.group(1)
                        if target.split("/", 1)[0] not in BELOW:
                            # Beside the file ("wchar.h") or outside the project: its own folder.
                            target = os.path.relpath(os.path.join(folder, target), root)
                            target = target.replace(os.sep, "/")
                        if not allowed(source, target):
                            found.append((source, number, m.group(1)))
    return found


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    bad = violations(root)
    for source, number, target in bad:
        print(f"{source}:{number}: includes \"{target}\" against the layer directions")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
