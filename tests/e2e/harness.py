"""Runs the real program for end-to-end tests: a private Xvfb, the stand-in
service (tools/standin.py) on the build's ports and the program in a temporary
working directory with the chosen city.txt and tools/browser-recorder as
$BROWSER. Windows are handled over python3-xlib, under a bare Xvfb or with
GNOME's window manager (mutter), which frames, places and composites them:
closing is the WM_DELETE_WINDOW message a close button sends either way;
xdotool types, as it maps characters outside the keymap. Everything started
runs in its own process group, which Session.close() kills.
"""

import contextlib
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse
from pathlib import Path

import PIL.Image
import psutil
from PIL import ImageChops
from Xlib import X, Xatom, display as xdisplay, protocol
from Xlib.error import XError
from Xlib.ext import xtest

import layout

SOURCE_DIR = Path(os.environ.get("TOVAKIDOVIV_SOURCE_DIR")
                  or Path(__file__).resolve().parents[2]).resolve()
_BINARY_GIVEN = bool(os.environ.get("TOVAKIDOVIV_BINARY"))
BINARY = Path(os.environ.get("TOVAKIDOVIV_BINARY") or SOURCE_DIR / "build" / "tovakidoviv")
OUTPUT_DIR = Path(os.environ.get("TOVAKIDOVIV_E2E_OUTPUT_DIR")
                  or Path(tempfile.gettempdir()) / "tovakidoviv-e2e-output")
STANDIN = SOURCE_DIR / "tools" / "standin.py"
ATSPI_PROBE = Path(__file__).resolve().parent / "atspi_probe.py"
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
BROWSER_RECORDER = SOURCE_DIR / "tools" / "browser-recorder"
SAMPLE_CITY = SOURCE_DIR / "data" / "sample-city.txt"
REAL_CITY = SOURCE_DIR / "data" / "city.txt"
# The stand-in's own pages (its headlines) are what the tests expect to see.
sys.path.insert(0, str(STANDIN.parent))

SITE_PORT = int(os.environ.get("TOVAKIDOVIV_SITE_PORT", "18180"))
SOFTWARE_PORT = int(os.environ.get("TOVAKIDOVIV_SOFTWARE_PORT", "18181"))
CHAT_PORT = int(os.environ.get("TOVAKIDOVIV_CHAT_PORT", "18182"))

SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 1024
SUPPORT_NUMBER = os.environ.get("TOVAKIDOVIV_SUPPORT_NUMBER", "800010105")
MAIN_CAPTION = f"doviv1.05（Tovakixp版,技术qq:{SUPPORT_NUMBER}）"
MESSAGE_BOX_CAPTION = "Tovakidoviv"
CLIENT_WIDTH, CLIENT_HEIGHT = layout.CLIENT_SIZE
LOADING_SECONDS = 2.0
SITE_ROOT = f"http://127.0.0.1:{SITE_PORT}"

START_TIMEOUT = 15.0      # Xvfb, the stand-in, the buses
WINDOW_TIMEOUT = 40.0     # the first window of a program that starts a web engine
TOOL_TIMEOUT = 20.0       # one xdotool run
STOP_TIMEOUT = 5.0        # a process group to go after SIGTERM
DOUBLE_CLICK_SECONDS = 0.5  # longer than the toolkit's double-click interval (400 ms)


def wait_until(predicate, timeout, interval=0.05, message="condition"):
    """Polls predicate until it returns something true, and returns that;
    message may be a callable, asked for what has been seen once time is up."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            what = message() if callable(message) else message
            raise AssertionError(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


def complete_lines(path):
    """The lines another process has appended to path so far, as bytes; text after
    the last line break is an append half done, left for the next read."""
    try:
        return Path(path).read_bytes().split(b"\n")[:-1]
    except FileNotFoundError:
        return []


# What a shell adds to the environment of the programs it runs.
SHELL_VARIABLES = {"PWD", "OLDPWD", "SHLVL", "_"}


def recorded_environment(browser_log):
    """The environment the browser recorder ran with at its last launch,
    the shell's own variables aside."""
    entries = Path(f"{browser_log}.env").read_bytes().split(b"\0")[:-1]
    pairs = (e.decode("utf-8", errors="surrogateescape").partition("=") for e in entries)
    return {k: v for k, _, v in pairs if k not in SHELL_VARIABLES}


def tree_memory_kib(root):
    """(USS, PSS) summed over root's process tree in KiB, and the number of processes;
    USS counts the pages no other process maps."""
    try:
        top = psutil.Process(root)
        processes = [top] + top.children(recursive=True)
    except psutil.NoSuchProcess:
        return 0, 0, 0
    infos = []
    for p in processes:
        with contextlib.suppress(psutil.NoSuchProcess, psutil.AccessDenied):
            infos.append(p.memory_full_info())
    return sum(i.uss for i in infos) // 1024, sum(i.pss for i in infos) // 1024, len(processes)


def decode_query(address, codec="gb18030"):
    """An address's query as [(key, value)], read as a server reads it, decoded as
    codec (GB 18030: GBK and the four-byte sequences of what GBK lacks)."""
    return urllib.parse.parse_qsl(address.partition("?")[2], keep_blank_values=True, strict_parsing=True,
                                  encoding=codec, errors="strict")


def crop(image, x, y, width, height):
    return image.crop((x, y, x + width, y + height))


def near(colour, target, tolerance=24):
    return colour is not None and all(abs(a - b) <= tolerance for a, b in zip(colour, target))


def greenish(colour):
    """A colour of the loading page (None, a pixel not read, is none)."""
    return colour is not None and colour[1] > colour[0] + 40 and colour[1] > colour[2] + 20


def colour_count(image, limit):
    """How many colours image holds, counting no further than limit."""
    colours = image.getcolors(limit)
    return limit if colours is None else len(colours)


def differing_pixels(a, b):
    """How many pixels of two pictures of one size differ."""
    if a.size != b.size:
        raise ValueError("pictures of different sizes")
    changed = ImageChops.difference(a, b).point(lambda v: 255 if v else 0).convert("L")
    return a.width * a.height - changed.histogram()[0]


class Group:
    """A process started in its own process group, with its output in files."""

    def __init__(self, name, argv, log_dir, **kwargs):
        self.name = name
        self.stdout_path = Path(log_dir) / f"{name}.stdout"
        self.stderr_path = Path(log_dir) / f"{name}.stderr"
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.proc = subprocess.Popen([str(a) for a in argv], stdin=subprocess.DEVNULL, stdout=out,
                                         stderr=err, start_new_session=True, **kwargs)
        self.pid = self.proc.pid

    def running(self):
        return self.proc.poll() is None

    def wait(self, timeout):
        """The exit status; AssertionError if still running after timeout s."""
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"{self.name} still runs after {timeout:g} s") from None

    def stderr(self):
        return self.stderr_path.read_bytes().decode("utf-8", errors="replace")

    def stop(self):
        """SIGTERM to the whole group, then SIGKILL to whatever of it lingers."""
        for sig in (signal.SIGTERM, signal.SIGKILL):
            with contextlib.suppress(ProcessLookupError):
                os.killpg(self.pid, sig)
            with contextlib.suppress(subprocess.TimeoutExpired):
                self.proc.wait(timeout=STOP_TIMEOUT)


class X11:
    """The session's display: no tool's start-up per call, so a window can be watched frame by frame."""

    def __init__(self, display_name):
        self.dpy = xdisplay.Display(display_name)
        self.root = self.dpy.screen().root
        self.net_wm_name = self.dpy.intern_atom("_NET_WM_NAME")
        self.net_wm_pid = self.dpy.intern_atom("_NET_WM_PID")

    def window(self, window):
        return self.dpy.create_resource_object("window", window)

    def top_levels(self):
        """The root's children, and the children of each: a window manager's
        frame holds the client window it reparented."""
        for w in self.root.query_tree().children:
            yield w
            try:
                yield from w.query_tree().children
            except XError:   # a frame gone meanwhile
                continue

    def named(self, name, visible_only=False):
        """Ids of the top-level windows captioned name (mapped ones only, or all)."""
        found = []
        for w in self.top_levels():
            try:
                caption = w.get_full_text_property(self.net_wm_name) or w.get_full_text_property(Xatom.WM_NAME)
                if caption == name and (not visible_only or self.viewable(w.id)):
                    found.append(w.id)
            except XError:   # a window gone meanwhile
                continue
        return found

    def pid_of(self, window):
        """The process id the window's program gives (_NET_WM_PID); None when it gives none."""
        try:
            value = self.window(window).get_full_property(self.net_wm_pid, Xatom.CARDINAL)
        except XError:
            return None
        return value.value[0] if value and len(value.value) else None

    def viewable(self, window):
        return self.window(window).get_attributes().map_state == X.IsViewable

    def geometry(self, window):
        """(x, y, width, height) of the window's client area on the screen."""
        w = self.window(window)
        geometry, origin = w.get_geometry(), w.translate_coords(self.root, 0, 0)
        return -origin.x, -origin.y, geometry.width, geometry.height

    def move(self, window, x, y):
        """The pointer to (x, y) of the window."""
        left, top = self.geometry(window)[:2]
        xtest.fake_input(self.dpy, X.MotionNotify, x=left + x, y=top + y)
        self.dpy.sync()

    def button(self, button=1):
        xtest.fake_input(self.dpy, X.ButtonPress, button)
        xtest.fake_input(self.dpy, X.ButtonRelease, button)
        self.dpy.sync()

    def focused(self, window):
        """Gives window the keyboard focus; whether it has it."""
        self.window(window).set_input_focus(X.RevertToParent, X.CurrentTime)
        return self.dpy.get_input_focus().focus.id == window

    def image(self, window, rect):
        """What rect (x, y, width, height) of a window shows; None when unreadable (gone, unmapped)."""
        x, y, width, height = rect
        try:
            raw = self.window(window).get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
        except XError:
            return None
        return PIL.Image.frombytes("RGB", (width, height), raw.data, "raw", "BGRX")

    def pixel(self, window, x, y):
        """One pixel of a window, (r, g, b); None when it cannot be read."""
        image = self.image(window, (x, y, 1, 1))
        return None if image is None else image.getpixel((0, 0))

    def send_delete_window(self, window):
        """What a window manager sends when its close button is pressed."""
        w = self.window(window)
        delete = self.dpy.intern_atom("WM_DELETE_WINDOW")
        if delete not in (w.get_wm_protocols() or []):
            raise AssertionError(f"window {window:#x} does not take WM_DELETE_WINDOW")
        w.send_event(protocol.event.ClientMessage(window=w, client_type=self.dpy.intern_atom("WM_PROTOCOLS"),
                                                  data=(32, [delete, X.CurrentTime, 0, 0, 0])))
        self.dpy.sync()


class Session:
    """One private display, stand-in service and program run."""

    def __init__(self, name="session"):
        self.name = re.sub(r"[^A-Za-z0-9_.-]+", "_", name)
        self.tmp = Path(tempfile.mkdtemp(prefix="tovakidoviv-e2e-"))
        self.output = OUTPUT_DIR / self.name
        self.output.mkdir(parents=True, exist_ok=True)
        self.workdir = self.tmp / "work"
        self.service_log = self.tmp / "service.log"
        self.browser_log = self.tmp / "browser.log"
        self.display = self.xvfb = self.standin = self.app = self._x11 = None
        self.groups = []
        self.bus_env = {}
        self._runs = self._shots = 0
        self._last_click = (None, 0.0)

    # --- starting ---------------------------------------------------------

    def start_display(self):
        """Starts Xvfb on a free display; returns its name (":N")."""
        read_end, write_end = os.pipe()
        try:
            self.xvfb = Group("xvfb", ["Xvfb", "-displayfd", write_end, "-screen", "0",
                                       f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24", "-nolisten", "tcp", "-noreset"],
                              self.tmp, pass_fds=(write_end,))
        finally:
            os.close(write_end)
        # Xvfb writes the number and a line break at once; nothing (end of file) when it fails.
        with open(read_end, "rb") as pipe:
            number = pipe.readline().strip() if select.select([pipe], [], [], START_TIMEOUT)[0] else b""
        if not number:
            raise AssertionError("Xvfb did not start: " + self.xvfb.stderr()[-2000:])
        self.display = ":" + number.decode()
        return self.display

    def start_standin(self, mode="normal", delay=0.0):
        """Starts the stand-in service on the build's ports and waits until it listens."""
        ready = self.tmp / "standin.ready"
        if self.standin is not None:    # another mode for the next start
            self.standin.stop()
            ready.unlink()
        self.standin = Group("standin", [sys.executable, STANDIN, "--site-port", SITE_PORT,
                                         "--software-port", SOFTWARE_PORT, "--chat-port", CHAT_PORT,
                                         "--log", self.service_log, "--news-mode", mode,
                                         "--news-delay", delay, "--ready-file", ready], self.tmp)

        def up():
            if not self.standin.running():
                raise AssertionError("the stand-in service exited: " + self.standin.stderr())
            return ready.exists()
        wait_until(up, START_TIMEOUT, message="the stand-in service")

    def start_accessibility(self):
        """A private session bus with the accessibility bus launcher on it."""
        socket = self.tmp / "session-bus"
        runtime = self.tmp / "a11y-runtime"
        runtime.mkdir(mode=0o700)
        self.bus_env = {"DBUS_SESSION_BUS_ADDRESS": f"unix:path={socket}", "DISPLAY": self.display,
                        "XDG_RUNTIME_DIR": str(runtime)}
        env = dict(os.environ, **self.bus_env)
        self.groups.append(Group("dbus", ["dbus-daemon", "--session", "--nofork",
                                          f"--address=unix:path={socket}"], self.tmp, env=env))
        wait_until(socket.exists, START_TIMEOUT, message="the session bus")
        self.groups.append(Group("a11y-bus", [BUS_LAUNCHER, "--launch-immediately"], self.tmp, env=env))

        def owned():
            r = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
                                "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"],
                               env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=10)
            return b"boolean true" in r.stdout
        wait_until(owned, START_TIMEOUT, interval=0.2, message="the accessibility bus")

    def start_window_manager(self):
        """GNOME's window manager and compositor (mutter) on the display, on a
        session bus of its own; returns once it composites the screen."""
        runtime = self.tmp / "wm-runtime"
        runtime.mkdir(mode=0o700)
        env = {"DISPLAY": self.display, "XDG_RUNTIME_DIR": str(runtime), "HOME": str(self.tmp),
               "PATH": os.environ.get("PATH", os.defpath)}
        self.groups.append(Group("mutter", ["dbus-run-session", "--", "mutter", "--x11", "--replace"],
                                 self.tmp, env=env))
        selection = self.x11.dpy.intern_atom(f"_NET_WM_CM_S{self.x11.dpy.get_default_screen()}")

        def compositing():
            if not self.groups[-1].running():
                raise AssertionError("mutter exited: " + self.groups[-1].stderr()[-2000:])
            return self.x11.dpy.get_selection_owner(selection) != X.NONE
        wait_until(compositing, START_TIMEOUT, interval=0.1, message="mutter to composite the screen")

    def probe(self, *args):
        """What atspi_probe.py prints about the program, as parsed JSON lines."""
        r = subprocess.run(["/usr/bin/python3", ATSPI_PROBE, str(self.app.pid), *args],
                           env=dict(os.environ, **self.bus_env), capture_output=True, timeout=90)
        if r.returncode != 0:
            raise AssertionError("atspi_probe.py: " + r.stderr.decode(errors="replace"))
        return [json.loads(line) for line in r.stdout.decode().splitlines() if line.strip()]

    def box_text(self):
        """The one message box's labels, one a line, as assistive technology reads them."""
        boxes = self.probe("texts", MESSAGE_BOX_CAPTION)
        if len(boxes) != 1:
            raise AssertionError(f"{len(boxes)} message boxes on the accessibility bus: {boxes}")
        return "\n".join(boxes[0])

    def start_app(self, city=SAMPLE_CITY, extra_env=None, binary=None):
        """Starts the program in a fresh working directory. city: a file to copy
        as city.txt, its bytes, None for none, or a callable given its path."""
        binary = Path(binary) if binary else BINARY
        if not binary.exists():
            if _BINARY_GIVEN:
                raise AssertionError(f"the program is not built: {binary}")
            raise unittest.SkipTest(f"the program is not built: {binary}")
        if self.display is None:
            self.start_display()
        self.stop_app()
        self._runs += 1
        self.workdir = self.tmp / f"work{self._runs}"
        self.workdir.mkdir()
        target = self.workdir / "city.txt"
        if callable(city):
            city(target)
        elif isinstance(city, (bytes, bytearray)):
            target.write_bytes(city)
        elif city is not None:
            shutil.copyfile(city, target)

        home, runtime = self.tmp / "home", self.tmp / "runtime"
        for d in (home, runtime, home / "data", home / "config", home / "cache"):
            d.mkdir(exist_ok=True)
        runtime.chmod(0o700)
        env = {k: v for k, v in os.environ.items()
               if not (k.startswith(("LC_", "XDG_", "QT_", "QTWEBENGINE_"))
                       or k in ("LANGUAGE", "WAYLAND_DISPLAY", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                "GNOME_DESKTOP_SESSION_ID", "XAUTHORITY"))}
        env.update({
            "DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb", "LANG": "C.UTF-8",
            "BROWSER": str(BROWSER_RECORDER), "TOVAKIDOVIV_BROWSER_LOG": str(self.browser_log),
            # No desktop settings of this machine decide where xdg-open sends an address.
            "HOME": str(home), "XDG_DATA_HOME": str(home / "data"), "XDG_CONFIG_HOME": str(home / "config"),
            "XDG_CACHE_HOME": str(home / "cache"), "XDG_DATA_DIRS": str(home / "data"),
            "XDG_CONFIG_DIRS": str(home / "config"), "XDG_RUNTIME_DIR": str(runtime),
        })
        if self.bus_env:
            env.update(self.bus_env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        env.update(extra_env or {})
        self.app_env = env
        self.app = Group(f"app{self._runs}", [binary], self.tmp, cwd=self.workdir, env=env)
        self.app_started = time.monotonic()
        self.app_started_wall = time.time()
        return self.app

    def stop_app(self):
        if self.app is not None:
            self.app.stop()
            self._keep(self.app.stderr_path, self.app.stdout_path)
            self.app = None

    # --- windows ----------------------------------------------------------

    @property
    def x11(self):
        if self._x11 is None:
            self._x11 = X11(self.display)
        return self._x11

    def _tool(self, *argv, check=True, timeout=TOOL_TIMEOUT):
        return subprocess.run([str(a) for a in argv], env=dict(os.environ, DISPLAY=self.display),
                              capture_output=True, timeout=timeout, check=check)

    def check_running(self, waiting_for):
        if self.app is not None and not self.app.running():
            raise AssertionError(f"the program exited ({self.app.proc.returncode}) before {waiting_for}: "
                                 + self.app.stderr()[-3000:])

    def shown(self, name):
        """The mapped windows captioned name of this run of the program: a
        window of the run before may linger until the server has seen its
        program go."""
        pid = self.app.pid if self.app is not None else None
        return [w for w in self.x11.named(name, True) if self.x11.pid_of(w) in (None, pid)]

    def find_window(self, name, timeout=WINDOW_TIMEOUT):
        """The one mapped window captioned name, once there is one."""
        def found():
            self.check_running(f"showing {name!r}")
            return self.shown(name)
        ids = wait_until(found, timeout, interval=0.1, message=f"a window {name!r}")
        if len(ids) != 1:
            raise AssertionError(f"{len(ids)} windows captioned {name!r}")
        return ids[0]

    def click(self, window, x, y, button=1, times=1):
        """Clicks at (x, y) of the window. A click at the spot of the one
        before first waits out the double-click time, so that it is a click
        of its own and not the second half of a double click; times=2 is a
        double click."""
        spot = (window, x, y, button)
        if spot == self._last_click[0]:
            time.sleep(max(0.0, self._last_click[1] + DOUBLE_CLICK_SECONDS - time.monotonic()))
        self.x11.move(window, x, y)
        for n in range(times):
            time.sleep(0.08 if n else 0)
            self.x11.button(button)
        self._last_click = (spot, time.monotonic())

    def focus(self, window):
        wait_until(lambda: self.x11.focused(window), 5, message=f"focus on window {window:#x}")

    def type_text(self, text, delay_ms=40):
        """Types text into the window that has the keyboard focus."""
        self._tool("xdotool", "type", "--delay", delay_ms, "--", text,
                   timeout=TOOL_TIMEOUT + len(text) * delay_ms / 1000)

    def key(self, *keys, delay_ms=40):
        """Presses keys (xdotool names: Return, Tab, ctrl+a ...) in the focused window."""
        self._tool("xdotool", "key", "--delay", delay_ms, "--", *keys)

    def pick(self, window, *picks):
        """For each (at, downs), a click into a combo box, then Down downs times (each Down is a pick)."""
        for at, downs in picks:
            self.click(window, *at)
            for _ in range(downs):
                self.key("Down")
                time.sleep(0.15)

    def close_window(self, window, timeout=5):
        """Closes a window as its close button does; the program's exit status once it has ended."""
        self.x11.send_delete_window(window)
        return self.app.wait(timeout)

    # --- pictures ---------------------------------------------------------

    def picture(self, window, rect=None):
        """What a window (or rect of it) shows, read straight from the server."""
        image = self.x11.image(window, rect or (0, 0) + self.x11.geometry(window)[2:])
        if image is None:
            raise AssertionError(f"window {window:#x} cannot be read")
        return image

    def screen_differs(self, window):
        """How many pixels of the window, as the screen shows it, differ from
        what the window itself holds (read from the window)."""
        return differing_pixels(self.picture(window), self.picture(self.x11.root.id, self.x11.geometry(window)))

    def screenshot(self, label, window=None):
        """What the screen (or a window) shows, saved in the test's output folder too."""
        image = self.picture(window or self.x11.root.id)
        self._shots += 1
        image.save(self.output / f"{self._shots:02d}-{label}.png")
        return image

    # --- logs -------------------------------------------------------------

    def _service_log(self):
        return [json.loads(line) for line in complete_lines(self.service_log)]

    def requests(self):
        """The requests the stand-in has logged on arrival: dicts with port, method, path, time."""
        return [r for r in self._service_log() if "method" in r]

    def answers(self):
        """The answers the stand-in has sent: dicts with port, path, answered."""
        return [r for r in self._service_log() if "answered" in r]

    def requests_for(self, path, port=None):
        """Logged requests whose path (query aside) is path, on port if given."""
        return [r for r in self.requests()
                if r["path"].partition("?")[0] == path and port in (None, r["port"])]

    def explain_requests(self):
        return self.requests_for("/softload/explain.html", port=SOFTWARE_PORT)

    def browser_calls(self):
        """The addresses the browser recorder got, one a line."""
        return [line.decode("utf-8", errors="surrogateescape") for line in complete_lines(self.browser_log)]

    # --- the application fixture -----------------------------------------------

    def start_main(self, city=SAMPLE_CITY, extra_env=None, binary=None, ready=True, news=False):
        """Starts the program and returns its main window; with ready, once
        the loading overlay has gone (the form and the links take clicks);
        with news, once the news lines show their headlines too."""
        self.start_app(city=city, extra_env=extra_env, binary=binary)
        window = self.find_window(MAIN_CAPTION)
        if ready or news:
            self.wait_overlay_gone(window)
        if news:
            self.wait_news_filled(window)
        return window

    def overlay_gone(self, window, scale=1):
        """Whether the overlay has gone: where it shows its green, the white panel shows."""
        colour = self.x11.pixel(window, *(scale * v for v in layout.OVERLAY_PROBE))
        return colour is not None and all(c > 200 for c in colour)

    def wait_overlay_gone(self, window, timeout=LOADING_SECONDS + 15.0, scale=1):
        def gone():
            self.check_running("the loading overlay went")
            return self.overlay_gone(window, scale)
        wait_until(gone, timeout, message="the loading overlay to go")

    def news_pictures(self, window):
        """What the ten news lines show, one bytes object a line (None for one unread)."""
        lines = [self.x11.image(window, rect) for rect in layout.NEWS_RECT]
        return [None if line is None else line.tobytes() for line in lines]

    def news_timing(self):
        """When the news page was asked for and answered, for a failure message."""
        since = self.app_started_wall  # the log holds the earlier starts too
        asked = [f"{r['time'] - since:.2f} s" for r in self.requests_for("/softnews.html") if r["time"] >= since]
        answered = [f"{r['answered'] - since:.2f} s" for r in self.answers()
                    if r["path"] == "/softnews.html" and r["answered"] >= since]
        return (f"the news page was asked for at {', '.join(asked) or 'no time'} and answered at "
                f"{', '.join(answered) or 'no time'} after the start; the tick is at {LOADING_SECONDS:g} s")

    def wait_news_filled(self, window, timeout=8.0):
        """Waits until the ten lines show ten different headlines."""
        def filled():
            lines = self.news_pictures(window)
            return None not in lines and len(set(lines)) == 10
        wait_until(filled, timeout, interval=0.1,
                   message=lambda: f"the news lines to show their headlines: {self.news_timing()}")

    def message_boxes(self):
        return self.shown(MESSAGE_BOX_CAPTION)

    def wait_message_box(self, timeout=10):
        return self.find_window(MESSAGE_BOX_CAPTION, timeout)

    def dismiss(self, box, window=None):
        """Answers a box with Return; once it has gone, the focus goes back to window."""
        self.focus(box)
        self.key("Return")
        wait_until(lambda: not self.message_boxes(), 5, message="the message box to go")
        if window is not None and self.app is not None and self.app.running():
            self.focus(window)

    def wait_launches(self, count, timeout=10):
        """The browser recorder's lines once there are at least count of them."""
        return wait_until(lambda: len(self.browser_calls()) >= count and self.browser_calls(), timeout,
                          message=f"{count} browser launch(es)")

    def launch(self, window, at, timeout=20):
        """Clicks at and returns the one address the browser recorder got for it
        (launches run side by side: a test wanting them in order waits for each)."""
        before = len(self.browser_calls())
        self.click(window, *at)
        calls = self.wait_launches(before + 1, timeout)
        if len(calls) != before + 1:
            raise AssertionError(f"one click, {len(calls) - before} launches: {calls[before:]}")
        return calls[-1]

    def type_into(self, window, at, text, delay_ms=40):
        """Clicks into a text field, selects all it holds and types text over it."""
        self.click(window, *at)
        self.key("ctrl+a")
        self.type_text(text, delay_ms=delay_ms)

    def switch(self, window, tab, timeout=10):
        """Clicks a tab of window's bar; returns the one main-captioned window shown instead."""
        self.click(window, *tab)

        def other():
            shown = self.shown(MAIN_CAPTION)
            return shown if len(shown) == 1 and shown[0] != window else None
        return wait_until(other, timeout, message="the other window")[0]

    # --- the end ----------------------------------------------------------

    def _keep(self, *paths):
        for p in paths:
            if p and Path(p).exists():
                shutil.copyfile(p, self.output / Path(p).name)

    def close(self):
        try:
            self.stop_app()
            if self._x11 is not None:
                self._x11.dpy.close()
            for group in self.groups + [self.standin, self.xvfb]:
                if group is not None:
                    group.stop()
            self._keep(self.service_log, self.browser_log)
        finally:
            shutil.rmtree(self.tmp, ignore_errors=True)


class E2ETestCase(unittest.TestCase):
    """Gives each test a Session, closed after it whatever the outcome; class
    attributes choose the service and the accessibility bus box_text() reads."""

    accessible = False
    window_manager = False   # mutter frames, places and composites the windows
    with_standin = True
    news_mode = "normal"

    def assert_answering(self, window):
        """The program still runs and a click on the home link reaches the browser."""
        s = self.session
        self.assertTrue(s.app is not None and s.app.running(),
                        "the program is gone: " + (s.app.stderr()[-2000:] if s.app else ""))
        self.assertEqual(s.launch(window, layout.HOME_LINK, timeout=15), SITE_ROOT, "the home link did not answer")

    def assert_no_box(self, seconds):
        """No message box shows during the next seconds."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.assertEqual(self.session.message_boxes(), [], "a message box appeared")
            time.sleep(0.1)

    def setUp(self):
        self.session = Session(self.id().split(".", 1)[-1])
        self.addCleanup(self.session.close)
        self.session.start_display()
        if self.window_manager:
            self.session.start_window_manager()
        if self.accessible:
            self.session.start_accessibility()
        if self.with_standin:
            self.session.start_standin(self.news_mode)
