"""A first start on a fresh profile: the window, the list of the simulated PC, the first-run
question, then the startup tip, which a click closes."""

import collections
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import TIP_CLASS, Pyravel, fixture_listed_names  # noqa: E402

FIRST_RUN = ("You seem to be using Pyravel for the first time in this PC    "
             "Do you want to create a driver backup?")


def scenario(session):
    session.delete_settings()
    app = Pyravel(session)
    app.start()

    texts, buttons = app.box_texts(timeout=60)
    assert FIRST_RUN in texts and buttons == ["Yes", "No"], "first-run question: %r %r" % (texts, buttons)

    # The list is filled before the question is asked.
    count, grouped, rows = app.rows()
    listed = collections.Counter(cells[0] for _, cells in rows)
    expected = fixture_listed_names()
    assert count == sum(expected.values()), "%d rows, fixture lists %d" % (
        count, sum(expected.values()))
    assert listed == expected, "rows differ from the fixture: missing %r, extra %r" % (
        expected - listed, listed - expected)
    assert all(cells[1] != "Not present" for _, cells in rows), "a not-present device is listed"
    session.wait_still()
    session.screenshot("message-box-first-run")

    app.answer_box("No")
    tip = app.wait_window_of_class(TIP_CLASS, timeout=30)
    main = app.main_window()
    assert tip.rect[0] >= main.rect[0] and tip.rect[1] >= main.rect[1], "tip not over the window"
    session.wait_still()
    session.screenshot("startup-tip")

    # Moving the mouse leaves the tip; a click on the list closes it.
    lx, ly, lw, lh = main.child("SysListView32", "")["rect"]
    session._xdotool(["mousemove", "--sync", str(lx + lw // 2), str(ly + lh // 2)])
    assert app.window_of_class(TIP_CLASS) is not None, "mouse movement closed the tip"
    app.click_rect((lx + 200, ly + 100, 1, 1))
    app.wait_window_of_class(TIP_CLASS, timeout=15, present=False)
    session.wait_still()
    session.screenshot("main-window")

    # What the sandbox keeps on disk lives in one folder of its own.
    users = os.path.join(session.prefix, "drive_c", "users")
    folders = [os.path.join(users, u, "AppData", "Local", "Pyravel Sandbox", "DriverStore")
               for u in os.listdir(users)]
    assert any(os.path.isdir(f) for f in folders), "no sandbox folder in %r" % folders


if __name__ == "__main__":
    harness.run_test(scenario)
