"""Where the device list's columns are on screen, for clicks on their headers."""

import harness

# Column indices and default widths of the device list, left to right.
DEVICE_NAME, STATUS, CLASS, MANUFACTURER, DRIVER_DATE = range(5)
DEFAULT_WIDTHS = [270, 120, 120, 150, 100, 120, 100, 200, 100, 300]


def header_spot(app, column, widths=DEFAULT_WIDTHS):
    """A one-pixel spot in the middle of a column's header, with the columns at the widths given
    (the defaults on a fresh profile)."""
    header = app.main_window().child("SysHeader32", "")
    if header is None:
        raise harness.HarnessError("the list shows no header")
    x, y, w, h = header["rect"]
    left = x + sum(widths[:column])
    if left + widths[column] // 2 >= x + w:
        raise harness.HarnessError("column %d is scrolled out of the header" % column)
    return (left + widths[column] // 2, y + h // 2, 1, 1)
