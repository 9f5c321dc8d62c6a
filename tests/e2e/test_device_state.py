"""Disabling and enabling ticked devices on the simulated PC: the question, the results dialog with
one line per device (bottom row first), the locked window while it is open, the rows reading
"Disabled" on grey after OK, and back to "Working properly"; with nothing ticked the question
still comes first."""

import collections
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import Pyravel  # noqa: E402

MENU_CLASS = "#32768"
RESULTS_CLASS = "_WND_PROGRESS_DLG_"
WORKING = "Working properly"
DISABLED = "Disabled"
DONE = "Operation complete. Results are displayed in the list above."
ASK_DISABLE = "Are you sure you want to disable the selected device(s)?"
ASK_ENABLE = "Are you sure you want to enable the selected device(s)?"
CHECK_FIRST = "Please check one or more items before using this feature."
GREY = "#808080"
WHITE = "#FFFFFF"
STAMP = re.compile(r"^\d{4}/\d\d/\d\d \d\d:\d\d:\d\d:\d{3}$")


def rows_by_name(app, names):
    rows = {row.cells[0]: row for row in app.list_rows() if row.cells[0] in names}
    assert sorted(rows) == sorted(names), "rows %r not found after the rebuild" % (
        sorted(set(names) - set(rows)))
    return rows


def pick_targets(app):
    """Two rows working properly, fully on screen, whose names appear once: the rebuild puts
    rows back in a new order, so they are found again by name."""
    rows = app.list_rows()
    full = max(row.rect[3] for row in rows)
    names = collections.Counter(row.cells[0] for row in rows)
    fit = [row for row in rows if row.cells[1] == WORKING and names[row.cells[0]] == 1
           and row.rect[3] == full]
    assert len(fit) >= 6, "too few rows to act on: %r" % [row.cells[0] for row in fit]
    # Not neighbours, and neither the first row on screen (the click that closed the tip); a row
    # between them is left alone.
    return fit[2], fit[5], fit[4]


def tick(app, rows):
    for row in rows:
        app.click_rect(row.rect)
        app.wait_for("row %d selected" % row.index,
                     lambda: [r.index for r in app.selected_rows()] == [row.index], timeout=10)
        app.keys("space")
    app.wait_for("both rows ticked", lambda: sorted(
        r.index for r in app.list_rows() if r.checked) == sorted(r.index for r in rows), timeout=10)


def results_dialog_finished(app):
    dialog = app.window_of_class(RESULTS_CLASS)
    if dialog is None or dialog.child("Button", "OK") is None:
        return None
    return dialog


def check_results(app, rows, suffix):
    """The finished results dialog: the final text, and one line per device, bottom row first."""
    dialog = app.wait_for("the finished results dialog", lambda: results_dialog_finished(app))
    edits = [c["text"] for c in dialog.children if c["class"] == "Edit"]
    assert edits == [DONE], "status text: %r" % edits
    assert dialog.child("Button", "Cancel") is None, "a Cancel button is left"
    lines = app.list_rows(RESULTS_CLASS)
    expected = [row.cells[0] + suffix for row in sorted(rows, key=lambda r: -r.index)]
    assert [line.cells[1] for line in lines] == expected, "result lines: %r" % (
        [line.cells[1] for line in lines])
    for line in lines:
        assert STAMP.match(line.cells[0]), "time stamp %r" % line.cells[0]

    # The list and the right pane stay locked until OK.
    main = app.main_window()
    assert not main.child("SysListView32", "")["enabled"], "the list is usable during the operation"
    assert not main.child("_WINSUB_ WINDOW", "")["enabled"], "the pane is usable during it"
    return dialog


def close_results(app, dialog):
    app.click_child(dialog, "Button", "OK")
    app.wait_window_of_class(RESULTS_CLASS, present=False)
    main = app.main_window()
    assert main.child("SysListView32", "")["enabled"], "the list stays locked after OK"
    assert main.child("_WINSUB_ WINDOW", "")["enabled"], "the pane stays locked after OK"


def question_gone(app, question):
    box = app.window_of_class("_WINDOW_MsgBoxClass")
    return box is None or box.child("Static", question) is None


def answer_question(app, question):
    texts, buttons = app.box_texts()
    assert question in texts, "question shown: %r" % texts
    assert buttons == ["Yes", "No"], buttons
    app.click_child(app.window_of_class("_WINDOW_MsgBoxClass"), "Button", "Yes")
    # Another box may follow at once, so wait for this question to go rather than for no box.
    app.wait_for("the question answered", lambda: question_gone(app, question))


def scroll_to_top(app):
    """Selects the first row with the keyboard, which brings the top of the list into view."""
    shown = [row for row in app.list_rows() if row.rect[2] > 0]
    app.click_rect(shown[len(shown) // 2].rect)
    app.keys("Home")
    app.wait_for("the first row selected and shown", lambda: [
        (row.index, row.rect[2] > 0) for row in app.selected_rows()] == [(0, True)], timeout=10)


def check_states(app, names, status, colour, selected):
    """The rows after the rebuild: their status, no ticks, the selection kept on the same device;
    then, with the top of the list in view, their colour."""
    rows = rows_by_name(app, names)
    for name, row in rows.items():
        assert row.cells[1] == status, "%s reads %r, not %r" % (name, row.cells[1], status)
        assert not row.checked, "%s is still ticked after the rebuild" % name
    now_selected = [row.cells[0] for row in app.selected_rows()]
    assert now_selected == [selected], "selected after the rebuild: %r" % now_selected
    # The rebuild can leave the list scrolled away from these rows.
    scroll_to_top(app)
    rows = rows_by_name(app, names)
    for name, row in rows.items():
        assert row.rect[2] > 0 and not row.selected, "%s not on screen or selected" % name
        assert app.background(row.rect) == colour, "%s is drawn on %s, not %s" % (
            name, app.background(row.rect), colour)
    return rows


def scenario(session):
    session.delete_settings()
    app = Pyravel(session)
    app.start()
    app.answer_box("No")
    app.wait_window_of_class("_WndMsgTipClass")

    # A click on the first row closes the tip.
    app.click_rect(app.list_rows()[0].rect)
    app.wait_window_of_class("_WndMsgTipClass", present=False)
    first, second, untouched = pick_targets(app)
    names = [first.cells[0], second.cells[0]]
    tick(app, [first, second])

    # "Disable checked" from the "Set state" button's menu, its first item.
    app.click_child(app.main_window(), "Button", "Set state")
    app.wait_window_of_class(MENU_CLASS, timeout=15)
    session.press("Down", "Return")
    app.wait_window_of_class(MENU_CLASS, timeout=15, present=False)
    answer_question(app, ASK_DISABLE)
    dialog = check_results(app, [first, second], " was successfully disabled.")
    session.wait_still()
    shot = session.screenshot("results-disable-two")
    print("screenshot: " + shot)
    close_results(app, dialog)
    check_states(app, names, DISABLED, GREY, second.cells[0])
    left_alone = rows_by_name(app, [untouched.cells[0]])[untouched.cells[0]]
    assert left_alone.cells[1] == WORKING, "a row left alone reads %r" % left_alone.cells[1]
    assert app.background(left_alone.rect) == WHITE, "a row left alone changed colour"

    # "Enable checked" by its accelerator.
    rows = rows_by_name(app, names)
    tick(app, [rows[names[0]], rows[names[1]]])
    app.keys("alt+q")
    answer_question(app, ASK_ENABLE)
    dialog = check_results(app, list(rows.values()), " was successfully enabled.")
    close_results(app, dialog)
    check_states(app, names, WORKING, WHITE, names[1])

    # With nothing ticked the question comes first, then the message; no dialog opens.
    app.keys("ctrl+q")
    answer_question(app, ASK_DISABLE)
    texts, buttons = app.box_texts()
    assert CHECK_FIRST in texts and buttons == ["OK"], (texts, buttons)
    app.answer_box("OK")
    assert app.window_of_class(RESULTS_CLASS) is None, "a results dialog opened for no rows"
    assert [row.cells[1] for row in app.list_rows() if row.cells[0] in names] == [WORKING] * 2
    app.close()


if __name__ == "__main__":
    harness.run_test(scenario)
