"""A Wayland desktop for end-to-end tests: Weston (its x11 backend, a black
desktop without a panel) or GNOME's compositor (mutter, nested) in the
session's Xvfb, one X window at the display's corner, the program a native
client on its socket. There is no X window per client: windows are found on
screenshots of the compositor's output by their known size, and clicks go to
the compositor's window at output coordinates. Neither draws frames for the
program's windows, so Qt draws them. A compositor draws its pointer wherever
it is and places a new window where it chooses, so no check takes a changed
pixel for a window's: a window is the rows and columns that differ from the
empty desktop over half its width and height, which no pointer does.
"""

import shutil
import time
import unittest

from PIL import Image, ImageChops

import harness

OUTPUT_WIDTH, OUTPUT_HEIGHT = 1200, 950
SOCKET = "tovakidoviv-wayland-0"
DESKTOP_LIMIT = 12        # a channel at most this far from the empty desktop's is the desktop
# The largest pointer Weston draws (its cursor theme's 32 px at most twice
# over): lit pixels outside every window within a box this size are its
# pointer, anything larger is a drawing out of place.
POINTER_LIMIT = 64
# Qt draws the decoration of its windows on Wayland: a title bar above the
# client area and a thin frame around it (left, top, right, bottom). Without
# it, the software OpenGL of this test machine hands Weston buffers of odd
# widths with a wrong stride, which draws nothing or garbage.
DECORATION = (3, 30, 3, 3)
# The middle of the decoration's maximise button, from the frame's top right.
MAXIMISE_BUTTON = (-40, 15)

WESTON_INI = """[core]
idle-time=0
[shell]
background-color=0xff000000
panel-position=none
locking=false
animation=none
startup-animation=none
"""


class Desktop:
    """A compositor on the session's display, "weston" or "mutter"; start() before the program."""

    def __init__(self, session, compositor="weston"):
        self.session = session
        self.compositor = compositor
        self.runtime = session.tmp / "runtime"
        self.group = None
        self.window = None
        self.empty = None

    def start(self):
        self.runtime.mkdir(exist_ok=True)
        self.runtime.chmod(0o700)
        env = {"DISPLAY": self.session.display, "XDG_RUNTIME_DIR": str(self.runtime),
               "PATH": "/usr/bin:/bin", "HOME": str(self.session.tmp)}
        if self.compositor == "mutter":
            env["MUTTER_DEBUG_DUMMY_MODE_SPECS"] = f"{OUTPUT_WIDTH}x{OUTPUT_HEIGHT}"
            argv = ["dbus-run-session", "--", "mutter", "--nested", "--wayland", "--no-x11",
                    f"--wayland-display={SOCKET}"]
        else:
            config = self.session.tmp / "weston.ini"
            config.write_text(WESTON_INI)
            argv = ["weston", "--backend=x11-backend.so", "--use-pixman", f"--config={config}",
                    f"--socket={SOCKET}", f"--width={OUTPUT_WIDTH}", f"--height={OUTPUT_HEIGHT}"]
        self.group = harness.Group(self.compositor, argv, self.session.tmp, env=env)
        socket = self.runtime / SOCKET

        def up():
            if not self.group.running():
                raise AssertionError(f"{self.compositor} exited: " + self.group.stderr()[-2000:])
            if not socket.exists():
                return None
            # Its output: the one mapped window of the display, at the output's size.
            x11 = self.session.x11
            return [w.id for w in x11.root.query_tree().children if x11.viewable(w.id)
                    and x11.geometry(w.id)[2:] == (OUTPUT_WIDTH, OUTPUT_HEIGHT)]
        self.window = harness.wait_until(up, harness.START_TIMEOUT, message=self.compositor)[0]
        # Off the output and back: the compositor's X window learns where the
        # pointer is from its entering the window, not from a pointer already inside.
        self.session._tool("xdotool", "mousemove", harness.SCREEN_WIDTH - 1, harness.SCREEN_HEIGHT - 1)
        self.move(OUTPUT_WIDTH - 1, OUTPUT_HEIGHT - 1)
        # The empty desktop, once drawn at the output's size and the same in
        # two shots in a row: the pointer gone to the corner, the background drawn.
        shots = []

        def settled():
            time.sleep(0.3)
            shots[:] = shots[-1:] + [self.shot("desktop").convert("RGB")]
            return (len(shots) == 2 and shots[0].size == shots[1].size == (OUTPUT_WIDTH, OUTPUT_HEIGHT)
                    and harness.differing_pixels(*shots) == 0)
        harness.wait_until(settled, harness.START_TIMEOUT, interval=0, message=f"{self.compositor}'s desktop")
        self.empty = shots[1]

    def app_env(self):
        """The environment that makes the program a client of this Weston."""
        return {"QT_QPA_PLATFORM": "wayland", "WAYLAND_DISPLAY": SOCKET, "XDG_RUNTIME_DIR": str(self.runtime)}

    def stop(self):
        if self.group is not None:
            self.group.stop()
            self.session._keep(self.group.stderr_path)
            self.group = None

    # --- looking and clicking ---------------------------------------------

    def shot(self, label):
        """Weston's output as a picture (and saved among the test's screenshots)."""
        return self.session.screenshot(label, self.window)

    def move(self, x, y):
        """The pointer to (x, y) of Weston's output."""
        self.session._tool("xdotool", "mousemove", "--window", self.window, x, y)

    def click(self, x, y):
        self.move(x, y)
        self.session._tool("xdotool", "click", 1)


def framed_size(size):
    """The size on the desktop of a window whose client area has size."""
    left, top, right, bottom = DECORATION
    return size[0] + left + right, size[1] + top + bottom


def lit(image, empty):
    """A mask of the pixels that are not the empty desktop's (255 where lit)."""
    bands = ImageChops.difference(image.convert("RGB"), empty).split()
    largest = ImageChops.lighter(ImageChops.lighter(*bands[:2]), bands[2])
    return largest.point(lambda v: 255 if v > DESKTOP_LIMIT else 0)


def _runs(mask, least):
    """(first, end) of the rows of mask with at least least lit pixels; None for none."""
    width, data = mask.width, mask.tobytes()
    rows = [y for y in range(mask.height) if data[y * width:(y + 1) * width].count(255) >= least]
    return (rows[0], rows[-1] + 1) if rows else None


def window_box(image, size, empty):
    """(left, top, right, bottom) of the window drawn on the desktop that is
    about size (width, height), right and bottom exclusive: the rows lit over
    half its width, the columns lit over half its height. None when there is none."""
    mask = lit(image, empty)
    rows = _runs(mask, size[0] // 2)
    columns = _runs(mask.transpose(Image.Transpose.TRANSPOSE), size[1] // 2)
    return None if None in (rows, columns) else (columns[0], rows[0], columns[1], rows[1])


def stray_box(image, box, empty):
    """The box (left, top, right, bottom) of what is lit outside box, or None."""
    mask = lit(image, empty)
    mask.paste(0, box)
    return mask.getbbox()


class WaylandTestCase(harness.E2ETestCase):
    """A session whose program runs under a nested compositor."""

    compositor = "weston"

    def setUp(self):
        if shutil.which(self.compositor) is None:
            raise unittest.SkipTest(f"{self.compositor} is not installed")
        super().setUp()
        self.desktop = Desktop(self.session, self.compositor)
        self.addCleanup(self.desktop.stop)
        self.desktop.start()

    def start_app(self):
        return self.session.start_app(extra_env=self.desktop.app_env())
