""""Update drivers with Ovelant" on the sandbox with --site: the updater (a small program of the
tests' own) fetched from a server on 127.0.0.1 and started with " /update /flag=1", progress
shown, a second run that keeps the copy whose size matches, and a 404, a dropped connection and a
cancel that leave the existing copy as it was and no temporary file; offline with and without a
copy; and without --site one message that no site is set."""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "net"))
import harness  # noqa: E402
from pyravel_app import BOX_CLASS, RESULTS_CLASS, TIP_CLASS, Pyravel, wine_path  # noqa: E402
from test_servers import TestServers  # noqa: E402

SORRY = "Sorry, Ovelant could not be downloaded. Try again later."
NO_SITE = "No site is set to fetch Ovelant from. Start the sandbox with --site URL to serve it."
UPDATING = "Updating Ovelant..."


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

    def start(self, *args):
        app = Pyravel(self.session, exe=self.exe, args=list(args))
        app.start()
        settle_start(app)
        return app

    def started_with(self, timeout=60):
        """The command line the updater was started with, or None when it was not started."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            if os.path.exists(self.started_file) and os.path.getsize(self.started_file) > 0:
                time.sleep(0.2)
                with open(self.started_file, "rb") as f:
                    return f.read().decode("utf-16-le")
            time.sleep(0.2)
        return None

    def copy(self):
        with open(self.updater, "rb") as f:
            return f.read()


def settle_start(app):
    """Answers the first-run question and closes the start-up tip, whichever shows up."""
    deadline = time.time() + 20
    while time.time() < deadline:
        if app.window_of_class(BOX_CLASS) is not None:
            app.answer_box("No")
        elif app.window_of_class(TIP_CLASS) is not None:
            app.click_rect(app.list_rows()[0].rect)
            app.wait_window_of_class(TIP_CLASS, present=False)
            return
        time.sleep(0.3)


def run_command(app):
    # A click makes the main window the active one again after the updater's own window.
    app.click_rect(app.list_rows()[0].rect)
    app.keys("ctrl+m")


def expect_notice(app, text):
    texts, buttons = app.box_texts(timeout=60)
    assert text in texts, "box says %r, not %r" % (texts, text)
    assert buttons == ["OK"], buttons
    app.answer_box("OK")


def updater_requests(servers):
    return [r for r in servers.state.get("requests", []) if r[1] == "/ovelant/Ovelant.exe"]


def scenario(session):
    session.delete_settings()
    run = UpdaterRun(session)
    with TestServers(lifetime=800) as servers:
        site = "http://127.0.0.1:%d" % servers.http_port
        # Padding after the program keeps it runnable and lets each stage serve a new size.
        servers.state["updater"] = run.program + b"\0" * 100000
        servers.state["updater_mode"] = "slow"

        app = run.start("--site", site + "/")
        run_command(app)
        progress = app.wait_window_of_class(RESULTS_CLASS, timeout=30)
        statics = [c["text"] for c in progress.children if c["text"]]
        assert UPDATING in statics, "progress window shows %r" % statics
        session.screenshot("updater-progress")
        line = run.started_with()
        assert line is not None, "the updater was not started"
        assert line.endswith(" /update /flag=1"), "started as %r" % line
        assert run.copy() == servers.state["updater"], "the copy differs from what was served"
        assert not os.path.exists(run.temporary), "a temporary file was left"
        app.wait_window_of_class(RESULTS_CLASS, timeout=30, present=False)

        # Second run: the copy has the server's size and stays as it is.
        os.remove(run.started_file)
        os.utime(run.updater, (1000000000, 1000000000))
        servers.state["updater_mode"] = "serve"
        run_command(app)
        assert run.started_with() is not None, "the kept copy was not started; windows: %r; requests: %r" % (
            [(w.cls, w.title) for w in app.windows()], updater_requests(servers)[-3:])
        assert os.path.getmtime(run.updater) == 1000000000, "the matching copy was fetched again"

        # A 404, a dropped connection and a cancel leave the copy and no temporary file.
        kept = run.copy()
        os.remove(run.started_file)
        for mode in ("404", "drop", "cancel"):
            servers.state["updater"] = run.program + b"\0" * 2000000
            servers.state["updater_mode"] = "slow" if mode == "cancel" else mode
            run_command(app)
            if mode == "cancel":
                progress = app.wait_window_of_class(RESULTS_CLASS, timeout=30)
                app.wait_for("the transfer under way", lambda: os.path.exists(run.temporary), timeout=30)
                app.click_child(progress, "Button", "Cancel")
            expect_notice(app, SORRY)
            assert run.copy() == kept, "%s changed the existing copy" % mode
            assert not os.path.exists(run.temporary), "%s left a temporary file" % mode
            assert not os.path.exists(run.started_file), "%s started the updater" % mode
        app.close()

        # Offline: the copy there is gets started without a request; with none, the notice.
        before = len(updater_requests(servers))
        app = run.start("--site", site, "--offline")
        run_command(app)
        assert run.started_with() is not None, "offline, the existing copy was not started"
        os.remove(run.started_file)
        os.remove(run.updater)
        run_command(app)
        expect_notice(app, SORRY)
        assert len(updater_requests(servers)) == before, "the offline sandbox reached the server"
        app.close()

    # Without --site the sandbox says so once and touches no network.
    app = run.start()
    run_command(app)
    expect_notice(app, NO_SITE)
    assert app.window_of_class(RESULTS_CLASS) is None
    app.close()
    shutil.rmtree(run.folder, ignore_errors=True)


if __name__ == "__main__":
    harness.run_test(scenario)
