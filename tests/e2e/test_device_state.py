"""Disabling and enabling ticked devices on the simulated PC at 150 % display scale (the prefix's
LogPixels at 144): the question, the results dialog with one line per device (bottom row first), the
locked window while it is open, the rows reading "Disabled" on grey after OK, and back to "Working
properly". Esc at the first-run question is its negative answer. The layout follows the scale: the
pane's buttons and the results dialog take 1.5 times their size (that the rows hold their check
boxes, and each text is whole, inside its window and clear of the others, is measured in the
program's own process by the Wine tests, at 100 to 200 %)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import DONE, WORKING, Pyravel  # noqa: E402

MENU_CLASS = "#32768"
DISABLED = "Disabled"
ASK_DISABLE = "Are you sure you want to disable the selected device(s)?"
ASK_ENABLE = "Are you sure you want to enable the selected device(s)?"
GREY = "#808080"
WHITE = "#FFFFFF"
DESKTOP = r"HKCU\Control Panel\Desktop"
BUTTONS = ("Rescan", "View", "Select...", "Uninstall", "Install", "Set state", "Get info", "Backup")


def check_results(app, rows, suffix):
    """The finished results dialog: the final text, one line per device, bottom row first, and the
    list and the right pane locked until OK."""
    dialog, status, lines = app.finished_results()
    assert status == [DONE], "status text: %r" % status
    assert lines == [row.cells[0] + suffix for row in sorted(rows, key=lambda r: -r.index)], lines
    assert dialog.rect[2:] == (975, 576), "results dialog %r, not 975 x 576" % (dialog.rect,)
    for cls in ("SysListView32", "_WINSUB_ WINDOW"):
        assert not app.main_window().child(cls, "")["enabled"], "%s usable during the operation" % cls
    return dialog


def close_results(app, dialog):
    app.close_results(dialog)
    for cls in ("SysListView32", "_WINSUB_ WINDOW"):
        assert app.main_window().child(cls, "")["enabled"], "%s stays locked after OK" % cls


def check_states(app, names, status, colour):
    """The rows after the rebuild, with the top of the list in view (the rebuild can leave it
    scrolled away): their status and colour (ticks and the selection across a rebuild are
    BuildInventoryTest's)."""
    app.scroll_to_top()
    for name in names:
        row = app.row_named(name)
        assert row.cells[1] == status, "%s reads %r, not %r" % (name, row.cells[1], status)
        assert row.rect[2] > 0 and not row.selected, "%s not on screen or selected" % name
        assert app.background(row.rect) == colour, "%s is drawn on %s, not %s" % (
            name, app.background(row.rect), colour)


def scenario(session):
    session.wine(["reg", "add", DESKTOP, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f"])
    try:
        act(session)
    finally:
        session.wine(["reg", "delete", DESKTOP, "/v", "LogPixels", "/f"])


def act(session):
    session.delete_settings()
    app = Pyravel(session)
    app.start_past_tip("Escape")
    main = app.main_window()
    heights = [c["rect"][3] for c in main.children if c["class"] == "Button" and c["text"] in BUTTONS]
    assert heights == [42] * len(BUTTONS), "pane buttons %r, not 42 high" % heights
    app.shot("main-window-150pct")
    first, second, untouched = app.pick_targets()
    names = [first.cells[0], second.cells[0]]
    app.tick_rows([first, second])

    # "Disable checked" from the "Set state" button's menu, its first item.
    app.click_child(app.main_window(), "Button", "Set state")
    app.wait_window_of_class(MENU_CLASS, timeout=15)
    session.press("Down", "Return")
    app.wait_window_of_class(MENU_CLASS, timeout=15, present=False)
    app.answer_question(ASK_DISABLE)
    dialog = check_results(app, [first, second], " was successfully disabled.")
    app.shot("results-disable-two-150pct")
    close_results(app, dialog)
    check_states(app, names, DISABLED, GREY)
    left_alone = app.row_named(untouched.cells[0])
    assert left_alone.cells[1] == WORKING, "a row left alone reads %r" % left_alone.cells[1]
    assert app.background(left_alone.rect) == WHITE, "a row left alone changed colour"

    # "Enable checked" by its accelerator.
    rows = [app.row_named(name) for name in names]
    app.tick_rows(rows)
    app.keys("alt+q")
    app.answer_question(ASK_ENABLE)
    close_results(app, check_results(app, rows, " was successfully enabled."))
    check_states(app, names, WORKING, WHITE)

    app.close()


if __name__ == "__main__":
    harness.run_test(scenario)
