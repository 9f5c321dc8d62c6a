"""The driver store's packages in the main window, on the real-PC fixture: Ctrl+K lists the published
packages in number order with the fixture's facts, their sizes on disk and the devices that use them;
"Check older package versions" ticks exactly the packages a newer one of the same INF, provider and
class outranks; "Delete checked driver packages" removes those no device uses, keeps the others with
the reason, copies each removed one into a batch of "Removed drivers" and drops its row; "Restore
removed drivers..." puts them all back. A click on "Size" orders the rows by bytes, Ctrl+K returns
to the devices, and the view chosen is the one the next start shows."""

import collections
import json
import os
import re
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import Pyravel, store_folder  # noqa: E402
from test_driver_store import windows_path  # noqa: E402

MENU_CLASS = "#32768"
INSTALL_TITLE = "Please indicate the folder containing the drivers to install"
KEPT_IN = "A copy of each removed driver package is kept in "
PUBLISHED, ORIGINAL, PROVIDER, CLASS, VERSION, DATE, SIZE, DEVICES, STATE, FOLDER = 0, 1, 2, 3, 4, 5, 6, 7, 9, 10
WIDTHS = [110, 160, 130, 100, 110, 80, 70]  # the first columns' default widths
UNITS = {"byte": 1, "bytes": 1, "KB": 1 << 10, "MB": 1 << 20, "GB": 1 << 30}


def ranked(package):
    """(version parts, date) of a DriverVer "MM/DD/YYYY,a.b.c.d": the newer package ranks higher. A
    part past 16 bits is no version Windows holds: that package ranks against none (None)."""
    date, _, version = package["driverVer"].partition(",")
    month, day, year = (int(v) for v in date.split("/"))
    parts = [int(v) for v in version.split(".")] if version else []
    return None if max(parts, default=0) > 0xFFFF else (parts + [0] * (4 - len(parts)), (year, month, day))


def bytes_shown(text):
    """(low, high) of the byte counts that a size as shown may stand for."""
    value, unit = text.split(" ")
    step = UNITS[unit]
    if "." in value:
        return float(value) * step - step / 20, float(value) * step + step / 20
    return int(value) * step - step + 1 if step > 1 else int(value), int(value) * step


def menu_item(app, group, ups):
    """Opens the group's menu and takes the item that many Up presses from its end reach."""
    app.click_child(app.main_window(), "Button", group)
    app.wait_window_of_class(MENU_CLASS, timeout=15)
    app.session.press(*(["Up"] * ups + ["Return"]))
    app.wait_window_of_class(MENU_CLASS, timeout=15, present=False)


def scenario(session):
    session.delete_settings()
    source = os.path.join(harness.ROOT, "sandbox", "fixture", "real_pc.json")
    copy = os.path.join(session.prefix, "drive_c", "users", "Public", "real_pc.json")
    shutil.copyfile(source, copy)
    with open(source, encoding="utf-8") as f:
        pc = json.load(f)
    store = sorted(pc["driverStore"], key=lambda p: int(p["publishedName"][3:-4]))
    use = collections.defaultdict(lambda: [0, 0])
    for d in pc["devices"]:
        use[d.get("infPath", "").lower()][0 if d.get("present", True) else 1] += 1
    key = lambda p: (p["originalName"].lower(), p["provider"].lower(), p["class"].lower())  # noqa: E731
    newest = {}
    for p in [p for p in store if ranked(p)]:
        newest[key(p)] = max(newest.get(key(p), ranked(p)), ranked(p))
    older = [p for p in store if ranked(p) and ranked(p) < newest[key(p)]]
    kept = [p for p in older if sum(use[p["publishedName"].lower()])]
    removed = [p for p in older if p not in kept]
    assert kept and removed, "the fixture has older packages both used and unused"

    app = Pyravel(session, args=["--pc", windows_path(session, copy)])
    app.start_past_tip()
    devices = sorted(r.cells[9] for r in app.list_rows())
    app.keys("ctrl+k")
    # The sizes follow the rows, walked while the window waits.
    rows = app.wait_for("the package rows and their sizes", lambda: [
        r for r in [app.list_rows()] if len(r) == len(store) and all(x.cells[SIZE] for x in r)], 60)[0]
    repository = os.path.join(store_folder(session), "FileRepository")
    size = {}
    for r, p in zip(rows, store):
        folder = os.path.join(repository, p["folder"])
        size[p["publishedName"]] = sum(os.path.getsize(os.path.join(folder, n)) for n in os.listdir(folder))
        month, day, year = p["driverVer"].split(",")[0].split("/")
        present, absent = use[p["publishedName"].lower()]
        state = ("In use" if present else "Used by devices not present" if absent
                 else "Use not known" if p["class"] == "Extension" else "Used by no device")
        # A version with a part past 65535 ranks the package with none, but its date still shows.
        date = "%s-%s-%s" % (year, month, day)
        expected = [p["publishedName"], p["originalName"], p["provider"], p["class"], p["driverVer"].split(",")[1],
                    date, "" if state == "Use not known" else "%d / %d" % (present, absent),
                    "Older version, " + state[0].lower() + state[1:] if p in older else state]
        shown = [r.cells[c] for c in (PUBLISHED, ORIGINAL, PROVIDER, CLASS, VERSION, DATE, DEVICES, STATE)]
        assert shown == expected, (r.cells, expected)
        low, high = bytes_shown(r.cells[SIZE])
        assert low <= size[p["publishedName"]] <= high, (r.cells[SIZE], size[p["publishedName"]])
        assert r.cells[FOLDER].endswith("\\FileRepository\\" + p["folder"]) and not r.checked, r.cells

    menu_item(app, "Select...", 3)
    ticked = lambda: sorted(r.cells[PUBLISHED] for r in app.list_rows() if r.checked)  # noqa: E731
    app.wait_for("the older packages ticked", lambda: ticked() == sorted(p["publishedName"] for p in older), 15)
    app.shot("packages-older-versions-ticked")

    menu_item(app, "Uninstall", 1)
    app.answer_question("Remove the %d checked driver packages from the driver store?" % len(older), whole=False)
    dialog, status, lines = app.finished_results(timeout=600)
    app.shot("packages-removal-results")
    app.close_results(dialog)
    described = lambda p: "%s (%s, %s, %s)" % (  # noqa: E731
        p["publishedName"], p["originalName"], p["provider"], p["driverVer"])
    assert sorted(lines[:-1]) == sorted([described(p) + " was removed from the driver store." for p in removed] + [
        described(p) + " stays in the driver store: Windows keeps it because a device uses it." for p in kept]), lines
    assert lines[-1].startswith(KEPT_IN), lines[-1]
    freed = sum(size[p["publishedName"]] for p in removed)
    match = re.fullmatch(r"Operation complete\. (\d+) driver packages removed, freeing (.+)\.", status[0])
    assert len(status) == 1 and match and int(match.group(1)) == len(removed), status
    assert bytes_shown(match.group(2))[0] <= freed <= bytes_shown(match.group(2))[1], (status, freed)
    left = [p["publishedName"] for p in store if p not in removed]
    app.wait_for("the removed rows gone", lambda: [r.cells[PUBLISHED] for r in app.list_rows()] == left, 30)

    # The batch holds each removed package once: its INF (as DriverVer dates it) with the files it lists.
    batch = lines[-1][len(KEPT_IN):]
    copies = collections.Counter()
    for folder, _, names in os.walk(os.path.join(session.prefix, "drive_c", batch[3:].replace("\\", "/"))):
        for inf in [n for n in names if n.endswith(".inf")]:
            with open(os.path.join(folder, inf), encoding="utf-8") as f:
                copies[inf, re.search(r"^DriverVer=(.*?)\r?$", f.read(), re.M).group(1)] += 1
            assert sorted(names) == sorted(inf[:-4] + e for e in (".cat", ".inf", ".sys")), (folder, names)
    assert copies == collections.Counter((p["originalName"], p["driverVer"]) for p in removed), copies

    # The restore picker opens in the newest batch; the batch typed in puts every copy back.
    menu_item(app, "Install", 2)
    session.wait_window(INSTALL_TITLE, timeout=45)
    session.type_text(batch)
    session.press("Return")
    session.wait_window(INSTALL_TITLE, timeout=30, present=False)
    texts, _ = app.box_texts(timeout=600)
    assert any(t.startswith("%d driver packages were put back into the driver store from %s." % (len(removed), batch))
               for t in texts), texts
    app.answer_box("OK")
    facts = sorted((p["originalName"], p["provider"], p["driverVer"].split(",")[1]) for p in store)
    app.wait_for("the packages back", lambda: sorted(
        (r.cells[ORIGINAL], r.cells[PROVIDER], r.cells[VERSION]) for r in app.list_rows()) == facts, 60)

    # "Size" sorts by the bytes on disk (the published names are the fixture's again after a start).
    x, y, _, h = app.main_window().child("SysHeader32", "")["rect"]
    app.click_rect((x + sum(WIDTHS[:SIZE]) + WIDTHS[SIZE] // 2, y + h // 2, 1, 1))
    by_size = lambda: [bytes_shown(r.cells[SIZE])[0] for r in app.list_rows()]  # noqa: E731
    app.wait_for("the rows by size", lambda: by_size() == sorted(by_size()), 15)

    app.keys("ctrl+k")
    app.wait_for("the device rows back", lambda: sorted(r.cells[9] for r in app.list_rows()) == devices, 30)
    app.keys("ctrl+k")
    app.wait_for("the package rows again", lambda: len(app.list_rows()) == len(store), 60)
    app.close()
    app.start_past_tip()
    assert [r.cells[PUBLISHED] for r in app.list_rows()] == [p["publishedName"] for p in store]
    app.close()


if __name__ == "__main__":
    harness.run_test(scenario)
