"""The driver store tools on the simulated PC, with the files on disk checked: the first-run backup
(links planted in the destination, "Backup checked" and "Backup all" with its not-present question
are BackupCommandTest's), and "Install drivers from folder" on the first backup (nothing better)
and on a folder with one newer package (installed; the list shows the new version)."""

import filecmp
import json
import os
import re
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import FIXTURE, TIP_CLASS, Pyravel, store_folder, write_inf  # noqa: E402

PICK_TITLE = "Please indicate the desination folder"
INSTALL_TITLE = "Please indicate the folder containing the drivers to install"
INSTALLED = "The operation succeeded. One driver was installed from "
NOTHING_BETTER = ("The operation succeeded. No drivers were found in the specified folder better than "
                  "the ones currently installed.")
CARDS = ["Intel(R) Ethernet Connection (7) I219-V", "Intel(R) Wi-Fi 6 AX200 160MHz"]
NIC_ID = "PCI\\VEN_8086&DEV_15BC"


def load_fixture():
    with open(FIXTURE, encoding="utf-8") as f:
        return json.load(f)


def expected_folders(pc, devices):
    """Relative backup folder -> package folder in the store, for each device."""
    store = {p["publishedName"].lower(): p for p in pc["driverStore"]}
    result = {}
    for d in devices:
        package = store[d["infPath"].lower()]
        leaf = d["name"]
        for part in ("manufacturer", "driverVersion"):
            if d.get(part):
                leaf += " - " + d[part]
        # What a file name cannot hold becomes "_" (a backslash would make a level: none here).
        leaf = re.sub(r'[/:*?"<>|\x00-\x1f]', "_", leaf)
        result[os.path.join(d.get("class") or "Unknown class", leaf)] = package["folder"]
    return result


def check_tree(root, expected, store):
    """The backup holds exactly the expected folders, each a byte-for-byte copy of its package."""
    found = set()
    for dirpath, _, files in os.walk(root):
        if files:
            found.add(os.path.relpath(dirpath, root))
    assert found == set(expected), "backup folders: missing %r, extra %r" % (
        sorted(set(expected) - found), sorted(found - set(expected)))
    copied = 0
    for rel, package in expected.items():
        source = os.path.join(store, "FileRepository", package)
        names = sorted(os.listdir(source))
        assert sorted(os.listdir(os.path.join(root, rel))) == names, "files of %s" % rel
        for name in names:
            assert filecmp.cmp(os.path.join(source, name), os.path.join(root, rel, name), shallow=False), \
                "%s/%s differs from the store" % (rel, name)
            copied += 1
    return copied


def windows_path(session, linux_path):
    drive_c = os.path.join(session.prefix, "drive_c")
    return "C:\\" + os.path.relpath(linux_path, drive_c).replace("/", "\\")


def pick_folder(app, session, title, path):
    session.wait_window(title, timeout=30)
    assert app.focus()[0] == "Edit", "the name box does not have the focus: %r" % (app.focus(),)
    session.type_text(path)
    session.press("Return")
    session.wait_window(title, timeout=30, present=False)


def backup_into(app, session, pc, root, saved, refused):
    """Types the folder into the dialog, checks the results (a line per device, saved or refused)
    and that each saved device's package was copied below the backup's DriverBackup folder."""
    os.makedirs(root, exist_ok=True)
    pick_folder(app, session, PICK_TITLE, windows_path(session, root))
    status, lines = app.results(timeout=120)
    assert status == ["Operation complete. %d drivers backed up." % len(saved)], "status text: %r" % status
    expected = ([d["name"] + " was successfully backed up." for d in saved] +
                [d["name"] + " could not be backed up." for d in refused])
    assert sorted(lines) == sorted(expected), "result lines: %r" % lines
    check_tree(os.path.join(root, "DriverBackup"), expected_folders(pc, saved), store_folder(session))


def scenario(session):
    session.delete_settings()
    app = Pyravel(session)
    pc = load_fixture()
    public = os.path.join(session.prefix, "drive_c", "users", "Public")
    for left in ("FirstRun", "Newer"):  # from an earlier run here
        shutil.rmtree(os.path.join(public, left), ignore_errors=True)
    app.start()

    # Yes to the first-run question: every device, not-present ones too, with no further question;
    # names with "/" or ":" are saved with "_" in their folder names.
    every = [d for d in pc["devices"] if d.get("name") and d.get("infPath", "").lower()
             in {p["publishedName"].lower() for p in pc["driverStore"]}]
    app.answer_box("Yes")
    first_root = os.path.join(public, "FirstRun")
    backup_into(app, session, pc, first_root, every, [])
    app.wait_window_of_class(TIP_CLASS)
    app.click_rect(app.list_rows()[0].rect)
    app.wait_window_of_class(TIP_CLASS, present=False)

    # Install from the first backup: the same drivers, nothing better.
    app.keys("ctrl+i")
    pick_folder(app, session, INSTALL_TITLE, windows_path(session, first_root))
    # (A box without an OK button fails the answer.)
    assert NOTHING_BETTER in app.box_texts(timeout=120)[0]
    app.answer_box("OK")

    # A folder with one newer package for the network card: installed, the list shows it.
    newer = os.path.join(public, "Newer")
    write_inf(os.path.join(newer, "intel", "lan"), "e1d68x64.inf", "01/15/2025,12.19.2.45", NIC_ID, "Net")
    app.keys("ctrl+i")
    pick_folder(app, session, INSTALL_TITLE, windows_path(session, newer))
    assert INSTALLED + windows_path(session, newer) in app.box_texts(timeout=120)[0]
    app.answer_box("OK")
    row = app.wait_for("the new driver in the list", lambda: next(
        (r for r in app.list_rows() if r.cells[0] == CARDS[0] and r.cells[5] == "12.19.2.45"), None))
    assert row.cells[4] == "2025/01/15", "driver date %r" % row.cells[4]
    wifi = next(r for r in app.list_rows() if r.cells[0] == CARDS[1])
    assert wifi.cells[5] == "22.200.0.6", "the other card changed: %r" % wifi.cells[5]
    app.close()


if __name__ == "__main__":
    harness.run_test(scenario)
