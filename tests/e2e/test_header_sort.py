"""Sorting by a column header: a click on "Driver date" orders the rows by date, a second click
reverses them, F5 keeps the order the user chose."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from device_columns import DRIVER_DATE, header_spot  # noqa: E402
from pyravel_app import TIP_CLASS, Pyravel  # noqa: E402


def date_key(text):
    # Dates are "YYYY/MM/DD", so their text order is their date order; an empty cell sorts first.
    return (text != "", text)


def dates(app):
    return [row.cells[DRIVER_DATE] for row in app.list_rows()]


def assert_ordered(found, descending, what):
    expected = sorted(found, key=date_key, reverse=descending)
    assert found == expected, "%s: rows not ordered by date: %r" % (what, found)


def scenario(session):
    session.delete_settings()
    app = Pyravel(session)
    app.start()
    app.answer_box("No")
    app.wait_window_of_class(TIP_CLASS)
    before = dates(app)
    assert len(set(before)) > 2, "the PC needs several driver dates: %r" % set(before)
    # Sorted by name at start, which is no date order.
    assert before != sorted(before, key=date_key), "the start order already is by date"

    app.click_rect(header_spot(app, DRIVER_DATE))
    app.wait_window_of_class(TIP_CLASS, present=False)
    ascending = app.wait_for("rows by date", lambda: (lambda d: d != before and d)(dates(app)))
    assert_ordered(ascending, False, "first click")

    app.click_rect(header_spot(app, DRIVER_DATE))
    descending = app.wait_for("rows reversed", lambda: (lambda d: d != ascending and d)(dates(app)))
    assert_ordered(descending, True, "second click")
    session.wait_still()
    session.screenshot("sorted-by-driver-date")

    app.keys("F5")
    time.sleep(1.5)
    after = dates(app)
    assert sorted(after) == sorted(descending), "F5 changed the rows"
    assert_ordered(after, True, "after F5")


if __name__ == "__main__":
    harness.run_test(scenario)
