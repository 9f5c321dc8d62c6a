"""Drivers and uninstalls on the simulated PC as a user: a driver package deleted with "Uninstall and
delete drivers" (Alt+X) leaves the store, copied first byte for byte where the final text says, and
a rescan (Ctrl+F5) brings its hardware back with no driver, until "Restore removed drivers..." puts
the copy back; a package that sibling devices still use stays, and the line says why; the driver of
one of three identical USB hubs changed (Alt+U) to an INF typed into the file dialog, the other two
keeping theirs (reinstalls are ReinstallDevices' native cases)."""

import glob
import os
import re
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import DONE, RESULTS_CLASS, Pyravel, store_folder, write_inf  # noqa: E402
from test_driver_store import windows_path  # noqa: E402

ETHERNET = "Intel(R) Ethernet Connection (7) I219-V"
ETHERNET_PACKAGE = "e1d68x64.inf_amd64_aa11bb22cc33dd44"  # the fixture's, not one an earlier run staged
SMBUS = "Intel(R) 100 Series/C230 Series Chipset Family SMBus - A123"
ROOT_PORT = "Intel(R) PCI Express Root Port #1 - A338"
SHARED_PACKAGE = "heci.inf_amd64_1b2c3d4e5f607182"  # oem7.inf, on Intel's system devices
HUB = "Generic USB Hub"
HUB_ID = "USB\\VID_05E3&PID_0610"
ASK_DELETE = ("This will uninstall the selected device drivers and also remove them from the driver store."
              "You may need to install a new driver for the selected device after this operation.")
KEPT_IN = "A copy of each removed driver package is kept in "
INSTALL_TITLE = "Please indicate the folder containing the drivers to install"
MENU_CLASS = "#32768"


def pick_inf(app, device, path):
    """Types the path into the file dialog that asks for the device's INF and opens it."""
    title = "Select driver INF file for " + device
    # The first file dialog of a run starts the shell's machinery: slow on a busy machine.
    picker = app.wait_for("the INF picker", lambda: next(
        (w for w in app.windows() if w.title == title), None), timeout=45)
    # The file name box: an edit of its own, or the edit of a combo box.
    boxes = [c for c in picker.children if c["class"] == "Edit" and c["enabled"]] or [
        c for c in picker.children if c["class"] == "ComboBox" and c["enabled"]]
    app.click_rect(boxes[0]["rect"])
    app.session.press("ctrl+a")
    app.session.type_text(path)
    app.session.press("Return")
    app.wait_for("the INF picker closed", lambda: all(w.title != title for w in app.windows()), timeout=30)


def scenario(session):
    session.delete_settings()
    app = Pyravel(session)
    app.start_past_tip()
    store = os.path.join(store_folder(session), "FileRepository")

    # The Ethernet card's package deleted: the card leaves, its folder leaves the store, and the
    # final text names its copy.
    package = os.path.join(store, ETHERNET_PACKAGE)
    before = {name: open(os.path.join(package, name), "rb").read() for name in os.listdir(package)}
    app.tick_names([ETHERNET])
    app.keys("alt+x")
    app.answer_question(ASK_DELETE, whole=False)
    status, lines = app.results()
    assert len(status) == 1 and status[0].startswith(DONE) and KEPT_IN in status[0], status
    assert lines == ["The driver for " + ETHERNET + " was successfully uninstalled and its driver package removed."], lines
    batch = status[0].split(KEPT_IN)[1].strip()
    copies = os.path.join(session.prefix, "drive_c", batch[3:].replace("\\", "/"))
    copied = {name: open(os.path.join(folder, name), "rb").read()
              for folder, _, names in os.walk(copies) for name in names}
    assert copied == before, "the copy differs: %r against %r" % (sorted(copied), sorted(before))
    app.wait_for("the card gone from the list", lambda: ETHERNET not in app.listed_names())
    assert not glob.glob(os.path.join(store, ETHERNET_PACKAGE)), "the package folder is still in the store"
    # The scan finds the hardware again, now without a driver.
    app.keys("ctrl+F5")
    app.wait_for("the card back after the scan", lambda: ETHERNET in app.listed_names(), timeout=60)
    assert app.window_of_class(RESULTS_CLASS) is None, "the scan window stayed open"
    card = app.row_named(ETHERNET)
    assert card.cells[1] == "No drivers installed", card.cells
    assert card.cells[2] == "", "class %r" % card.cells[2]
    restore_removed(app, session, batch)

    shared_package_stays(app, store)
    offers = os.path.join(session.prefix, "drive_c", "users", "Public", "Offers")
    shutil.rmtree(offers, ignore_errors=True)  # from an earlier run here
    change_drivers(app, store, offers)
    app.close()


def restore_removed(app, session, batch):
    """The Install menu's "Restore removed drivers..." (its last item but one) opens the picker in
    the newest batch of copies, which lists the card's class; the batch picked puts the package back
    and scans, and the card takes its driver again. (Wine's picker takes no folder without a name:
    the batch's path is typed.)"""
    app.click_child(app.main_window(), "Button", "Install")
    app.wait_window_of_class(MENU_CLASS, timeout=15)
    session.press("Up", "Up", "Return")
    session.wait_window(INSTALL_TITLE, timeout=45)
    shown = [row.cells[0] for row in app.list_rows("#32770")]
    assert "Net" in shown, "the picker shows %r" % shown
    session.type_text(batch)
    session.press("Return")
    session.wait_window(INSTALL_TITLE, timeout=30, present=False)
    texts, buttons = app.box_texts(timeout=120)
    assert any(t.startswith("One driver package was put back into the driver store from " + batch) and
               "The hardware was scanned" in t for t in texts), texts
    app.answer_box("OK")
    app.wait_for("the card's driver back", lambda: app.row_named(ETHERNET).cells[1] == "Working properly")


def shared_package_stays(app, store):
    """The SMBus controller's package also drives the root ports: the question says it stays, the
    controller goes, the package stays in the store and on the ports, and the line says why."""
    app.tick_names([SMBUS])
    app.keys("alt+x")
    app.answer_question(ASK_DELETE, whole=False)
    lines = app.done_lines()
    assert len(lines) == 1 and re.fullmatch(
        re.escape(SMBUS) + r" was uninstalled; its driver package stays because \d+ other devices use it\.", lines[0]), lines
    app.wait_for("the controller gone from the list", lambda: SMBUS not in app.listed_names())
    assert glob.glob(os.path.join(store, SHARED_PACKAGE)), "a package in use left the store"
    assert app.row_named(ROOT_PORT).cells[8] == "oem7.inf", app.row_named(ROOT_PORT).cells


def change_drivers(app, store, offers):
    """One of three identical hubs ticked and given a newer INF: it alone takes the driver; the INF
    goes into the store as the system stages a package, with the files it lists."""
    write_inf(offers, "genhub.inf", "06/01/2024,23.10.0.2", HUB_ID, "USB")
    app.scroll_to_top()
    app.tick_rows([row for row in app.list_rows() if row.cells[0] == HUB][:1])
    app.keys("alt+u")
    # Wine's picker finds no path through Z: into its own prefix: the INF is named from drive C.
    pick_inf(app, HUB, windows_path(app.session, os.path.join(offers, "genhub.inf")))
    lines = app.done_lines()
    assert lines == ["The driver for " + HUB + " was successfully changed."], lines
    app.wait_for("one hub on the new driver", lambda: sorted(
        row.cells[5] for row in app.list_rows() if row.cells[0] == HUB) == ["10.0.19041.1"] * 2 + ["23.10.0.2"])
    staged = glob.glob(os.path.join(store, "genhub.inf_amd64_*"))
    assert len(staged) == 1 and sorted(os.listdir(staged[0])) == ["genhub.cat", "genhub.inf", "genhub.sys"], staged


if __name__ == "__main__":
    harness.run_test(scenario)
