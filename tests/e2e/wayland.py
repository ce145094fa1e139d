"""A Wayland desktop for end-to-end tests: Weston nested in the session's Xvfb.

Weston runs with its x11 backend as one X window at the top-left corner of the
session's display, its desktop black and without a panel, so that whatever is
not black on its output is a client's drawing. The program is then started as
a native Wayland client (QT_QPA_PLATFORM=wayland) on Weston's socket. There is
no X window per client: windows are found on screenshots of Weston's output,
and clicks go to Weston's X window at output coordinates.
"""

import shutil
import time
import unittest

import harness

OUTPUT_WIDTH, OUTPUT_HEIGHT = 1200, 950
SOCKET = "tovakidoviv-wayland-0"
BLACK_LIMIT = 12          # a channel at most this is the empty desktop
# Qt draws the decoration of its windows on Wayland: a title bar above the
# client area and a thin frame around it (left, top, right, bottom). Without
# it, the software OpenGL of this test machine hands Weston buffers of odd
# widths with a wrong stride, which draws nothing or garbage.
DECORATION = (3, 30, 3, 3)

WESTON_INI = """[core]
idle-time=0
[shell]
background-color=0xff000000
panel-position=none
locking=false
animation=none
startup-animation=none
"""


def available():
    return shutil.which("weston") is not None


class Desktop:
    """Weston on the session's display; start() before the program."""

    def __init__(self, session):
        self.session = session
        self.runtime = session.tmp / "runtime"
        self.group = None
        self.window = None

    def start(self):
        self.runtime.mkdir(exist_ok=True)
        self.runtime.chmod(0o700)
        config = self.session.tmp / "weston.ini"
        config.write_text(WESTON_INI)
        env = {"DISPLAY": self.session.display, "XDG_RUNTIME_DIR": str(self.runtime),
               "PATH": "/usr/bin:/bin", "HOME": str(self.session.tmp)}
        self.group = harness.Group("weston", ["weston", "--backend=x11-backend.so", "--use-pixman",
                                              f"--config={config}", f"--socket={SOCKET}",
                                              f"--width={OUTPUT_WIDTH}", f"--height={OUTPUT_HEIGHT}"],
                                   self.session.tmp, env=env)
        socket = self.runtime / SOCKET

        def up():
            if not self.group.running():
                raise AssertionError("Weston exited: " + self.group.stderr()[-2000:])
            if not socket.exists():
                return None
            found = self.session._tool("xdotool", "search", "--class", "weston", check=False)
            return [int(w) for w in found.stdout.split()]
        self.window = harness.wait_until(up, harness.START_TIMEOUT, message="Weston")[0]
        time.sleep(0.5)  # its shell client draws the desktop

    def app_env(self, **extra):
        """The environment that makes the program a client of this Weston."""
        env = {"QT_QPA_PLATFORM": "wayland", "WAYLAND_DISPLAY": SOCKET,
               "XDG_RUNTIME_DIR": str(self.runtime)}
        env.update(extra)
        return env

    def stop(self):
        if self.group is not None:
            self.group.stop()
            self.session._keep(self.group.stderr_path)
            self.group = None

    # --- looking and clicking ---------------------------------------------

    def shot(self, label):
        """Weston's output as an Image (and saved among the test's screenshots)."""
        path = self.session.screenshot(label, window=self.window)
        return harness.Image.load(path)

    def click(self, x, y):
        """Clicks at (x, y) of Weston's output, then takes the pointer off
        Weston's window, so that its cursor is not drawn on the desktop."""
        self.session.click(self.window, x, y)
        self.session._tool("xdotool", "mousemove", harness.SCREEN_WIDTH - 1, harness.SCREEN_HEIGHT - 1)


def framed_size(size):
    """The size on the desktop of a window whose client area has size."""
    left, top, right, bottom = DECORATION
    return size[0] + left + right, size[1] + top + bottom


def drawn_box(image):
    """(left, top, right, bottom) bounding all that is not the empty desktop,
    right and bottom exclusive; None when nothing is drawn."""
    stride = image.width * 3
    rows = [image.data[y * stride:(y + 1) * stride] for y in range(image.height)]
    drawn = [y for y, row in enumerate(rows) if max(row) > BLACK_LIMIT]
    if not drawn:
        return None
    top, bottom = drawn[0], drawn[-1] + 1
    left, right = image.width, 0
    for row in rows[top:bottom]:
        lit = [i // 3 for i, c in enumerate(row) if c > BLACK_LIMIT]
        if lit:
            left, right = min(left, lit[0]), max(right, lit[-1] + 1)
    return left, top, right, bottom


class WaylandTestCase(harness.E2ETestCase):
    """A session whose program runs under a nested Weston."""

    def setUp(self):
        if not available():
            raise unittest.SkipTest("weston is not installed")
        super().setUp()
        self.desktop = Desktop(self.session)
        self.addCleanup(self.desktop.stop)
        self.desktop.start()

    def start_app(self, **extra_env):
        return self.session.start_app(extra_env=self.desktop.app_env(**extra_env))
