"""The sandbox on a PC of the user's own (--pc FILE): a small valid file is listed exactly; a file
that is no valid JSON brings a box naming the file and the place of the fault, after which the
program runs with an empty list and ends cleanly."""

import json
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import WORKING, Pyravel, wine_path  # noqa: E402

NET = "{4d36e972-e325-11ce-bfc1-08002be10318}"
MOUSE = "{4d36e96f-e325-11ce-bfc1-08002be10318}"
PC = {
    "unknownClassImage": 18,
    "classes": [{"name": "Net", "guid": NET, "description": "Network adapters", "image": 5},
                {"name": "Mouse", "guid": MOUSE, "description": "Mice and other pointing devices", "image": 12}],
    "devices": [
        {"instanceId": "PCI\\VEN_1234&DEV_0001\\0", "name": "Own adapter one", "class": "Net",
         "hardwareIds": ["PCI\\VEN_1234&DEV_0001"]},
        {"instanceId": "PCI\\VEN_1234&DEV_0002\\0", "name": "Own adapter two", "class": "Net",
         "hardwareIds": ["PCI\\VEN_1234&DEV_0002"], "problem": 22},
        {"instanceId": "HID\\VID_1234&PID_0003\\0", "name": "Own mouse", "classGuid": MOUSE,
         "hardwareIds": ["HID\\VID_1234&PID_0003"]},
    ],
}
LISTED = {"Own adapter one": WORKING, "Own adapter two": "Disabled", "Own mouse": WORKING}
SYSTEM_BOX_CLASS = "#32770"


def close_cleanly(app):
    app.close()
    assert app.process.wait(timeout=30) == 0, "exit code %r" % app.process.returncode


def shown(app, cls):
    """The program's window of that class, or None (also while no window of it is shown at all)."""
    try:
        return app.window_of_class(cls)
    except harness.HarnessError:
        return None


def scenario(session):
    session.delete_settings()
    folder = tempfile.mkdtemp(prefix="pyravel-e2e-pc-")
    try:
        good, broken = os.path.join(folder, "own pc.json"), os.path.join(folder, "broken.json")
        with open(good, "w", encoding="utf-8") as f:
            json.dump(PC, f)
        with open(broken, "w", encoding="utf-8") as f:
            f.write('{"classes": [}')

        app = Pyravel(session, args=["--pc", wine_path(good)])
        app.start_past_tip()
        listed = {row.cells[0]: row.cells[1] for row in app.list_rows()}
        assert listed == LISTED and len(app.list_rows()) == len(LISTED), "listed: %r" % listed
        close_cleanly(app)

        app = Pyravel(session, args=["--pc", wine_path(broken)])
        app.start()
        box = app.wait_for("the box about the file", lambda: shown(app, SYSTEM_BOX_CLASS), timeout=60)
        text = " ".join(c["text"] for c in box.children if c["class"] == "Static")
        assert wine_path(broken) in text and "line 1, column 14" in text, "box says %r" % text
        app.click_child(box, "Button", "OK")
        app.wait_for("the main window after OK", lambda: not shown(app, SYSTEM_BOX_CLASS)
                     and shown(app, "__PyravelClass__"))
        count, _, rows = app.rows()
        assert count == 0 and rows == [], "rows on an empty PC: %r" % rows
        close_cleanly(app)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    harness.run_test(scenario)
