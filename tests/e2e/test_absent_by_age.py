"""Devices not present, by age, in the window: the two date columns as the fixture dates them,
"Check not present for more than 90 days" from the Select... menu ticks exactly the ghosts gone
longer than that (none without a date, none dated after today), and "Uninstall checked" removes
them while the younger ghosts stay. On the real-PC fixture, the question of "Uninstall all devices
not present" counts its ghosts, dates the oldest and newest and names the COM numbers they hold."""

import json
import os
import re
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import BOX_CLASS, DONE, RESULTS_CLASS, Pyravel  # noqa: E402
from test_driver_store import load_fixture, windows_path  # noqa: E402

MENU_CLASS = "#32768"
LAST_CONNECTED, INSTALLED, INSTANCE_ID = 10, 11, 9


def scenario(session):
    session.delete_settings()
    pc = load_fixture()
    by_id = {d["instanceId"].upper(): d for d in pc["devices"]}
    app = Pyravel(session)
    app.start_past_tip()
    present_rows = len(app.list_rows())
    app.keys("ctrl+s")
    rows = app.wait_for("devices not present listed", lambda: [
        r for r in [app.list_rows()] if len(r) > present_rows], timeout=30)[0]

    ghosts = [r for r in rows if by_id[r.cells[INSTANCE_ID].upper()].get("present", True) is False]
    assert ghosts, "no ghost listed"
    for r in rows:
        d = by_id[r.cells[INSTANCE_ID].upper()]
        key = "lastArrivalDaysAgo" if d.get("present", True) else "lastRemovalDaysAgo"
        # A date is "YYYY/MM/DD hh:mm:ss"; no date, no text.
        for column, field in ((LAST_CONNECTED, key), (INSTALLED, "firstInstallDaysAgo")):
            assert (len(r.cells[column]) == 19) == (field in d), (d["instanceId"], column, r.cells[column])

    # The Select... menu ends with the three package rules (greyed here, yet passed by the keys),
    # then 365 days upwards; 90 is the fifth item from the end.
    app.click_child(app.main_window(), "Button", "Select...")
    app.wait_window_of_class(MENU_CLASS, timeout=15)
    session.press("Up", "Up", "Up", "Up", "Up", "Return")
    app.wait_window_of_class(MENU_CLASS, timeout=15, present=False)
    old = sorted(r.cells[INSTANCE_ID] for r in ghosts
                 if by_id[r.cells[INSTANCE_ID].upper()].get("lastRemovalDaysAgo", 0) > 90)
    assert old and len(old) < len(ghosts), (old, len(ghosts))
    app.wait_for("the ghosts older than 90 days ticked", lambda: sorted(
        r.cells[INSTANCE_ID] for r in app.list_rows() if r.checked) == old, timeout=15)
    app.shot("ghosts-older-than-90-days-ticked")

    app.keys("ctrl+x")
    app.answer_question("Are you sure you want to uninstall the selected device", whole=False)
    status, lines = app.results(timeout=120)
    assert status == [DONE] and len(lines) == len(old), (status, lines)
    assert all(line.endswith(" was successfully uninstalled.") for line in lines), lines

    # Gone: the old ghosts and whatever hung below them; every other ghost stays.
    def went(d):
        return d is not None and (d.get("lastRemovalDaysAgo", 0) > 90 or went(by_id.get(d.get("parent", "").upper())))
    stay = sorted(r.cells[INSTANCE_ID] for r in ghosts if not went(by_id[r.cells[INSTANCE_ID].upper()]))
    assert stay, "no younger ghost to keep"
    app.wait_for("the younger ghosts left", lambda: sorted(
        r.cells[INSTANCE_ID] for r in app.list_rows()
        if by_id[r.cells[INSTANCE_ID].upper()].get("present", True) is False) == stay, timeout=30)
    app.close()
    question_of_the_real_pc(session)


def question_of_the_real_pc(session):
    source = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                          "sandbox", "fixture", "real_pc.json")
    with open(source, encoding="utf-8") as f:
        ghosts = [d for d in json.load(f)["devices"] if d.get("present", True) is False]
    copy = os.path.join(session.prefix, "drive_c", "users", "Public", "real_pc.json")
    shutil.copyfile(source, copy)
    ports = sorted({int(m.group(1)) for d in ghosts if d.get("class") == "Ports"
                    for m in [re.search(r"\(COM(\d+)\)$", d.get("name", ""))] if m})
    assert ports, "the real PC has ghost ports"
    app = Pyravel(session, args=["--pc", windows_path(session, copy)])
    app.start_past_tip()
    app.keys("alt+p")
    texts, buttons = app.box_texts()
    question = next(t for t in texts if t.startswith("Are you sure you want to uninstall all devices not present?"))
    assert "%d devices, last connected between " % len(ghosts) in question, question
    assert ("They hold %s: uninstalling them frees these numbers." % ", ".join("COM%d" % n for n in ports)
            in question), (ports, question)
    app.shot("question-not-present-real-pc")
    # Esc is the question's No: the box goes and nothing is removed.
    rows = len(app.list_rows())
    session.press("Escape")
    app.wait_window_of_class(BOX_CLASS, present=False, timeout=15)
    assert app.window_of_class(RESULTS_CLASS) is None and len(app.list_rows()) == rows
    app.close()


if __name__ == "__main__":
    harness.run_test(scenario)
