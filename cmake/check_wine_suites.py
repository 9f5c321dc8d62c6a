#!/usr/bin/env python3
"""Fails when the Windows test binary holds a suite that no per-file ctest entry runs."""
import subprocess
import sys

runner, exe, *covered = sys.argv[1:]
out = subprocess.run([runner, exe, "--gtest_list_tests"], capture_output=True, text=True,
                     timeout=600)
if out.returncode != 0:
    print(out.stdout, out.stderr)
    sys.exit(1)
suites = {line.split(".")[0] for line in out.stdout.splitlines()
          if line and not line.startswith(" ") and line.endswith(".")}
suites = {s.split("/")[-1] for s in suites}
missing = sorted(suites - set(covered))
if missing or not suites:
    print("suites no ctest entry runs:", " ".join(missing) or "(no suites listed at all)")
    sys.exit(1)
print(f"{len(suites)} suites, all run by a ctest entry")
