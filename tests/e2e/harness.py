"""Drives the real Windows executables under Wine for end-to-end tests and `make run`.

A WineSession owns an X server (a private Xvfb unless the user's display is used), a Wine
prefix and the programs started in it; leaving the session stops every one of them.
"""

import argparse
import os
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PREFIX_SCRIPT = os.path.join(ROOT, "cmake", "wine-prefix.sh")
SETTINGS_KEY = r"HKCU\Software\Tolvenor\Pyravel"


class HarnessError(Exception):
    pass


class WineSession:
    def __init__(self, build_dir, prefix=None, use_display=False):
        self.build_dir = os.path.abspath(build_dir)
        self.prefix = prefix or os.environ.get("WINEPREFIX") or os.path.join(
            self.build_dir, "wineprefix-e2e")
        self.use_display = use_display
        self.screenshot_dir = os.path.join(self.build_dir, "screenshots")
        self.env = dict(os.environ)
        self._xvfb = None
        self._programs = []

    # Session lifetime -----------------------------------------------------------------------

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self):
        self.env.update(WINEPREFIX=self.prefix, WINEDEBUG="-all", WINEARCH="win64",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        if not self.use_display:
            self._start_xvfb()
        result = subprocess.run(["bash", PREFIX_SCRIPT], env=self.env, capture_output=True, text=True)
        if result.returncode != 0:
            raise HarnessError("could not create the Wine prefix: " + result.stderr.strip())
        # The prefix is made for a screen without window manager; on a desktop let the manager
        # frame the windows.
        managed = "Y" if self.use_display else "N"
        for value in ("Decorated", "Managed"):
            self.wine(["reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", value, "/t", "REG_SZ",
                       "/d", managed, "/f"])

    def stop(self):
        for proc in self._programs:
            if proc.poll() is None:
                proc.terminate()
        if "WINEPREFIX" in self.env:
            subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
            subprocess.run(["wineserver", "-w"], env=self.env, capture_output=True)
        if self._xvfb is not None:
            self._xvfb.terminate()
        for proc in self._programs + ([self._xvfb] if self._xvfb else []):
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        self._programs, self._xvfb = [], None

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd, "rb") as pipe:
            number = pipe.readline().decode().strip()  # once Xvfb listens, or nothing if it ends
        if not number:
            raise HarnessError("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number
        self.env.pop("XAUTHORITY", None)

    # Programs and the registry --------------------------------------------------------------

    def wine(self, args, timeout=120):
        """Runs a Wine command to its end and returns its result."""
        return subprocess.run(["wine"] + args, env=self.env, capture_output=True, text=True,
                              timeout=timeout)

    def launch(self, exe, args=()):
        proc = subprocess.Popen(["wine", exe] + list(args), env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self._programs.append(proc)
        return proc

    def delete_settings(self):
        self.wine(["reg", "delete", SETTINGS_KEY, "/f"])

    def setting(self, name):
        """A number the settings key holds, or None."""
        out = self.wine(["reg", "query", SETTINGS_KEY, "/v", name]).stdout
        match = re.search(r"REG_DWORD\s+0x([0-9a-fA-F]+)", out)
        return int(match.group(1), 16) if match else None

    def write_setting(self, name, value):
        self.wine(["reg", "add", SETTINGS_KEY, "/v", name, "/t", "REG_DWORD", "/d", str(value), "/f"])

    # Windows --------------------------------------------------------------------------------

    def _xdotool(self, args, check=False):
        result = subprocess.run(["xdotool"] + args, env=self.env, capture_output=True, text=True)
        if check and result.returncode != 0:
            raise HarnessError("xdotool %s failed: %s" % (" ".join(args), result.stderr.strip()))
        return result

    def wait_window(self, title, timeout=60, present=True):
        """The first window of that title once one is shown (or once none is, when present is false)."""
        search = ["search", "--onlyvisible", "--name", "^%s$" % re.escape(title)]
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = self._xdotool(search).stdout.split()
            if bool(found) == present:
                return found[0] if found else None
            time.sleep(0.25)
        raise HarnessError("window %r %s after %d s" % (
            title, "not shown" if present else "still shown", timeout))

    def press(self, *keys):
        """Sends key chords to whichever window has the keyboard focus now."""
        for key in keys:
            self._xdotool(["key", "--clearmodifiers", key], check=True)
            time.sleep(0.15)

    def type_text(self, text):
        """Types the text into whichever window has the keyboard focus now."""
        self._xdotool(["type", "--delay", "40", text], check=True)

    def click(self, x, y):
        self._xdotool(["mousemove", "--sync", str(x), str(y)], check=True)
        self._xdotool(["click", "1"], check=True)

    # Screenshots ----------------------------------------------------------------------------

    def screenshot(self, name):
        os.makedirs(self.screenshot_dir, exist_ok=True)
        path = os.path.join(self.screenshot_dir, name + ".png")
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True,
                       capture_output=True)
        return path

    def wait_still(self, timeout=30, interval=0.5):
        """Waits until two screenshots in a row are the same: the windows are done drawing."""
        previous = None
        deadline = time.time() + timeout
        while time.time() < deadline:
            shot = subprocess.run(["import", "-window", "root", "rgb:-"], env=self.env,
                                  capture_output=True).stdout
            if previous is not None and shot == previous:
                return True
            previous = shot
            time.sleep(interval)
        return False


def run_test(body):
    """Runs one scenario in a fresh session and turns its failure into a non-zero exit."""
    parser = argparse.ArgumentParser()  # ctest passes the build folder
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "windows"))
    args = parser.parse_args()
    # A timeout's SIGTERM unwinds the session like a failure, so nothing is left running.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        with WineSession(args.build) as session:
            body(session)
    except (HarnessError, AssertionError, subprocess.TimeoutExpired) as error:
        print("FAILED: %s" % error, file=sys.stderr)
        sys.exit(1)
    print("passed")
