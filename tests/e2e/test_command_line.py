"""Every command-line job once on the simulated PC, and the window's "Export list..." through the real
Save As dialog. The jobs' exports are read back (CSV with the csv module, JSON) and compared with the
list the probe reads from the window; bad arguments end with code 2 after one line and change nothing;
/whatif names the devices that /remove-absent then uninstalls."""

import csv
import json
import os
import re
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import Pyravel  # noqa: E402
from test_driver_store import (NOTHING_BETTER, check_tree, expected_folders, load_fixture,  # noqa: E402
                               store_folder, windows_path)

FIELDS = ["Device name", "Status", "Class", "Manufacturer", "Driver date", "Driver version", "Service name",
          "Hardware ID", "Inf path", "Instance ID", "Last connected", "Installed", "Present", "Problem code"]


def run(session, app, *args):
    """(exit code, output lines) of one job."""
    result = session.wine([app.exe] + list(args), timeout=300)
    return result.returncode, [line.rstrip("\r") for line in result.stdout.splitlines()]


def read_csv(path):
    """Header and rows, each cell as the list shows it: the apostrophe before a would-be formula goes."""
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = [[c[1:] if c[:1] == "'" and c[1:2] in ("=", "+", "-", "@", "\t", "\r") else c for c in r]
                for r in csv.reader(f)]
    return rows[0], rows[1:]


def scenario(session):
    session.delete_settings()
    app = Pyravel(session)
    pc = load_fixture()
    work = os.path.join(session.prefix, "drive_c", "users", "Public", "PyravelJobs")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    at = lambda *names: windows_path(session, os.path.join(work, *names))  # noqa: E731

    code, lines = run(session, app, "/?")
    assert code == 0 and any("elevated prompt" in line for line in lines), (code, lines)

    code, _ = run(session, app, "/rescan")
    assert code == 0, "rescan: %d" % code
    store = store_folder(session)
    # Bad arguments: one line, code 2, and nothing written (none could reach the driver store). Which
    # lines parse is CommandLine.GoodAndBadArgumentLines'; here one of them and the jobs' own refusals.
    with open(os.path.join(work, "a.csv"), "w") as f:
        f.write("keep")
    for args in (["/frobnicate"], ["/install", at("missing")], ["/backup", at("a.csv")],
                 ["/export", at("a.csv"), "/log", at("no", "such", "log.txt")]):
        code, lines = run(session, app, *args)
        assert code == 2 and len(lines) == 1 and lines[0], (args, code, lines)
        assert os.listdir(work) == ["a.csv"], (args, os.listdir(work))
    assert open(os.path.join(work, "a.csv")).read() == "keep"
    # Links a standard user put where the export goes are never written through: a second hard link
    # is refused; Wine shows a link to a file as no reparse point, so there the link itself is replaced.
    victim = os.path.join(session.prefix, "drive_c", "users", "Public", "victim.txt")
    with open(victim, "w") as f:
        f.write("keep")
    os.symlink(victim, os.path.join(work, "soft.csv"))
    assert run(session, app, "/export", at("soft.csv"))[0] == 0 and not os.path.islink(os.path.join(work, "soft.csv"))
    os.link(victim, os.path.join(work, "hard.csv"))
    assert run(session, app, "/export", at("hard.csv"))[0] == 2
    assert open(victim).read() == "keep" and os.stat(victim).st_nlink == 2
    for name in ("hard.csv", "soft.csv"):
        os.remove(os.path.join(work, name))

    # The export, read back and compared with the window's list.
    code, lines = run(session, app, "/export", at("a.csv"), "/log", at("log.txt"))
    assert code == 0, (code, lines)
    header, exported = read_csv(os.path.join(work, "a.csv"))
    assert header == FIELDS, header
    # A device named like a formula is text to a spreadsheet: an apostrophe leads its cell.
    formula = [d["name"] for d in pc["devices"] if d.get("name", "")[:1] == "=" and d.get("present", True)]
    with open(os.path.join(work, "a.csv"), encoding="utf-8-sig", newline="") as f:
        cells = [r[0] for r in csv.reader(f)]
    assert formula and all("'" + name in cells and name not in cells for name in formula), formula
    with open(os.path.join(work, "log.txt"), encoding="utf-8") as f:
        assert f.read().splitlines() == lines == ["%d devices exported to %s" % (len(exported), at("a.csv"))]
    code, _ = run(session, app, "/export", at("all.json"), "/all")
    assert code == 0
    with open(os.path.join(work, "all.json"), encoding="utf-8") as f:
        every = json.load(f)
    assert all(name in [d["Device name"] for d in every] for name in formula), "JSON holds the names as they are"
    absent = [d for d in every if not d["Present"]]
    assert absent, "/all exported no device that is not present"
    # A device without a class shows that before its absence.
    assert absent == [d for d in every if d["Status"] == "Not present" or not (d["Class"] or d["Present"])]
    assert all(d["Problem code"] == 22 for d in every if d["Status"] == "Disabled")
    assert sorted([d[f] for f in FIELDS[:12]] for d in every if d["Present"]) == sorted(r[:12] for r in exported)

    # The driver store as a list: every published package once, with the size of its real files;
    # /whatif of /remove-packages /unused names exactly the rows the list says no device uses.
    code, lines = run(session, app, "/packages", at("packages.csv"))
    header, packages = read_csv(os.path.join(work, "packages.csv"))
    published = [p for p in pc["driverStore"] if re.fullmatch(r"oem\d+\.inf", p["publishedName"], re.I)]
    assert code == 0 and lines[0] == "%d driver packages written to %s" % (len(published), at("packages.csv")), lines
    assert len(lines) == 2 and lines[1].startswith("%d driver packages, " % len(published)), lines
    assert header[:4] == ["Published name", "Original name", "Provider", "Class"], header
    assert sorted(r[:2] for r in packages) == sorted([p["publishedName"], p["originalName"]] for p in published)
    assert all(r[6].isdigit() and int(r[6]) > 0 for r in packages), "a size is missing"
    unused = sorted(r[0] for r in packages if r[9].endswith("sed by no device"))
    code, lines = run(session, app, "/remove-packages", "/unused", "/whatif")
    assert code == 0, (code, lines)
    listed = sorted(line.split(" ", 1)[0] for line in lines if line.endswith(" would be removed from the driver store."))
    assert unused and listed == unused, (unused, lines)

    app.start_past_tip()
    shown = app.list_rows()
    assert sorted(r.cells for r in shown) == sorted(r[:12] for r in exported), "export differs from the window"

    # The window's export: the rows as shown, in their order, with their ticks.
    ticked = app.pick_targets()[:2]
    app.tick_rows(ticked)
    app.keys("ctrl+e")
    session.wait_window("Export list", timeout=30)
    session.type_text(at("window"))  # no extension: the CSV filter, picked first, adds it
    session.press("Return")
    app.wait_for("the window's export", lambda: os.path.exists(os.path.join(work, "window.csv")))
    header, rows = read_csv(os.path.join(work, "window.csv"))
    assert header == FIELDS + ["Checked"], header
    assert [r[:12] for r in rows] == [r.cells for r in shown], "rows or order differ from the window"
    assert [r[14] == "Yes" for r in rows] == [r.checked for r in app.list_rows()]
    app.close()

    # Backup of the present devices: one line per device, every one saved (code 0), names of real
    # hardware with "/" and ":" under "_" in their folder names. A second run into the same folder
    # replaces each copy and still holds exactly one folder per device.
    stored = {p["publishedName"].lower() for p in pc["driverStore"]}
    saved = [d for d in pc["devices"] if d.get("name") and d.get("present", True)
             and d.get("infPath", "").lower() in stored]
    assert [d for d in saved if "/" in d["name"]] and [d for d in saved if ":" in d["name"]]
    for _ in range(2):
        code, lines = run(session, app, "/backup", at("bk"))
        assert code == 0 and lines[-1] == "Operation complete. %d drivers backed up." % len(saved), (code, lines[-1])
        assert sorted(lines[:-1]) == sorted(d["name"] + " was successfully backed up." for d in saved)
    check_tree(os.path.join(work, "bk", "DriverBackup"), expected_folders(pc, saved), store)

    code, lines = run(session, app, "/install", at("bk"))
    assert code == 0 and lines == [NOTHING_BETTER], (code, lines)

    # /whatif names what /remove-absent then removes, each with the date the export showed; /class and
    # /older-than narrow both. A ghost without a date or dated after today is never old.
    last = {d["Instance ID"]: d["Last connected"] for d in absent}
    ghosts = [d for d in pc["devices"] if d.get("present", True) is False]
    assert any(not last[d["instanceId"]] for d in ghosts), "some ghost without a date"
    assert all(bool(last[d["instanceId"]]) == ("lastRemovalDaysAgo" in d) for d in ghosts)
    usb = sorted(d["name"] for d in ghosts if d.get("class") == "USB")
    code, lines = run(session, app, "/remove-absent", "/class", "usb", "/whatif")
    assert usb and sorted(lines_names(lines)) == usb, (usb, lines)
    code, lines = run(session, app, "/remove-absent", "/except-class", "Nope", "/whatif")
    assert code == 2 and lines == ["No device class is named Nope"], (code, lines)
    name = lambda d: d.get("name", "Unknown device")  # noqa: E731
    is_old = lambda d: d.get("lastRemovalDaysAgo", 0) > 365  # noqa: E731
    old = sorted(name(d) for d in ghosts if is_old(d))
    assert old and len(old) < len(ghosts), old
    code, lines = run(session, app, "/remove-absent", "/older-than", "365", "/whatif")
    assert code == 0 and lines[-1] == "Operation complete. %d devices would be uninstalled." % len(old), lines
    assert sorted(lines[:-1]) == sorted("%s would be uninstalled (last connected %s)." % (name(d), last[d["instanceId"]])
                                        for d in ghosts if is_old(d)), lines
    code, lines = run(session, app, "/remove-absent", "/older-than", "365")
    assert code == 0 and sorted(line.rsplit(" was successfully", 1)[0] for line in lines[:-1]) == old, lines
    # Each start is the fixture's PC afresh: without /older-than every ghost goes.
    gone = sorted(name(d) for d in ghosts)
    code, lines = run(session, app, "/remove-absent", "/whatif")
    assert code == 0 and sorted(lines_names(lines)) == gone, (gone, lines)
    code, lines = run(session, app, "/remove-absent")
    assert code == 0 and sorted(line.rsplit(" was successfully", 1)[0] for line in lines[:-1]) == gone, lines
    assert lines[-1] == "Operation complete. %d devices uninstalled." % len(gone), lines[-1]


def lines_names(lines):
    return [line.rsplit(" would be uninstalled (", 1)[0] for line in lines[:-1]]


if __name__ == "__main__":
    harness.run_test(scenario)
