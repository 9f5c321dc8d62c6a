#!/usr/bin/env python3
"""The layer check: which includes it lets through and which it reports, on small trees."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "cmake"))
import check_layers  # noqa: E402

# (including file, include line, reported): one row per branch of the check; which layer may
# include which is the check's own table, a decision rather than a fault.
CASES = [
    ("devices/a.cpp", '#include "base/wide_text.h"', False),
    ("devices/a.cpp", '#include "devices/b.h"', False),
    ("base/a.cpp", '#include "devices/guid.h"', True),
    ("app/a.cpp", '#include "sandbox/simulated_platform.h"', True),
    ("app/entry/a.cpp", '#include "sandbox/simulated_platform.h"', True),
    ("sandbox/entry/a.cpp", '#include "sandbox/simulated_platform.h"', False),
    ("sandbox/entry/a.cpp", '#include "app/win32/main_window.h"', False),
    # Portable code stays off Windows-only headers; win32/ folders may use them.
    ("devices/a.cpp", '#include "base/win32/process.h"', True),
    ("devices/win32/a.cpp", '#include "base/win32/process.h"', False),
    # A header beside the file belongs to the file's own folder.
    ("base/win32/a.cpp", '#include "wchar.h"', False),
    ("base/a.cpp", '  #  include "ui/event_codes.h"', True),
    ("base/a.cpp", '#include <windows.h>', False),
    ("base/a.cpp", '// #include "ui/event_codes.h"', False),
]


class CheckLayersTest(unittest.TestCase):
    def test_each_include_is_judged_by_direction(self):
        for source, line, reported in CASES:
            with self.subTest(source=source, line=line), tempfile.TemporaryDirectory() as root:
                path = os.path.join(root, source)
                os.makedirs(os.path.dirname(path))
                with open(path, "w") as f:
                    f.write("// first line\n" + line + "\n")
                found = check_layers.violations(root)
                self.assertEqual(found, [(source, 2, line.split('"')[1])] if reported else [])

    def test_every_fault_of_a_tree_is_printed_with_file_and_line(self):
        with tempfile.TemporaryDirectory() as root:
            for source, text in (("ui/x.h", '#include "base/a.h"\n#include "devices/b.h"\n'),
                                 ("base/y.cpp", '#include "app/c.h"\n'),
                                 ("base/z.txt", '#include "app/c.h"\n')):
                os.makedirs(os.path.join(root, os.path.dirname(source)), exist_ok=True)
                with open(os.path.join(root, source), "w") as f:
                    f.write(text)
            self.assertEqual(check_layers.violations(root),
                             [("base/y.cpp", 1, "app/c.h"), ("ui/x.h", 2, "devices/b.h")])


if __name__ == "__main__":
    unittest.main()
