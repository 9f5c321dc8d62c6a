""""Update drivers with Ovelant" on the sandbox with --site: the updater (a small program of the
tests' own, signed with the build's test certificate) fetched from a server on 127.0.0.1 and
started with " /update /flag=1"; a page served with 200 that leaves the copy as it
was, no temporary file and nothing started; an unsigned copy planted beside the program refused."""

import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "net"))
import harness  # noqa: E402
from pyravel_app import RESULTS_CLASS, Pyravel, wine_path  # noqa: E402
from test_servers import TestServers  # noqa: E402

SORRY = "Sorry, Ovelant could not be downloaded. Try again later."
NOT_SIGNED = "Ovelant.exe beside Pyravel is not signed by its maker, so it was not started."
DOWNLOAD_NOT_SIGNED = "The Ovelant.exe the server sent is not signed by its maker, so it was deleted."


class UpdaterRun:
    """A copy of the sandbox in a folder of its own, so that its Ovelant.exe is the test's."""

    def __init__(self, session):
        self.session = session
        self.folder = os.path.join(session.build_dir, "e2e-updater")
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.exe = os.path.join(self.folder, "pyravel-sandbox.exe")
        shutil.copy(os.path.join(session.build_dir, "pyravel-sandbox.exe"), self.exe)
        self.updater = os.path.join(self.folder, "Ovelant.exe")
        self.temporary = self.updater + ".download"
        self.started_file = os.path.join(self.folder, "started.txt")
        # The stand-in updater writes its command line here.
        session.env["PYRAVEL_ECHO_FILE"] = wine_path(self.started_file)
        with open(os.path.join(session.build_dir, "tests", "echo_exit.exe"), "rb") as f:
            self.program = f.read()

    def signed(self, padding, which="test"):
        """The program with padding after it, signed as the maker's stand-in is (or by "other": the same
        subject under a key nothing trusts)."""
        unsigned, signed = os.path.join(self.folder, "unsigned.bin"), os.path.join(self.folder, "signed.bin")
        with open(unsigned, "wb") as f:
            f.write(self.program + b"\0" * padding)
        signer = os.path.join(self.session.build_dir, "test_signer", which + "_")
        subprocess.run(["osslsigncode", "sign", "-certs", signer + "cert.pem", "-key", signer + "key.pem",
                        "-h", "sha256", "-in", unsigned, "-out", signed], check=True, capture_output=True)
        with open(signed, "rb") as f:
            data = f.read()
        os.remove(signed)
        return data

    def started_with(self, timeout=60):
        """The command line the updater was started with, or None when it was not started."""
        deadline = time.time() + timeout
        while not (os.path.exists(self.started_file) and os.path.getsize(self.started_file) > 0):
            if time.time() >= deadline:
                return None
            time.sleep(0.2)
        time.sleep(0.2)
        with open(self.started_file, "rb") as f:
            line = f.read().decode("utf-16-le")
        os.remove(self.started_file)
        return line

    def copy(self):
        with open(self.updater, "rb") as f:
            return f.read()


def run_command(app, notice=None):
    # A click makes the main window the active one again after the updater's own window.
    app.click_rect(app.list_rows()[0].rect)
    app.keys("ctrl+m")
    if notice:
        texts, buttons = app.box_texts(timeout=60)
        assert notice in texts and buttons == ["OK"], "box says %r %r, not %r" % (texts, buttons, notice)
        app.answer_box("OK")


def scenario(session):
    session.delete_settings()
    run = UpdaterRun(session)
    with TestServers(lifetime=800) as servers:
        servers.state["updater"] = run.signed(100000)
        app = Pyravel(session, exe=run.exe, args=["--site", "http://127.0.0.1:%d/" % servers.http_port])
        app.start_past_tip()
        run_command(app)
        line = run.started_with()
        assert line is not None and line.endswith(" /update /flag=1"), "started as %r" % line
        # (No temporary file is left by a finished download: WebDownload's transfers.)
        assert run.copy() == servers.state["updater"], "the copy differs from what was served"
        app.wait_window_of_class(RESULTS_CLASS, timeout=30, present=False)

        # A page served with 200 where the program should be never replaces the copy and starts
        # nothing (the progress window, error statuses, drops, cancels and sizes are the native and
        # Wine download tests').
        kept = run.copy()
        servers.state["updater_mode"] = "page"
        run_command(app, SORRY)
        assert run.copy() == kept, "the page changed the existing copy"
        assert not os.path.exists(run.temporary), "the page left a temporary file"
        assert run.started_with(timeout=1) is None, "the page started the updater"

        # A download under the maker's subject but another key is checked before the rename: it is
        # deleted, and the signed copy there was stays and starts.
        servers.state["updater_mode"] = "serve"
        servers.state["updater"] = run.signed(50000, "other")
        run_command(app, DOWNLOAD_NOT_SIGNED)
        assert run.copy() == kept and not os.path.exists(run.temporary), "the foreign download replaced the copy"
        line = run.started_with()
        assert line is not None and line.endswith(" /update /flag=1"), "the kept copy was not started: %r" % line

        # An unsigned copy of the size served, planted beside the program, is kept but refused.
        with open(run.updater, "wb") as f:
            f.write(run.program.ljust(len(servers.state["updater"]), b"\0"))
        run_command(app, NOT_SIGNED)
        assert run.started_with(timeout=2) is None, "the planted unsigned copy was started"
        app.close()
    shutil.rmtree(run.folder, ignore_errors=True)


if __name__ == "__main__":
    harness.run_test(scenario)
