"""A virtual X display inside the namespace, and the tools that drive it.

Xvfb listens only on the abstract socket (no TCP, no file in /tmp/.X11-unix),
and abstract sockets belong to the network namespace: nothing outside the
test's namespace can reach its display, and it reaches no one else's.
`-displayfd` lets Xvfb pick a display number that is free machine-wide.
"""

import os
import re
import select
import time

from .image import Image
from .procs import Child, HarnessError, run, wait_until


class Window:
    def __init__(self, wid, name, x, y, width, height):
        self.id = wid
        self.name = name
        self.x, self.y, self.width, self.height = x, y, width, height

    def __repr__(self):
        return f"Window({self.id}, {self.name!r}, {self.width}x{self.height}+{self.x}+{self.y})"


_NAME_LINE = re.compile(r'^(_NET_WM_NAME|WM_NAME)\s*=\s*"(.*)"\s*$')


class VirtualDisplay:
    def __init__(self, namespace, folder, size=(1024, 768)):
        self.namespace = namespace
        self.folder = folder
        self.size = size
        self.number = None
        self.child = None
        os.makedirs(folder, exist_ok=True)

    def start(self, timeout=20):
        read_end, write_end = os.pipe()
        try:
            args = ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{self.size[0]}x{self.size[1]}x24"]
            args += ["-nolisten", "tcp", "-nolisten", "unix", "-noreset"]
            log = os.path.join(self.folder, "xvfb.log")
            self.child = Child("Xvfb", self.namespace.command(args), log, pass_fds=[write_end])
            os.close(write_end)
            write_end = None
            number = self._read_line(read_end, timeout)
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        if not number.isdigit():
            self.stop()
            raise HarnessError("Xvfb did not start:\n" + (self.child.log_text() if self.child else ""))
        self.number = int(number)
        return self

    @staticmethod
    def _read_line(fd, timeout):
        # Xvfb writes the number and the line end separately and gives up if
        # the second write fails, so the pipe stays open until the line ends.
        data = b""
        deadline = time.monotonic() + timeout
        while not data.endswith(b"\n"):
            ready, _, _ = select.select([fd], [], [], max(0, deadline - time.monotonic()))
            chunk = os.read(fd, 64) if ready else b""
            if not chunk:
                break
            data += chunk
        return data.decode().strip()

    @property
    def name(self):
        return f":{self.number}"

    def env(self, base=None):
        """The environment for an X client of this display."""
        env = dict(os.environ if base is None else base)
        env["DISPLAY"] = self.name
        env.pop("XAUTHORITY", None)
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def tool(self, args, timeout=10, check=True):
        """Runs an X tool (xdotool, xprop, import, ...) against this display."""
        env = self.env()
        env["LC_ALL"] = "C.UTF-8"  # window names in UTF-8
        return run(self.namespace.command(args), timeout=timeout, check=check, env=env)

    def xdotool(self, *args, check=True):
        return self.tool(["xdotool"] + [str(a) for a in args], check=check)

    # Windows ------------------------------------------------------------

    def windows(self):
        """The visible top-level windows, bottom to top."""
        out = self.xdotool("search", "--onlyvisible", "--maxdepth", "1", "--name", "", check=False)
        root = self._root_id()
        found = []
        for wid in (int(w) for w in out.stdout.split()):
            if wid == root:
                continue
            geometry = self._geometry(wid)
            if geometry:
                found.append(Window(wid, self.window_name(wid), *geometry))
        return found

    def window_name(self, wid):
        out = self.tool(["xprop", "-id", str(wid), "-notype", "_NET_WM_NAME", "WM_NAME"], check=False)
        names = {}
        for line in out.stdout.decode("utf-8", "replace").splitlines():
            match = _NAME_LINE.match(line)
            if match:
                names[match.group(1)] = match.group(2).replace('\\"', '"').replace("\\\\", "\\")
        return names.get("_NET_WM_NAME", names.get("WM_NAME", ""))

    def wait_window(self, predicate, timeout, what="a window"):
        return wait_until(lambda: next((w for w in self.windows() if predicate(w)), None), timeout, what=what)

    def wait_gone(self, window, timeout):
        wait_until(lambda: all(w.id != window.id for w in self.windows()), timeout, what=f"{window} to close")

    def _root_id(self):
        if not hasattr(self, "_root"):
            out = self.xdotool("search", "--maxdepth", "0", "--name", "")
            self._root = int(out.stdout.split()[0])
        return self._root

    def _geometry(self, wid):
        out = self.xdotool("getwindowgeometry", "--shell", wid, check=False)
        values = dict(line.split("=", 1) for line in out.stdout.decode().splitlines() if "=" in line)
        try:
            return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])
        except (KeyError, ValueError):
            return None  # the window went away meanwhile

    # Input --------------------------------------------------------------

    def click(self, window, x, y, button=1):
        """Moves the pointer to (x, y) inside window, presses and releases."""
        self.xdotool("mousemove", "--window", window.id, x, y)
        time.sleep(0.05)  # let the window see the pointer arrive before the press
        self.xdotool("mousedown", button)
        time.sleep(0.05)
        self.xdotool("mouseup", button)

    def park_pointer(self):
        """Moves the pointer to the screen's corner, away from centred windows."""
        self.xdotool("mousemove", 0, 0)

    def key(self, window, keysym):
        """Gives window the input focus and types one key into it."""
        self.xdotool("windowfocus", window.id)
        time.sleep(0.05)
        self.xdotool("key", keysym)

    # Pictures -----------------------------------------------------------

    def screenshot(self):
        out = self.tool(["import", "-window", "root", "-depth", "8", "ppm:-"], timeout=30)
        return Image.from_ppm(out.stdout)

    def settled_screenshot(self, timeout=5, interval=0.2):
        """A screenshot taken once two in a row agree (painting has finished)."""
        previous = self.screenshot()
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            time.sleep(interval)
            current = self.screenshot()
            if current == previous:
                return current
            previous = current
        return previous

    def stop(self):
        if self.child:
            self.child.stop()
            self.child = None
