"""Esc and Alt+F4 at a question give its negative answer, as a person sees it: every device ticked
(Ctrl+A), "Disable checked" (Ctrl+Q), then Esc at the question disables nothing, opens no results
dialog and leaves the list as it was; Alt+F4 on the question does the same and the program stays
open. Esc at the first-run question answers it too."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import BOX_CLASS, RESULTS_CLASS, TIP_CLASS, Pyravel  # noqa: E402

ASK_DISABLE = "Are you sure you want to disable the selected device(s)?"


def list_state(app):
    return [(row.cells[0], row.cells[1], row.checked) for row in app.list_rows()]


def ask_disable_and(app, session, key):
    """Ctrl+Q, then `key` to the question, which has the focus."""
    app.keys("ctrl+q")
    texts, buttons = app.box_texts()
    assert ASK_DISABLE in texts, "question shown: %r" % texts
    assert buttons == ["Yes", "No"], buttons
    session.press(key)
    app.wait_window_of_class(BOX_CLASS, timeout=15, present=False)


def scenario(session):
    session.delete_settings()
    app = Pyravel(session)
    app.start()
    # The first-run question: Esc is No, the start goes on to the tip.
    app.box_texts()
    session.press("Escape")
    app.wait_window_of_class(TIP_CLASS)
    app.click_rect(app.list_rows()[0].rect)
    app.wait_window_of_class(TIP_CLASS, present=False)

    app.keys("ctrl+a")
    app.wait_for("every row ticked", lambda: all(row.checked for row in app.list_rows()), timeout=15)
    before = list_state(app)
    assert any(status == "Working properly" for _, status, _ in before), "nothing to disable"

    for key in ("Escape", "alt+F4"):
        ask_disable_and(app, session, key)
        assert app.window_of_class(RESULTS_CLASS) is None, "%s opened the results dialog" % key
        after = list_state(app)
        assert after == before, "%s changed the list: %r" % (key, [
            (a, b) for a, b in zip(before, after) if a != b][:5])
        assert session.find_windows("Pyravel"), "%s at the question ended the program" % key

    app.close()


if __name__ == "__main__":
    harness.run_test(scenario)
