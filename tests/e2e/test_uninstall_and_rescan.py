"""Uninstalling on the simulated PC as a user: a ticked device uninstalled with Ctrl+X leaves the
list and comes back with "Scan for hardware changes" (Ctrl+F5); "Uninstall all devices not present"
(Alt+P) removes the fixture's ghosts and says how many in its final text."""

import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import Pyravel  # noqa: E402
from test_device_state import (RESULTS_CLASS, answer_question, pick_targets,  # noqa: E402
                               results_dialog_finished)

ASK_ONE = "Are you sure you want to uninstall the selected device?"
ASK_GHOSTS = "Are you sure you want to uninstall all devices not present?"
FIXTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "sandbox", "fixture", "pc.json")


def finished_dialog(app):
    dialog = app.wait_for("the finished results dialog", lambda: results_dialog_finished(app))
    status = [c["text"] for c in dialog.children if c["class"] == "Edit"]
    lines = [line.cells[1] for line in app.list_rows(RESULTS_CLASS)]
    return dialog, status, lines


def close_dialog(app, dialog):
    app.click_child(dialog, "Button", "OK")
    app.wait_window_of_class(RESULTS_CLASS, present=False)


def listed_names(app):
    return [row.cells[0] for row in app.list_rows()]


def scenario(session):
    session.delete_settings()
    app = Pyravel(session)
    app.start()
    app.answer_box("No")
    app.wait_window_of_class("_WndMsgTipClass")
    app.click_rect(app.list_rows()[0].rect)
    app.wait_window_of_class("_WndMsgTipClass", present=False)

    target, _, _ = pick_targets(app)
    name = target.cells[0]
    # One ticked row.
    app.click_rect(target.rect)
    app.wait_for("row selected", lambda: [r.index for r in app.selected_rows()] == [target.index], timeout=10)
    app.keys("space")
    app.wait_for("the row ticked", lambda: [r.cells[0] for r in app.list_rows() if r.checked] == [name], timeout=10)

    app.keys("ctrl+x")
    answer_question(app, ASK_ONE)
    dialog, status, lines = finished_dialog(app)
    assert status == ["Operation complete. Results are displayed in the list above."], status
    assert lines == [name + " was successfully uninstalled."], lines
    session.wait_still()
    print("screenshot: " + session.screenshot("results-uninstall-one"))
    close_dialog(app, dialog)
    app.wait_for("the device gone from the list", lambda: name not in listed_names(app))
    # No reboot question: this device needs no restart.
    assert app.window_of_class("_WINDOW_MsgBoxClass") is None, "an unexpected box is open"

    # Ctrl+F5 brings the present hardware back.
    app.keys("ctrl+F5")
    app.wait_for("the device back after the scan", lambda: name in listed_names(app), timeout=60)
    assert app.window_of_class(RESULTS_CLASS) is None, "the scan window stayed open"

    # Every device not present, counted in the final text.
    with open(FIXTURE, encoding="utf-8") as f:
        ghosts = sum(1 for d in json.load(f)["devices"] if d.get("present", True) is False)
    assert ghosts > 1, ghosts
    app.keys("alt+p")
    answer_question(app, ASK_GHOSTS)
    dialog, status, lines = finished_dialog(app)
    assert status == ["Operation complete. %d devices uninstalled." % ghosts], status
    assert len(lines) == ghosts and all(line.endswith(" was successfully uninstalled.") for line in lines), lines
    session.wait_still()
    print("screenshot: " + session.screenshot("results-uninstall-not-present"))
    close_dialog(app, dialog)

    # Done again, nothing is left to remove.
    app.keys("alt+p")
    answer_question(app, ASK_GHOSTS)
    dialog, status, lines = finished_dialog(app)
    assert status == ["Operation complete. 0 devices uninstalled."], status
    assert lines == [], lines
    close_dialog(app, dialog)
    app.close()


if __name__ == "__main__":
    harness.run_test(scenario)
