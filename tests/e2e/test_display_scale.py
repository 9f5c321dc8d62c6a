"""At 150 % display scale (the prefix's LogPixels at 144) the program lays itself out at that scale:
the pane's buttons take 1.5 times their size, every text control lies inside its window and
overlaps no other, the list's rows hold their 24-pixel check boxes, and the results dialog is 1.5
times its size. The main window and the results dialog are photographed as the program shows them;
that each text is whole in its control is measured in the program's own process by the Wine tests,
at 100, 125, 150 and 200 %."""

import itertools
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from pyravel_app import Pyravel  # noqa: E402

DESKTOP = r"HKCU\Control Panel\Desktop"
ASK_DISABLE = "Are you sure you want to disable the selected device(s)?"
BUTTONS = ("Rescan", "View", "Select...", "Uninstall", "Install", "Set state", "Get info", "Backup")


def check_texts_placed(window):
    """Every control showing a text lies inside the window and overlaps no other."""
    x, y, w, h = window.rect
    texts = [c for c in window.children
             if c["text"] and c["class"] in ("Button", "Static", "SysLink")]
    assert texts, "no texts in %s" % window.cls
    for c in texts:
        cx, cy, cw, ch = c["rect"]
        assert x <= cx and y <= cy and cx + cw <= x + w and cy + ch <= y + h, (
            "%r at %r outside %s %r" % (c["text"], c["rect"], window.cls, window.rect))
    for a, b in itertools.combinations(texts, 2):
        (ax, ay, aw, ah), (bx, by, bw, bh) = a["rect"], b["rect"]
        assert not (ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah), (
            "%r overlaps %r" % (a["text"], b["text"]))


def scenario(session):
    session.wine(["reg", "add", DESKTOP, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f"])
    try:
        session.delete_settings()
        app = Pyravel(session)
        app.start_past_tip()
        main = app.main_window()
        heights = [c["rect"][3] for c in main.children
                   if c["class"] == "Button" and c["text"] in BUTTONS]
        assert heights == [42] * len(BUTTONS), "pane buttons %r, not 42 high" % heights
        check_texts_placed(main)
        shown = [row.rect[3] for row in app.list_rows() if row.rect[3] > 0]
        assert min(shown[:-1]) >= 24, "rows %r lower than their check boxes" % sorted(set(shown))
        app.shot("main-window-150pct")

        first = app.pick_targets()[0]
        app.tick_rows([first])
        app.keys("ctrl+q")
        app.answer_question(ASK_DISABLE)
        dialog, _, lines = app.finished_results()
        assert lines == [first.cells[0] + " was successfully disabled."], lines
        assert dialog.rect[2:] == (975, 576), "results dialog %r, not 975 x 576" % (dialog.rect,)
        check_texts_placed(dialog)
        app.shot("results-dialog-150pct")
        app.close_results(dialog)
        app.close()
    finally:
        session.wine(["reg", "delete", DESKTOP, "/v", "LogPixels", "/f"])


if __name__ == "__main__":
    harness.run_test(scenario)
