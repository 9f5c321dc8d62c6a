"""Finding a device by part of its name and copying a row's texts: Ctrl+C with no row selected
asks for one; Ctrl+F shows the find window; F3 walks the matches in item order whatever their
case, scrolls each into view, ends with the tip and then starts again at the top; Ctrl+C and
Alt+D put the selected row's hardware ID and name on the clipboard; Esc hides the find window
(Alt+F4 in it is the keys scenario's)."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import TIP_CLASS, Pyravel  # noqa: E402

FIND_CLASS = "__PyravelFindWnd__"
SELECT_FIRST = ("Please select one item before using this feature. "
                "To select an item, click one row")
END_OF_LIST = "Find reached the end of the list."
SEARCH = "bluetooth"


def selected_indices(app):
    return [row.index for row in app.selected_rows()]


def find_next_selects(app, session, index, full_height):
    session.press("F3")
    app.wait_for("F3 selecting row %d" % index, lambda: selected_indices(app) == [index],
                 timeout=10)
    row = app.selected_rows()[0]
    assert SEARCH in row.cells[0].lower(), "found %r" % row.cells[0]
    assert row.rect[3] == full_height, "row %d is not wholly in view: %r" % (index, row.rect)


def scenario(session):
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
    assert find.title == "Find a device", find.title
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


if __name__ == "__main__":
    harness.run_test(scenario)
