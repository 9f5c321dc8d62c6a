"""The sandbox program as the end-to-end tests see it: started in a WineSession, looked at through
the ui_probe helper (window texts, positions and list rows of another process), driven with keys
and clicks."""

import collections
import glob
import os
import subprocess
import time

import harness

ROOT = harness.ROOT
TITLE = "Pyravel"
FIXTURE = os.path.join(ROOT, "sandbox", "fixture", "pc.json")
BOX_CLASS = "_WINDOW_MsgBoxClass"
TIP_CLASS = "_WndMsgTipClass"
RESULTS_CLASS = "_WND_PROGRESS_DLG_"
WORKING = "Working properly"
DONE = "Operation complete. Results are displayed in the list above."


class Window:
    def __init__(self, cls, title, rect):
        self.cls, self.title, self.rect = cls, title, rect
        self.children = []

    def child(self, cls, text):
        return next((c for c in self.children if c["class"] == cls and c["text"] == text), None)


# One row of a list view as the probe reads it: index, tick, twelve cell texts, selection and the
# row's visible part on screen (x, y, w, h; w == 0 when it is scrolled away).
Row = collections.namedtuple("Row", "index checked cells selected rect")


class Pyravel:
    def __init__(self, session, exe=None, args=()):
        self.session = session
        self.exe = exe or os.path.join(session.build_dir, "pyravel-sandbox.exe")
        self.args = list(args)
        self.probe_exe = os.path.join(session.build_dir, "tests", "ui_probe.exe")
        self.window = None

    def start(self):
        self.process = self.session.launch(self.exe, self.args)
        self.window = self.session.wait_window(TITLE, timeout=120)
        return self.window

    # What the program shows ------------------------------------------------------------------

    def _run_probe(self, args, attempts=3):
        """The probe's output lines. A probe that ends without a word met a window or list that
        changed while it read it (a rebuild, a closing dialog), so it is asked again."""
        for attempt in range(attempts):
            result = self.session.wine([self.probe_exe] + args, timeout=60)
            lines = result.stdout.splitlines()
            if lines:
                break
            time.sleep(0.3)
        if not lines or lines[0].startswith("error"):
            raise harness.HarnessError("ui_probe %s: %s %s" % (
                " ".join(args), result.stdout, result.stderr))
        return lines

    def _probe(self, what):
        return [line.split("\t") for line in self._run_probe([what, TITLE])]

    def windows(self):
        """Visible top-level windows of the program, each with its visible children."""
        found = []
        for fields in self._probe("windows"):
            if fields[0] == "window":
                found.append(Window(fields[1], fields[2], tuple(int(v) for v in fields[3:7])))
            elif fields[0] == "child" and found:
                found[-1].children.append({
                    "class": fields[1], "text": fields[2], "enabled": fields[3] == "1",
                    "rect": tuple(int(v) for v in fields[4:8])})
        return found

    def window_of_class(self, cls):
        return next((w for w in self.windows() if w.cls == cls), None)

    def wait_window_of_class(self, cls, timeout=30, present=True):
        """The window of that class once shown (or None once it is gone, when present is false)."""
        windows = self.wait_for("window of class %s %s" % (cls, "shown" if present else "gone"), lambda: [
            w for w in [self.window_of_class(cls)] if (w is not None) == present], timeout)
        return windows[0]

    def rows(self, window_class=None):
        """(row count, grouped, [Row]) of the main window's list, or of the list in the program's
        window of that class."""
        lines = [line.split("\t") for line in
                 self._run_probe(["list", TITLE] + ([window_class] if window_class else []))]
        return int(lines[0][1]), lines[0][3] == "1", [
            Row(int(f[1]), f[2] == "1", f[3:15], f[15] == "1", tuple(int(v) for v in f[16:20]))
            for f in lines[1:] if f[0] == "row"]

    def list_rows(self, window_class=None):
        return self.rows(window_class)[2]

    def selected_rows(self):
        return [row for row in self.list_rows() if row.selected]

    def focus(self):
        """(class, text, top-level window class) of the window with the keyboard focus."""
        fields = self._probe("focus")[0]
        return tuple(fields[1:4])

    def clipboard(self):
        """The clipboard's Unicode text, or None when it holds none."""
        fields = self._run_probe(["clipboard"])[0].split("\t")
        return None if fields[1] == "none" else fields[2]

    def background(self, rect):
        """The colour most of the rectangle on screen shows, as "#RRGGBB"."""
        x, y, w, h = rect
        out = subprocess.run(
            ["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage",
             "-format", "%c", "histogram:info:-"],
            env=self.session.env, capture_output=True, text=True, check=True).stdout
        counts = []
        for line in out.splitlines():
            count, _, rest = line.strip().partition(":")
            colour = [word for word in rest.split() if word.startswith("#")]
            if count.isdigit() and colour:
                counts.append((int(count), colour[0][:7].upper()))
        return max(counts)[1]

    def wait_for(self, what, condition, timeout=30, interval=0.3):
        """Polls condition() until it gives a true value, which it returns."""
        deadline = time.time() + timeout
        while True:
            value = condition()
            if value:
                return value
            if time.time() >= deadline:
                raise harness.HarnessError("%s: not seen after %d s" % (what, timeout))
            time.sleep(interval)

    # Acting on it ----------------------------------------------------------------------------

    def click_rect(self, rect):
        x, y, w, h = rect
        self.session.click(x + w // 2, y + h // 2)

    def click_child(self, window, cls, text):
        self.click_rect(window.child(cls, text)["rect"])

    def main_window(self):
        return self.window_of_class("__PyravelClass__")

    def keys(self, *keys):
        """Sends key chords such as "ctrl+t" or "F5" to the main window, which gets the focus first."""
        self.session._xdotool(["windowfocus", "--sync", str(self.window)])
        self.session.press(*keys)

    def box_texts(self, timeout=30):
        """The texts and the buttons of the box that is open, or that opens within the timeout."""
        box = self.wait_window_of_class(BOX_CLASS, timeout)
        texts = [c["text"] for c in box.children if c["class"] == "Static" and c["text"]]
        buttons = [c["text"] for c in box.children if c["class"] == "Button"]
        return texts, buttons

    def answer_box(self, button, timeout=30):
        box = self.wait_window_of_class(BOX_CLASS, timeout)
        self.click_child(box, "Button", button)
        self.wait_window_of_class(BOX_CLASS, timeout, present=False)

    def close(self):
        """Asks the main window to close as its caption's close box does, and waits for the end."""
        self.keys("alt+F4")
        self.session.wait_window(TITLE, timeout=60, present=False)

    # Steps the scenarios share -----------------------------------------------------------------

    def start_past_tip(self, key=None):
        """Starts; No to the first-run question when one is asked (or the key given, which has the
        focus), then a click on the first row closes the tip."""
        self.start()
        self.wait_for("the first-run question or the tip", lambda: self.window_of_class(BOX_CLASS)
                      or self.window_of_class(TIP_CLASS), timeout=60)
        if self.window_of_class(BOX_CLASS) is not None:
            if key:
                self.session.press(key)
            else:
                self.answer_box("No")
        self.wait_window_of_class(TIP_CLASS)
        self.click_rect(self.list_rows()[0].rect)
        self.wait_window_of_class(TIP_CLASS, present=False)

    def shot(self, name):
        self.session.wait_still()
        print("screenshot: " + self.session.screenshot(name))

    def listed_names(self):
        return [row.cells[0] for row in self.list_rows()]

    def row_named(self, name):
        rows = [row for row in self.list_rows() if row.cells[0] == name]
        assert len(rows) == 1, "%d rows named %s" % (len(rows), name)
        return rows[0]

    def pick_targets(self):
        """Three rows working properly, fully on screen, whose names appear once (a rebuild puts rows
        back in a new order, so they are found again by name); not neighbours, and not the first row
        on screen (the click that closed the tip)."""
        rows = self.list_rows()
        full = max(row.rect[3] for row in rows)
        names = collections.Counter(row.cells[0] for row in rows)
        fit = [row for row in rows if row.cells[1] == WORKING and names[row.cells[0]] == 1
               and row.rect[3] == full]
        return fit[2], fit[5], fit[4]

    def tick_rows(self, rows):
        """Ticks the rows with a click and the space bar each."""
        for row in rows:
            self.click_rect(row.rect)
            self.wait_for("row %d selected" % row.index,
                          lambda: [r.index for r in self.selected_rows()] == [row.index], timeout=10)
            self.keys("space")
        self.wait_for("rows ticked", lambda: sorted(r.index for r in self.list_rows() if r.checked)
                      == sorted(r.index for r in rows), timeout=10)

    def tick_names(self, names):
        """Ticks the one row of each name, reached with the keyboard from the top of the list."""
        for name in names:
            index = self.row_named(name).index
            self.scroll_to_top()
            self.keys(*(["Down"] * index))
            self.wait_for("%s selected" % name, lambda: [r.index for r in self.selected_rows()] == [index],
                          timeout=20)
            self.keys("space")
        self.wait_for("rows ticked", lambda: sorted(r.cells[0] for r in self.list_rows() if r.checked)
                      == sorted(names), timeout=10)

    def scroll_to_top(self):
        """Selects the first row with the keyboard, which brings the top of the list into view."""
        shown = [row for row in self.list_rows() if row.rect[2] > 0]
        self.click_rect(shown[len(shown) // 2].rect)
        self.keys("Home")
        self.wait_for("the first row selected and shown", lambda: [
            (row.index, row.rect[2] > 0) for row in self.selected_rows()] == [(0, True)], timeout=10)

    def answer_question(self, question, answer="Yes", whole=True):
        """Checks the Yes/No box shows the question (or begins with it) and answers it."""
        texts, buttons = self.box_texts()
        assert any(t == question or (not whole and t.startswith(question)) for t in texts), (
            "question shown: %r" % texts)
        assert buttons == ["Yes", "No"], buttons
        self.click_child(self.window_of_class(BOX_CLASS), "Button", answer)

        def gone():
            box = self.window_of_class(BOX_CLASS)
            return box is None or not any(c["text"].startswith(question) for c in box.children)
        # Another box may follow at once, so wait for this question to go rather than for no box.
        self.wait_for("the question answered", gone)

    def finished_results(self, timeout=30):
        """The finished results dialog (its Cancel button now OK), its status texts and its lines."""
        def finished():
            dialog = self.window_of_class(RESULTS_CLASS)
            return dialog if dialog and dialog.child("Button", "OK") else None
        dialog = self.wait_for("the finished results dialog", finished, timeout)
        status = [c["text"] for c in dialog.children if c["class"] == "Edit"]
        lines = [line.cells[1] for line in self.list_rows(RESULTS_CLASS)]
        return dialog, status, lines

    def close_results(self, dialog):
        self.click_child(dialog, "Button", "OK")
        self.wait_window_of_class(RESULTS_CLASS, present=False)

    def results(self, timeout=30):
        """The finished results window's status and lines, then closed."""
        dialog, status, lines = self.finished_results(timeout)
        self.close_results(dialog)
        return status, lines

    def done_lines(self):
        """The lines of a finished results window whose status is the usual one, then closed."""
        status, lines = self.results()
        assert status == [DONE], "status text: %r" % status
        return lines


def store_folder(session):
    """The sandbox's driver store in the Wine prefix (it holds FileRepository)."""
    return glob.glob(os.path.join(session.prefix, "drive_c", "users", "*", "AppData", "Local", "Pyravel Sandbox",
                                  "DriverStore"))[0]


def wine_path(path):
    """A Linux path as the Wine side sees it: the Linux root is drive Z:."""
    return "Z:" + path.replace("/", "\\")


def write_inf(folder, name, driver_ver, hardware_id, cls):
    """An INF of the class for the hardware ID with the two files it lists, as a vendor's download
    has them."""
    os.makedirs(folder, exist_ok=True)
    base = name.rsplit(".", 1)[0]
    for f in (base + ".sys", base + ".cat"):
        with open(os.path.join(folder, f), "wb") as out:
            out.write(b"driver file " + f.encode())
    with open(os.path.join(folder, name), "w", encoding="utf-8", newline="\r\n") as out:
        out.write("[Version]\nSignature=\"$WINDOWS NT$\"\nClass=%s\nProvider=%%Maker%%\n"
                  "DriverVer=%s\nCatalogFile=%s.cat\n\n[Manufacturer]\n%%Maker%%=Models,NTamd64\n\n"
                  "[Models.NTamd64]\n%%Device%%=Install, %s\n\n[SourceDisksFiles]\n%s.sys=1\n%s.cat=1\n\n"
                  "[Strings]\nMaker=\"Vendor\"\nDevice=\"Device\"\n"
                  % (cls, driver_ver, base, hardware_id, base, base))
