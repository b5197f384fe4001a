"""The panel program as a user meets it: a folder with the executable, its
font and its caches, and a running process whose window is driven by
clicks at the window's own coordinates."""

import datetime
import os
import shutil
import time

from . import samples
from .procs import Child, HarnessError, wait_until

FONT_FILE = "HP-15C_Simulator_Font_2.TTF"
MAIN_WINDOW = "MainFrm"
FONT_BOX_TITLE = "严重错误"
CLIENT_SIZE = (645, 349)

# Bounds in the main window's client area (left, top, width, height).
BUTTONS = {
    "close": (34, 242, 88, 84),
    "btnReset": (156, 242, 88, 84),
    "btnPrev": (278, 242, 88, 84),
    "btnNext": (400, 242, 88, 84),
    "btnAbout": (522, 242, 88, 84),
}
PANEL = (43, 32, 479, 97)  # both views occupy this rectangle


def _in_panel(left, top, width, height):
    return (PANEL[0] + left, PANEL[1] + top, width, height)


# Where each value label draws. Auto-sized labels may grow to the right, so
# their areas reach to the next label (or the panel's edge).
WEATHER_LABELS = {
    "Label1": _in_panel(10, 13, 469, 33),
    "lblLow": _in_panel(82, 48, 144, 36),
    "lblHigh": _in_panel(226, 48, 138, 36),
    "lblPM25": _in_panel(364, 48, 115, 36),
}
STATISTICS_LABELS = {
    "lblConfirmed": _in_panel(82, 13, 103, 33),
    "lblSuspected": _in_panel(284, 13, 109, 33),
    "lblCured": _in_panel(82, 48, 103, 33),
    "lblDead": _in_panel(289, 48, 104, 33),
}


class ProgramFolder:
    """A fresh folder holding a copy of the program and, unless asked
    otherwise, its font; the caches are written into it on demand."""

    def __init__(self, session, exe, with_font=True, name="program"):
        self.path = session.path(name)
        os.makedirs(self.path)
        self.exe = os.path.join(self.path, os.path.basename(exe))
        shutil.copy2(exe, self.exe)
        if with_font:
            font = os.path.join(os.path.dirname(os.path.abspath(exe)), FONT_FILE)
            if not os.path.isfile(font):
                raise HarnessError(f"{font} is missing: build the lcdfont target beside the program")
            shutil.copy2(font, os.path.join(self.path, FONT_FILE))

    def file(self, name):
        return os.path.join(self.path, name)

    def read(self, name):
        with open(self.file(name), "rb") as f:
            return f.read()

    def write(self, name, data):
        samples.write_file(self.file(name), data if isinstance(data, bytes) else data.encode("utf-8"))

    def write_weather(self, doc):
        self.write(samples.WEATHER_CACHE, samples.weather_cache_bytes(doc))

    def write_statistics(self, doc, age=datetime.timedelta(0)):
        """V.Json as if fetched `age` ago (negative: in the future)."""
        self.write(samples.STATISTICS_CACHE, samples.statistics_cache_bytes(doc, datetime.datetime.now() - age))


class Panel:
    """One run of the program inside the session's namespace and display."""

    def __init__(self, session, folder, name="infopanel"):
        self.session = session
        self.display = session.display
        self.folder = folder
        self.name = name
        self.window = None
        self.shots = 0
        self.child = Child(
            name,
            session.namespace.command([folder.exe]),
            session.path(f"{name}.log"),
            env=self.display.env(),
            cwd=session.root,  # not the program's folder: it must find its files by its own path
        )
        session.defer(self.stop)

    # Waiting ------------------------------------------------------------

    def wait(self, predicate, timeout, what):
        """wait_until that gives up at once when the program has exited."""

        def ready():
            value = predicate()
            status = self.child.poll()
            if not value and status is not None:
                raise HarnessError(f"{self.name} exited with status {status} while waiting for {what}:\n{self.log()}")
            return value

        try:
            return wait_until(ready, timeout, what=what)
        except HarnessError as error:
            if self.child.poll() is not None:
                raise
            raise HarnessError(f"{error}; windows: {self.display.windows()}") from None

    def main_window(self, timeout=30):
        """Waits for the main window and keeps it for clicks and pictures."""
        self.window = self.wait(lambda: self.find(MAIN_WINDOW), timeout, f"the {MAIN_WINDOW} window")
        return self.window

    def find(self, name):
        return next((w for w in self.display.windows() if w.name == name), None)

    def boxes(self):
        """Every visible window other than the main window: message boxes."""
        return [w for w in self.display.windows() if w.name != MAIN_WINDOW]

    def wait_box(self, timeout=30):
        return self.wait(lambda: next(iter(self.boxes()), None), timeout, "a message box")

    def dismiss(self, box, timeout=10):
        """Closes a message box with the Return key, as a user would."""
        self.display.key(box, "Return")
        self.display.wait_gone(box, timeout)

    def exit_status(self, timeout=20):
        return self.child.wait(timeout)

    # Input --------------------------------------------------------------

    def client_origin(self):
        """Where the client area starts inside the top-level window.

        A frame the program draws itself is taken as equal borders on the
        left, right and bottom with the caption bar above."""
        if self.window is None:
            raise HarnessError("the main window has not been found yet")
        frame = (self.window.width - CLIENT_SIZE[0]) // 2
        top = self.window.height - CLIENT_SIZE[1] - frame
        if frame < 0 or top < 0:
            raise HarnessError(f"{self.window} is smaller than the {CLIENT_SIZE} client area")
        return frame, top

    def click(self, control):
        left, top, width, height = BUTTONS[control]
        x, y = self.client_origin()
        self.display.click(self.window, x + left + width // 2, y + top + height // 2)

    # Pictures -----------------------------------------------------------

    def screenshot(self, label, until=None, timeout=10):
        """A settled picture of the screen, saved as <name>-<n>-<label>.png
        beside the test's logs, with the pointer parked so no button is hot.

        With `until`, pictures are taken until until(picture) holds or the
        time is up, so a slow program is given time to react to a click;
        the caller then checks the same condition on the picture returned."""
        self.display.park_pointer()
        deadline = time.monotonic() + timeout
        while True:
            time.sleep(0.3)  # let the program take in the input before settling
            shot = self.display.settled_screenshot()
            if until is None or until(shot) or time.monotonic() >= deadline:
                break
        self.shots += 1
        shot.save_png(self.session.artefact(f"{self.name}-{self.shots:02d}-{label}.png"))
        return shot

    def client_area(self, shot):
        x, y = self.client_origin()
        return shot.crop(self.window.x + x, self.window.y + y, *CLIENT_SIZE)

    def area(self, shot, rect):
        """The part of shot at rect, given in client coordinates."""
        x, y = self.client_origin()
        left, top, width, height = rect
        return shot.crop(self.window.x + x + left, self.window.y + y + top, width, height)

    @staticmethod
    def window_image(shot, window):
        return shot.crop(window.x, window.y, window.width, window.height)

    # End ----------------------------------------------------------------

    def log(self):
        return self.child.log_text()

    def stop(self):
        return self.child.stop()
