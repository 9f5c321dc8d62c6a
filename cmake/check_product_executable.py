#!/usr/bin/env python3
"""Pyravel.exe carries neither the simulated PC nor the JSON library it is loaded with.

Reads the executables' bytes for the names the compiler leaves of those classes (type names of
classes with virtual functions, exception types). The sandbox executable links them, so each
name must be found there: otherwise the check could not see them in the product either.
usage: check_product_executable.py Pyravel.exe pyravel-sandbox.exe
"""
import sys

MARKERS = [b"SimulatedPlatform", b"SimulatedPc", b"nlohmann"]


def main(argv):
    product, sandbox = (open(p, "rb").read() for p in argv[1:3])
    failed = False
    for marker in MARKERS:
        name = marker.decode()
        if marker not in sandbox:
            print(f"{argv[2]}: no trace of {name}; the check cannot see it")
            failed = True
        if marker in product:
            print(f"{argv[1]}: carries {name}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
