"""A first start on a fresh profile, then keys, menus, sorting and settings across two starts: the
list of the simulated PC filled before the first-run question; a click on the "Driver date" header
closes the startup tip and orders the rows by date, a second click reverses them; F5 rebuilds the
list (ticks go); Ctrl+T gives the flat list; a group button's menu opens and a second click closes
it; the window's size stored at the close comes back at the next start, where Alt+F4 in the find
window closes only that.

Then, on a fresh profile again, finding a device by part of its name and copying a row's texts:
Ctrl+C with no row selected asks for one; Ctrl+F shows the find window; F3 walks the matches in item
order whatever their case, scrolls each into view, ends with the tip and then starts again at the
top; Ctrl+C and Alt+D put the selected row's hardware ID and name on the clipboard; Esc hides the
find window."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import BOX_CLASS, TIP_CLASS, Pyravel  # noqa: E402

MENU_CLASS = "#32768"
FIND_CLASS = "__PyravelFindWnd__"
DRIVER_DATE = 4  # the column, left to right
DEFAULT_WIDTHS = [270, 120, 120, 150, 100, 120, 100, 200, 100, 300]  # of the columns on a fresh profile
SELECT_FIRST = ("Please select one item before using this feature. "
                "To select an item, click one row")
END_OF_LIST = "Find reached the end of the list."
SEARCH = "bluetooth"
FIRST_RUN = ("You seem to be using Pyravel for the first time in this PC    "
             "Do you want to create a driver backup?")


def selected_indices(app):
    return [row.index for row in app.selected_rows()]


def find_next_selects(app, session, index, full_height):
    session.press("F3")
    app.wait_for("F3 selecting row %d" % index, lambda: selected_indices(app) == [index],
                 timeout=10)
    row = app.selected_rows()[0]
    assert SEARCH in row.cells[0].lower(), "found %r" % row.cells[0]
    assert row.rect[3] == full_height, "row %d is not wholly in view: %r" % (index, row.rect)


def checked_rows(app):
    return [row.index for row in app.list_rows() if row.checked]


def dates(app):
    return [row.cells[DRIVER_DATE] for row in app.list_rows()]


def header_spot(app, column):
    """A one-pixel spot in the middle of a column's header, the columns at their default widths."""
    x, y, _, h = app.main_window().child("SysHeader32", "")["rect"]
    left = x + sum(DEFAULT_WIDTHS[:column])
    return (left + DEFAULT_WIDTHS[column] // 2, y + h // 2, 1, 1)


def assert_by_date(found, descending, what):
    # Dates are "YYYY/MM/DD", so their text order is their date order; an empty cell sorts first.
    expected = sorted(found, key=lambda text: (text != "", text), reverse=descending)
    assert found == expected, "%s: rows not ordered by date: %r" % (what, found)


def keys_and_settings(session):
    session.delete_settings()
    app = Pyravel(session)
    app.start()
    texts, buttons = app.box_texts(timeout=60)
    assert FIRST_RUN in texts and buttons == ["Yes", "No"], "first-run question: %r %r" % (texts, buttons)
    # The list is filled before the question is asked (which devices it holds is BuildInventoryTest's).
    count = app.rows()[0]
    assert count > 0, "the list is empty when the first-run question is asked"
    app.answer_box("No")
    app.wait_window_of_class(TIP_CLASS)

    # A click on the header closes the tip and orders the rows by date (at start they are by name,
    # which is no date order); a second click reverses them.
    before = dates(app)
    app.click_rect(header_spot(app, DRIVER_DATE))
    app.wait_window_of_class(TIP_CLASS, present=False)
    ascending = app.wait_for("rows by date", lambda: (lambda d: d != before and d)(dates(app)))
    assert_by_date(ascending, False, "first click")
    app.click_rect(header_spot(app, DRIVER_DATE))
    descending = app.wait_for("rows reversed", lambda: (lambda d: d != ascending and d)(dates(app)))
    assert_by_date(descending, True, "second click")

    # A row selected with a click and ticked with the keyboard; F5 rebuilds the list: the tick goes
    # (the user's order surviving a rebuild is BuildInventoryTest's).
    app.click_rect([row for row in app.list_rows() if row.rect[2] > 0][8].rect)
    app.keys("space")
    assert len(checked_rows(app)) == 1, "space did not tick the selected row: %r" % checked_rows(app)
    app.keys("F5")
    app.wait_for("the list rebuilt without ticks", lambda: checked_rows(app) == [], timeout=10)

    # The View button's menu: open, closed by a second click, open again after a pause.
    view = app.main_window().child("Button", "View")
    app.click_rect(view["rect"])
    app.wait_window_of_class(MENU_CLASS, timeout=15)
    app.click_rect(view["rect"])
    app.wait_window_of_class(MENU_CLASS, timeout=15, present=False)
    time.sleep(0.6)
    assert app.window_of_class(MENU_CLASS) is None, "the closing click opened the menu again"
    app.click_rect(view["rect"])
    app.wait_window_of_class(MENU_CLASS, timeout=15)
    session._xdotool(["key", "Escape"])
    app.wait_window_of_class(MENU_CLASS, timeout=15, present=False)

    # Ctrl+T: the flat list (sorted by Class, as BuildInventoryTest and UiDeviceList's sorting show).
    app.keys("ctrl+t")
    time.sleep(1)
    count_flat, grouped_flat, _ = app.rows()
    assert count_flat == count, "the flat list has %d rows, not %d" % (count_flat, count)
    assert not grouped_flat, "Ctrl+T left the list grouped"
    main_rect = app.main_window().rect

    app.close()
    stored = (session.setting("WindowCx"), session.setting("WindowCy"))
    assert stored == (main_rect[2], main_rect[3]), (stored, main_rect)

    # The next start: no first-run question, and the window size comes back (which settings are
    # written and applied is SettingsTest's and MainWindowTest's).
    session.write_setting("WindowCx", main_rect[2] + 40)
    app.start()
    app.wait_window_of_class(TIP_CLASS)
    assert app.window_of_class(BOX_CLASS) is None, "first-run question on a second start"
    rect = app.main_window().rect
    assert (rect[2], rect[3]) == (main_rect[2] + 40, main_rect[3]), (rect, main_rect)
    # The first key closes the tip and opens the find window, where Alt+F4 closes only that window;
    # last, as Wine's window takes no further accelerators after an Alt chord.
    app.keys("ctrl+f")
    app.wait_window_of_class(FIND_CLASS)
    session.press("alt+F4")
    app.wait_window_of_class(FIND_CLASS, timeout=10, present=False)
    assert app.window_of_class("__PyravelClass__") is not None, "Alt+F4 in the find window ended the program"
    app.close()


def find_and_copy(session):
    session.delete_settings()
    app = Pyravel(session)
    app.start()
    app.answer_box("No")
    app.wait_window_of_class(TIP_CLASS)
    rows = app.list_rows()
    full_height = max(row.rect[3] for row in rows)
    assert not any(row.selected for row in rows), "a row is selected at start"

    # The first key after the question closes the tip and still reaches the command, which needs a
    # selected row.
    app.keys("ctrl+c")
    texts, buttons = app.box_texts()
    assert SELECT_FIRST in texts and buttons == ["OK"], (texts, buttons)
    assert app.window_of_class(TIP_CLASS) is None, "the tip outlived the key"
    app.answer_box("OK")
    assert app.clipboard() is None, "something was copied with no row selected"

    app.keys("ctrl+f")
    find = app.wait_window_of_class(FIND_CLASS)
    app.wait_for("the focus in the search box", lambda: app.focus() == ("Edit", "", FIND_CLASS),
                 timeout=10)
    main = app.main_window()
    assert find.rect == (main.rect[0] + 300, main.rect[1] + 7, 255, 22), (find.rect, main.rect)

    # An empty search box: nothing is selected, no tip, and the box keeps the focus.
    session.press("F3")
    time.sleep(1)
    assert selected_indices(app) == [] and app.window_of_class(TIP_CLASS) is None
    assert app.focus() == ("Edit", "", FIND_CLASS), app.focus()
    session.type_text(SEARCH)
    app.wait_for("the search text typed", lambda: app.window_of_class(FIND_CLASS).child(
        "Edit", SEARCH) is not None, timeout=10)

    # Every match in item order, the capitalised names included, then the end of the list.
    matches = [row.index for row in rows if SEARCH in row.cells[0].lower()]
    assert len(matches) >= 3 and any(rows[i].rect[2] == 0 for i in matches), (
        "the fixture should give matches below the first screen: %r" % matches)
    assert all(SEARCH not in rows[i].cells[0] for i in matches), "a match is in lower case"
    for index in matches:
        find_next_selects(app, session, index, full_height)
    session.press("F3")
    tip = app.wait_window_of_class(TIP_CLASS, timeout=10)
    assert tip.child("Static", END_OF_LIST) is not None, tip.children
    assert selected_indices(app) == [matches[-1]], "the selection moved at the end"
    # The next F3 closes the tip and starts again at the top.
    find_next_selects(app, session, matches[0], full_height)
    app.wait_window_of_class(TIP_CLASS, timeout=10, present=False)

    # Ctrl+F again puts the keys back in the search box, where Esc hides the find window.
    app.keys("ctrl+f")
    app.wait_for("the focus in the search box", lambda: app.focus() == (
        "Edit", SEARCH, FIND_CLASS), timeout=10)
    session.press("Escape")
    app.wait_window_of_class(FIND_CLASS, timeout=10, present=False)

    # Copies of a selected row whose hardware ID holds characters a web search would escape.
    shown = [row for row in app.list_rows() if row.rect[3] == full_height
             and "&" in row.cells[7] and "\\" in row.cells[7]]
    assert shown, "no row on screen with such a hardware ID"
    row = shown[0]
    app.click_rect(row.rect)
    app.wait_for("the row selected", lambda: selected_indices(app) == [row.index], timeout=10)
    app.keys("ctrl+c")
    app.wait_for("the hardware ID copied", lambda: app.clipboard() == row.cells[7], timeout=10)
    # Last: under Wine the window takes no further accelerators after an Alt chord.
    app.keys("alt+d")
    app.wait_for("the name copied", lambda: app.clipboard() == row.cells[0], timeout=10)
    app.close()


def scenario(session):
    keys_and_settings(session)
    find_and_copy(session)


if __name__ == "__main__":
    harness.run_test(scenario)
