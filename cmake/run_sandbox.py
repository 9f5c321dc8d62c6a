#!/usr/bin/env python3
"""Starts the sandbox build under Wine for `make run`.

With a display it opens on the user's desktop; without one it runs inside a private Xvfb, saves a
screenshot once the device list is drawn, prints where, and keeps running until interrupted.
"""

import os
import signal
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import harness  # noqa: E402
import pyravel_app  # noqa: E402

TITLE = "Pyravel"


def main():
    if len(sys.argv) != 2:
        print("usage: run_sandbox.py <pyravel-sandbox.exe>", file=sys.stderr)
        return 2
    exe = os.path.abspath(sys.argv[1])
    build_dir = os.path.dirname(exe)
    use_display = bool(os.environ.get("DISPLAY"))
    prefix = os.path.join(build_dir, "wineprefix-run")
    # Ctrl+C and a terminating signal both end the session cleanly.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    try:
        with harness.WineSession(build_dir, prefix=prefix, use_display=use_display) as session:
            program = session.launch(exe)
            if use_display:
                print("make run: Pyravel is running on display %s; close its window to end."
                      % os.environ["DISPLAY"])
                program.wait()
                return 0
            session.wait_window(TITLE, timeout=120)
            # The first-run question or the start-up tip comes once the list is filled; on a new
            # prefix the window can stand still with an empty list for a while before that.
            app = pyravel_app.Pyravel(session, exe)
            deadline = time.time() + 60
            while time.time() < deadline and not any(
                    w.cls in (pyravel_app.BOX_CLASS, pyravel_app.TIP_CLASS) for w in app.windows()):
                time.sleep(0.5)
            session.wait_still(timeout=60)
            path = session.screenshot("make-run")
            print("make run: no display; Pyravel runs under Xvfb (%s)." % session.env["DISPLAY"])
            print("make run: screenshot saved to %s" % path)
            print("make run: press Ctrl+C to stop.")
            sys.stdout.flush()
            program.wait()
            return 0
    except KeyboardInterrupt:
        print("\nmake run: stopped.")
        return 0
    except harness.HarnessError as error:
        print("make run: %s" % error, file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
