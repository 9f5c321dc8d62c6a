#!/usr/bin/env python3
"""Fails when an executable imports a DLL outside the allowed list.

The program runs as administrator. Windows takes the known DLLs (the values of
HKLM\\System\\CurrentControlSet\\Control\\Session Manager\\KnownDLLs) only from System32, and
comctl32 through the manifest's side-by-side binding; any other static import is searched for in
the executable's own folder first, where anyone who can write a file could plant it.

usage: check_imports.py OBJDUMP EXE...
"""
import re
import subprocess
import sys

# The known DLLs of Windows 10 and 11 (x64), lower case, plus ntdll (always loaded first) and
# comctl32 (bound by the manifest).
ALLOWED = {
    "advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll", "difxapi.dll",
    "gdi32.dll", "gdiplus.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll", "msctf.dll",
    "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll",
    "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shcore.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "wldap32.dll", "ws2_32.dll",
    "ntdll.dll", "comctl32.dll",
}


def imported_dlls(objdump, exe):
    out = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    return [m.group(1).lower() for m in re.finditer(r"^\s*DLL Name:\s*(\S+)", out, re.M)]


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    objdump, exes = argv[1], argv[2:]
    failed = False
    for exe in exes:
        dlls = imported_dlls(objdump, exe)
        if not dlls:
            print(f"{exe}: no import table found")
            failed = True
            continue
        outside = sorted(set(dlls) - ALLOWED)
        print(f"{exe}: {', '.join(sorted(set(dlls)))}")
        if outside:
            print(f"{exe}: imports DLLs that may be searched for beside it: {', '.join(outside)}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
