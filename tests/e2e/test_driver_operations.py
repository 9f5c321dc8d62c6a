"""Drivers and uninstalls on the simulated PC as a user: a driver package deleted with "Uninstall and
delete drivers" (Alt+X) leaves the store, and a rescan (Ctrl+F5) brings its hardware back with no
driver; a package that sibling devices still use stays, and the line says so; "Uninstall all devices
not present" (Alt+P) removes the fixture's ghosts and counts them; a
driver changed (Alt+U) to a newer INF typed into the file dialog, then to an older one after the
force question; two devices reinstalled (Ctrl+R); and a device that needs a restart, uninstalled
(Ctrl+X), brings the reboot question once after its results window closed, answered No."""

import glob
import json
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import BOX_CLASS, DONE, FIXTURE, RESULTS_CLASS, Pyravel, wine_path  # noqa: E402

ETHERNET = "Intel(R) Ethernet Connection (7) I219-V"
ETHERNET_PACKAGE = "e1d68x64.inf_amd64_aa11bb22cc33dd44"  # the fixture's, not one an earlier run staged
BLUETOOTH = "Intel(R) Wireless Bluetooth(R)"
BLUETOOTH_ID = "USB\\VID_8087&PID_0029&REV_0001"
GEFORCE = "NVIDIA GeForce GTX 1660 SUPER"
SMBUS = "Intel(R) SMBus - A323"
ROOT_PORT = "Intel(R) PCI Express Root Port #1 - A338"
SHARED_PACKAGE = "heci.inf_amd64_1b2c3d4e5f607182"  # oem7.inf, on Intel's system devices
ASK_DELETE = ("This will uninstall the selected device drivers and also remove them from the driver store."
              "You may need to install a new driver for the selected device after this operation.")
ASK_FORCE = "This INF file contains a valid driver for your device, but the one currently installed is a better match."
ASK_REINSTALL = "Are you sure you want to reinstall the selected devices?"
ASK_UNINSTALL = "Are you sure you want to uninstall the selected device?"
ASK_GHOSTS = "Are you sure you want to uninstall all devices not present?"
ASK_REBOOT = "This computer needs to be rebooted in order to finish setting up one or more devices."


def write_inf(folder, name, driver_ver, hardware_id):
    """An INF for the hardware ID with the two files it lists, as a vendor's download has them."""
    os.makedirs(folder, exist_ok=True)
    base = name.rsplit(".", 1)[0]
    for f in (base + ".sys", base + ".cat"):
        with open(os.path.join(folder, f), "wb") as out:
            out.write(b"driver file " + f.encode())
    with open(os.path.join(folder, name), "w", encoding="utf-8", newline="\r\n") as out:
        out.write("[Version]\nSignature=\"$WINDOWS NT$\"\nClass=Bluetooth\nProvider=%%Maker%%\n"
                  "DriverVer=%s\nCatalogFile=%s.cat\n\n[Manufacturer]\n%%Maker%%=Models,NTamd64\n\n"
                  "[Models.NTamd64]\n%%Radio%%=Install, %s\n\n[SourceDisksFiles]\n%s.sys=1\n%s.cat=1\n\n"
                  "[Strings]\nMaker=\"Intel Corporation\"\nRadio=\"Wireless radio\"\n"
                  % (driver_ver, base, hardware_id, base, base))
    return wine_path(os.path.join(folder, name))


def pick_inf(app, device, path):
    """Types the path into the file dialog that asks for the device's INF and opens it."""
    title = "Select driver INF file for " + device
    picker = app.wait_for("the INF picker", lambda: next(
        (w for w in app.windows() if w.title == title), None), timeout=30)
    # The file name box: an edit of its own, or the edit of a combo box.
    boxes = [c for c in picker.children if c["class"] == "Edit" and c["enabled"]] or [
        c for c in picker.children if c["class"] == "ComboBox" and c["enabled"]]
    assert boxes, "no file name box in %r" % [c["class"] for c in picker.children]
    app.click_rect(boxes[0]["rect"])
    app.session.press("ctrl+a")
    app.session.type_text(path)
    app.session.press("Return")
    app.wait_for("the INF picker closed", lambda: all(w.title != title for w in app.windows()), timeout=30)


def scenario(session):
    session.delete_settings()
    app = Pyravel(session)
    app.start_past_tip()
    store = glob.glob(os.path.join(session.prefix, "drive_c", "users", "*", "AppData", "Local",
                                   "Pyravel Sandbox", "DriverStore", "FileRepository"))
    assert len(store) == 1, store
    store = store[0]
    assert glob.glob(os.path.join(store, ETHERNET_PACKAGE)), "the Ethernet package is not in the store"

    # The Ethernet card's package deleted: the card leaves, its folder leaves the store.
    app.tick_names([ETHERNET])
    app.keys("alt+x")
    app.answer_question(ASK_DELETE, whole=False)
    status, lines = app.results("results-delete-driver-package")
    assert status == [DONE], status
    assert lines == ["The driver for " + ETHERNET + " was successfully uninstalled."], lines
    app.wait_for("the card gone from the list", lambda: ETHERNET not in app.listed_names())
    assert not glob.glob(os.path.join(store, ETHERNET_PACKAGE)), "the package folder is still in the store"
    assert app.no_box_for(2), "a reboot question for a card that needs no restart"
    # The scan finds the hardware again, now without a driver.
    app.keys("ctrl+F5")
    app.wait_for("the card back after the scan", lambda: ETHERNET in app.listed_names(), timeout=60)
    assert app.window_of_class(RESULTS_CLASS) is None, "the scan window stayed open"
    card = app.row_named(ETHERNET)
    assert card.cells[1] == "No drivers installed", card.cells
    assert card.cells[2] == "", "class %r" % card.cells[2]

    shared_package_stays(app, store)
    uninstall_ghosts(app)
    offers = tempfile.mkdtemp(prefix="pyravel-e2e-infs-")
    try:
        change_drivers(app, store, offers)
    finally:
        shutil.rmtree(offers, ignore_errors=True)

    reinstall_two(app)
    reboot_question_once(app)
    app.close()


def shared_package_stays(app, store):
    """The SMBus controller's package also drives the root ports: the controller goes, the package
    stays in the store and on the ports, and its line is the failure line."""
    app.tick_names([SMBUS])
    app.keys("alt+x")
    app.answer_question(ASK_DELETE, whole=False)
    status, lines = app.results("results-delete-shared-package")
    assert status == [DONE], status
    assert lines == ["The driver for " + SMBUS + " could not be uninstalled."], lines
    app.wait_for("the controller gone from the list", lambda: SMBUS not in app.listed_names())
    assert glob.glob(os.path.join(store, SHARED_PACKAGE)), "a package in use left the store"
    assert app.row_named(ROOT_PORT).cells[8] == "oem7.inf", app.row_named(ROOT_PORT).cells


def uninstall_ghosts(app):
    """Every device not present uninstalled, counted in the final text; done again, none is left."""
    with open(FIXTURE, encoding="utf-8") as f:
        ghosts = sum(1 for d in json.load(f)["devices"] if d.get("present", True) is False)
    assert ghosts > 1, ghosts
    for count, shot in ((ghosts, "results-uninstall-not-present"), (0, None)):
        app.keys("alt+p")
        app.answer_question(ASK_GHOSTS)
        status, lines = app.results(shot)
        assert status == ["Operation complete. %d devices uninstalled." % count], status
        assert len(lines) == count and all(line.endswith(" was successfully uninstalled.") for line in lines), lines


def change_drivers(app, store, offers):
    """The Bluetooth radio's driver changed to a newer INF, then to an older one, forced."""
    newer = write_inf(os.path.join(offers, "newer"), "ibtusb.inf", "06/01/2024,23.10.0.2", BLUETOOTH_ID)
    older = write_inf(os.path.join(offers, "older"), "ibtusb.inf", "03/03/2021,21.40.0.1", BLUETOOTH_ID)
    for path, forced, version, shot in [(newer, False, "23.10.0.2", "results-change-driver-newer"),
                                        (older, True, "21.40.0.1", "results-change-driver-older-forced")]:
        app.tick_names([BLUETOOTH])
        app.keys("alt+u")
        pick_inf(app, BLUETOOTH, path)
        if forced:
            app.answer_question(ASK_FORCE, whole=False)
        status, lines = app.results(shot)
        assert status == [DONE], status
        assert lines == ["The driver for " + BLUETOOTH + " was successfully changed."], lines
        app.wait_for("the new driver version listed", lambda: app.row_named(BLUETOOTH).cells[5] == version)
        assert app.no_box_for(2), "a reboot question for a radio that needs no restart"
    # Both went into the store as the system stages a package: INF, driver and catalog.
    staged = sorted(glob.glob(os.path.join(store, "ibtusb.inf_amd64_*")))
    assert len(staged) == 3, staged  # the fixture's own and the two offers
    for folder in staged:
        assert sorted(os.listdir(folder)) == ["ibtusb.cat", "ibtusb.inf", "ibtusb.sys"], os.listdir(folder)


def reinstall_two(app):
    """Two devices reinstalled: uninstalled, then found again by the two scans."""
    first, second, _ = app.pick_targets()
    names = [first.cells[0], second.cells[0]]
    app.tick_rows([first, second])
    app.keys("ctrl+r")
    app.answer_question(ASK_REINSTALL)
    status, lines = app.results("results-reinstall-two")
    assert status == [DONE], status
    bottom_first = sorted([first, second], key=lambda r: -r.index)
    assert lines == [r.cells[0] + " was successfully uninstalled." for r in bottom_first] + [
        "Successfully reinstalled the selected devices."], lines
    app.wait_for("both devices listed again", lambda: all(n in app.listed_names() for n in names), timeout=60)


def reboot_question_once(app):
    """The graphics card needs a restart when uninstalled: one question after its window closed."""
    app.tick_names([GEFORCE])
    app.keys("ctrl+x")
    app.answer_question(ASK_UNINSTALL)
    dialog, status, lines = app.finished_results()
    assert lines == [GEFORCE + " was successfully uninstalled."], lines
    assert app.window_of_class(BOX_CLASS) is None, "the reboot question came before the results window closed"
    app.shot("results-uninstall-needs-restart")
    app.close_results(dialog)
    app.answer_question(ASK_REBOOT, "No", whole=False)
    assert app.no_box_for(3), "the reboot question came twice"
    assert app.window_of_class("__PyravelClass__") is not None, "the program ended after No"
    app.keys("F5")
    app.wait_for("the card gone from the list", lambda: GEFORCE not in app.listed_names())
    assert app.no_box_for(2), "the reboot question came back after a refresh"


if __name__ == "__main__":
    harness.run_test(scenario)
