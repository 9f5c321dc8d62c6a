#!/usr/bin/env python3
"""Start-up and list-view figures under Wine, in one run on one warm prefix:

    startup_vs_bare_window <ratio>        median launch-to-visible-window time of the sandbox over
                                          that of a bare window program of our own, runs alternating
    list_filled_after_window_ms <ms>      median time from the visible window to the painted list
    startup_144dpi_vs_96dpi <ratio>       median launch-to-painted-list time of the sandbox with the
                                          prefix at 144 DPI over that at 96, runs alternating
    list_view_build_10000_ms <ms>         10,000 simulated devices built into the real list view

Each program writes the Unix time of its own marks; the launch time is taken here just before
Wine is asked to start it, from the same clock. With -v every start-up step's median is printed.
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests", "e2e"))
import harness  # noqa: E402


def marks_of(session, exe, args, timeout=120):
    """Starts exe and returns (launch time, {step: Unix ms}) once it has ended."""
    with tempfile.TemporaryDirectory(dir=session.build_dir) as folder:
        path = os.path.join(folder, "times.txt")
        windows_path = subprocess.run(["winepath", "-w", path], env=session.env, capture_output=True,
                                      text=True).stdout.strip()
        launched = time.time() * 1000.0
        subprocess.run(["wine", exe] + args + [windows_path], env=session.env, timeout=timeout,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not os.path.exists(path):
            raise harness.HarnessError("%s wrote no times" % os.path.basename(exe))
        with open(path) as f:
            marks = {}
            for line in f:
                step, value = line.split("\t")
                marks[step] = float(value)
        return launched, marks


def set_dpi(session, dpi):
    """The prefix's display scale for the programs started from now on (None: its default)."""
    key = r"HKCU\Control Panel\Desktop"
    if dpi is None:
        session.wine(["reg", "delete", key, "/v", "LogPixels", "/f"])
    else:
        session.wine(["reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi),
                      "/f"])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(os.path.dirname(HERE), "build", "windows"))
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("-v", "--verbose", action="store_true")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    sandbox = os.path.join(build, "pyravel-sandbox.exe")
    bare = os.path.join(build, "bench", "bare_window.exe")
    list_build = os.path.join(build, "bench", "list_view_build.exe")
    fixture = os.path.join(os.path.dirname(HERE), "sandbox", "fixture", "pc.json")

    with harness.WineSession(build, prefix=os.path.join(build, "wineprefix-bench")) as session:
        # One start of each warms the prefix and the file cache; it is not counted.
        marks_of(session, bare, [])
        marks_of(session, sandbox, ["--startup-times"])
        bare_ms, bare_entry_ms, window_ms, fill_ms = [], [], [], []
        steps = {}
        for _ in range(args.runs):
            launched, marks = marks_of(session, bare, [])
            bare_ms.append(marks["window_shown"] - launched)
            bare_entry_ms.append(marks["entry"] - launched)
            launched, marks = marks_of(session, sandbox, ["--startup-times"])
            window_ms.append(marks["window_shown"] - launched)
            fill_ms.append(marks["list_filled"] - marks["window_shown"])
            previous = launched
            for step, at in sorted(marks.items(), key=lambda item: item[1]):
                steps.setdefault(step, []).append(at - previous)
                previous = at
        if args.verbose:
            print("bare_window_ms %.0f (entry after %.0f)" % (statistics.median(bare_ms),
                                                             statistics.median(bare_entry_ms)))
            print("sandbox_window_ms %.0f" % statistics.median(window_ms))
            for step, took in sorted(steps.items(), key=lambda item: statistics.median(
                    [v for v in item[1]])):
                print("  step %-20s %.1f ms" % (step, statistics.median(took)))
        print("startup_vs_bare_window %.2f" % (statistics.median(window_ms) /
                                               statistics.median(bare_ms)))
        print("list_filled_after_window_ms %.0f" % statistics.median(fill_ms))
        # The same start at 150 % and at 100 %: the same steps, only the drawing is larger.
        filled = {96: [], 144: []}
        try:
            for dpi in (144, 96):
                set_dpi(session, dpi)
                marks_of(session, sandbox, ["--startup-times"])
            for _ in range(args.runs):
                for dpi in (96, 144):
                    set_dpi(session, dpi)
                    launched, marks = marks_of(session, sandbox, ["--startup-times"])
                    filled[dpi].append(marks["list_filled"] - launched)
        finally:
            set_dpi(session, None)
        print("startup_144dpi_vs_96dpi %.2f" % (statistics.median(filled[144]) /
                                                statistics.median(filled[96])))
        fixture_w = subprocess.run(["winepath", "-w", fixture], env=session.env,
                                   capture_output=True, text=True).stdout.strip()
        result = subprocess.run(["wine", list_build, fixture_w, "10000"], env=session.env,
                                capture_output=True, text=True, timeout=600)
        if result.returncode != 0:
            raise harness.HarnessError("list_view_build: " + result.stderr.strip())
        print(result.stdout.strip())


if __name__ == "__main__":
    try:
        main()
    except harness.HarnessError as error:
        print("FAILED: %s" % error, file=sys.stderr)
        sys.exit(1)
