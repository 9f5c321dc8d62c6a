"""Uninstalling on the simulated PC as a user: a ticked device uninstalled with Ctrl+X leaves the
list and comes back with "Scan for hardware changes" (Ctrl+F5); "Uninstall all devices not present"
(Alt+P) removes the fixture's ghosts and says how many in its final text."""

import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import DONE, FIXTURE, RESULTS_CLASS, Pyravel  # noqa: E402

ASK_ONE = "Are you sure you want to uninstall the selected device?"
ASK_GHOSTS = "Are you sure you want to uninstall all devices not present?"


def scenario(session):
    session.delete_settings()
    app = Pyravel(session)
    app.start_past_tip()
    target, _, _ = app.pick_targets()
    name = target.cells[0]
    app.tick_rows([target])

    app.keys("ctrl+x")
    app.answer_question(ASK_ONE)
    status, lines = app.results("results-uninstall-one")
    assert status == [DONE], status
    assert lines == [name + " was successfully uninstalled."], lines
    app.wait_for("the device gone from the list", lambda: name not in app.listed_names())
    # No reboot question: this device needs no restart.
    assert app.no_box_for(2), "an unexpected box is open"

    # Ctrl+F5 brings the present hardware back.
    app.keys("ctrl+F5")
    app.wait_for("the device back after the scan", lambda: name in app.listed_names(), timeout=60)
    assert app.window_of_class(RESULTS_CLASS) is None, "the scan window stayed open"

    # Every device not present, counted in the final text; done again, nothing is left.
    with open(FIXTURE, encoding="utf-8") as f:
        ghosts = sum(1 for d in json.load(f)["devices"] if d.get("present", True) is False)
    assert ghosts > 1, ghosts
    for count, shot in ((ghosts, "results-uninstall-not-present"), (0, None)):
        app.keys("alt+p")
        app.answer_question(ASK_GHOSTS)
        status, lines = app.results(shot)
        assert status == ["Operation complete. %d devices uninstalled." % count], status
        assert len(lines) == count and all(line.endswith(" was successfully uninstalled.") for line in lines), lines
    app.close()


if __name__ == "__main__":
    harness.run_test(scenario)
