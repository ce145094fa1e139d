"""Runs the real program for end-to-end tests.

A Session starts a private X server (Xvfb), the stand-in service
(tools/standin.py) on the build's ports and the program itself, in a
temporary working directory holding the chosen city.txt, with
tools/browser-recorder as $BROWSER. It finds windows by their caption,
clicks, types and presses keys with xdotool, takes screenshots with
ImageMagick's import, and closes windows the way a window manager's close
button does: a WM_DELETE_WINDOW client message (through libX11 by ctypes;
there is no window manager under a bare Xvfb).

The application fixture on top of that: start_main() starts the program
and returns its main window once the loading overlay has gone;
start_main_with_news() also waits for the news lines; message_boxes(),
wait_message_box() and dismiss() handle message boxes; launch() and
wait_launches() read the browser recorder; answering() clicks the home link;
decode_query() and query_dict() read a recorded address; process_tree() and
tree_memory_kib() measure the program with its web engine's processes.
Where a control is comes from layout.py.

Everything it starts runs in its own process group and is killed by
Session.close(), which E2ETestCase registers as a cleanup, so it runs
whether the test passed or not.

Environment:
  TOVAKIDOVIV_BINARY          the program (default: <source>/build/tovakidoviv)
  TOVAKIDOVIV_SOURCE_DIR      the source tree (default: two folders up)
  TOVAKIDOVIV_SUPPORT_NUMBER  the support number the build was made with
  TOVAKIDOVIV_E2E_OUTPUT_DIR  where screenshots and logs of each test go
                              (default: tovakidoviv-e2e-output in the temp folder)
  TOVAKIDOVIV_SITE_PORT, TOVAKIDOVIV_SOFTWARE_PORT, TOVAKIDOVIV_CHAT_PORT
                              the build's service ports (18180, 18181, 18182)
"""

import ctypes
import ctypes.util
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

import layout

SOURCE_DIR = Path(os.environ.get("TOVAKIDOVIV_SOURCE_DIR")
                  or Path(__file__).resolve().parents[2]).resolve()
_BINARY_GIVEN = bool(os.environ.get("TOVAKIDOVIV_BINARY"))
BINARY = Path(os.environ.get("TOVAKIDOVIV_BINARY") or SOURCE_DIR / "build" / "tovakidoviv")
OUTPUT_DIR = Path(os.environ.get("TOVAKIDOVIV_E2E_OUTPUT_DIR")
                  or Path(tempfile.gettempdir()) / "tovakidoviv-e2e-output")
STANDIN = SOURCE_DIR / "tools" / "standin.py"
BROWSER_RECORDER = SOURCE_DIR / "tools" / "browser-recorder"
SAMPLE_CITY = SOURCE_DIR / "data" / "sample-city.txt"

SITE_PORT = int(os.environ.get("TOVAKIDOVIV_SITE_PORT", "18180"))
SOFTWARE_PORT = int(os.environ.get("TOVAKIDOVIV_SOFTWARE_PORT", "18181"))
CHAT_PORT = int(os.environ.get("TOVAKIDOVIV_CHAT_PORT", "18182"))

SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 1024
SUPPORT_NUMBER = os.environ.get("TOVAKIDOVIV_SUPPORT_NUMBER", "800010105")
MAIN_CAPTION = f"doviv1.05（Tovakixp版,技术qq:{SUPPORT_NUMBER}）"
MESSAGE_BOX_CAPTION = "Tovakidoviv"
CLIENT_WIDTH, CLIENT_HEIGHT = 797, 574
LOADING_SECONDS = 2.0
SITE_ROOT = f"http://127.0.0.1:{SITE_PORT}"

# Bounds of every wait.
START_TIMEOUT = 15.0      # Xvfb, the stand-in
WINDOW_TIMEOUT = 40.0     # the first window of a program that starts a web engine
TOOL_TIMEOUT = 20.0       # one xdotool / import / convert run
STOP_TIMEOUT = 5.0        # a process group to go after SIGTERM
DOUBLE_CLICK_SECONDS = 0.5  # longer than the toolkit's double-click interval (400 ms)


def wait_until(predicate, timeout, interval=0.05, message="condition"):
    """Polls predicate until it returns something true; returns that.

    Raises AssertionError after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout:g} s waiting for {message}")
        time.sleep(interval)


def complete_lines(path):
    """The lines another process has appended to path so far, as bytes. A
    reader can catch an append half done, so text after the last line
    break is a line still being written and is left for the next read."""
    try:
        data = Path(path).read_bytes()
    except FileNotFoundError:
        return []
    return data.split(b"\n")[:-1]


def process_tree(root):
    """root and every process descending from it, as pids."""
    children = {}
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            stat = (entry / "stat").read_text()
        except OSError:
            continue
        # The command name is in parentheses and may hold spaces.
        ppid = int(stat.rpartition(")")[2].split()[1])
        children.setdefault(ppid, []).append(int(entry.name))
    tree, todo = [], [root]
    while todo:
        pid = todo.pop()
        tree.append(pid)
        todo.extend(children.get(pid, []))
    return tree


def memory_kib(pid, fields=("Private_Clean", "Private_Dirty")):
    """The sum of the given smaps_rollup fields of one process, in KiB; 0 for
    a process gone meanwhile. The default is its unique set size: the pages
    no other process maps, which is what a leak makes grow."""
    total = 0
    try:
        for line in Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines():
            key, _, rest = line.partition(":")
            if key in fields:
                total += int(rest.split()[0])
    except (OSError, ValueError, IndexError):
        return 0
    return total


def tree_memory_kib(root, fields=("Private_Clean", "Private_Dirty")):
    """(the fields summed over root's process tree in KiB, the number of processes)."""
    pids = process_tree(root)
    return sum(memory_kib(p, fields) for p in pids), len(pids)


def _ere_escape(text):
    """text as a POSIX extended regular expression matching it literally."""
    return re.sub(r"([.\[\]()*+?{}|^$\\])", r"\\\1", text)


def decode_query(address, codec="gb18030"):
    """The parameters of an address's query as [(key, value)], in order,
    each value percent-decoded as codec (GB 18030 holds GBK and the
    four-byte sequences of what GBK lacks)."""
    query = address.partition("?")[2]
    return [(key, urllib.parse.unquote_to_bytes(value).decode(codec))
            for key, _, value in (pair.partition("=") for pair in query.split("&"))]


def query_dict(address, codec="gb18030"):
    """decode_query as a dict (the last value of a key wins)."""
    return dict(decode_query(address, codec))


def raw_query(address):
    """The parameters of an address's query as they were sent, still escaped."""
    query = address.partition("?")[2]
    return {key: value for key, _, value in (pair.partition("=") for pair in query.split("&"))}


class Group:
    """A process started in its own process group, with its output in files."""

    def __init__(self, name, argv, log_dir, **kwargs):
        self.name = name
        self.stdout_path = Path(log_dir) / f"{name}.stdout"
        self.stderr_path = Path(log_dir) / f"{name}.stderr"
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.proc = subprocess.Popen([str(a) for a in argv], stdin=subprocess.DEVNULL,
                                         stdout=out, stderr=err, start_new_session=True,
                                         **kwargs)
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
        """Ends the whole group: SIGTERM, then SIGKILL if it lingers."""
        for sig, grace in ((signal.SIGTERM, STOP_TIMEOUT), (signal.SIGKILL, STOP_TIMEOUT)):
            try:
                os.killpg(self.pid, sig)
            except ProcessLookupError:
                break
            try:
                self.proc.wait(timeout=grace)
            except subprocess.TimeoutExpired:
                continue
            # The leader is gone; children left in the group go the same way.
            try:
                os.killpg(self.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            break
        if self.proc.poll() is None:
            self.proc.wait(timeout=STOP_TIMEOUT)


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XImageHead(ctypes.Structure):
    """The start of Xlib's XImage, up to its pixel data (24-bit depth: B, G, R, pad)."""
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte))]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


_X_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class X11:
    """The few libX11 calls that no command-line tool here makes."""

    _lib = None
    _errors = []

    @classmethod
    def _load(cls):
        if cls._lib is None:
            name = ctypes.util.find_library("X11") or "libX11.so.6"
            lib = ctypes.CDLL(name)
            lib.XOpenDisplay.restype = ctypes.c_void_p
            lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
            lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
            lib.XInternAtom.restype = ctypes.c_ulong
            lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
            lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                       ctypes.c_long, ctypes.POINTER(_XEvent)]
            lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
            lib.XGetWMProtocols.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                            ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                            ctypes.POINTER(ctypes.c_int)]
            lib.XFree.argtypes = [ctypes.c_void_p]
            lib.XGetImage.restype = ctypes.POINTER(_XImageHead)
            lib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
            lib.XSetErrorHandler.restype = ctypes.c_void_p
            lib.XSetErrorHandler.argtypes = [_X_ERROR_HANDLER]

            # The default handler ends the process on BadWindow; a window
            # that went away is a test's finding, not the runner's end.
            def on_error(_display, event):
                cls._errors.append(event)
                return 0
            cls._handler = _X_ERROR_HANDLER(on_error)
            lib.XSetErrorHandler(cls._handler)
            cls._lib = lib
        return cls._lib

    def __init__(self, display_name):
        self.lib = self._load()
        self.dpy = self.lib.XOpenDisplay(display_name.encode())
        if not self.dpy:
            raise RuntimeError(f"cannot open display {display_name}")

    def close(self):
        if self.dpy:
            self.lib.XCloseDisplay(self.dpy)
            self.dpy = None

    def atom(self, name):
        return self.lib.XInternAtom(self.dpy, name.encode(), 0)

    def wm_protocols(self, window):
        """The atoms in the window's WM_PROTOCOLS property."""
        atoms = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_int()
        if not self.lib.XGetWMProtocols(self.dpy, window, ctypes.byref(atoms), ctypes.byref(count)):
            return []
        found = [atoms[i] for i in range(count.value)]
        self.lib.XFree(atoms)
        return found

    def pixel(self, window, x, y):
        """The (r, g, b) of one pixel of a window as the screen shows it, or
        None when it cannot be read (the window is gone or not mapped). One
        round trip, fast enough to watch a window change frame by frame."""
        image = self.lib.XGetImage(self.dpy, window, x, y, 1, 1, 0xFFFFFFFF, 2)  # ZPixmap
        if not image:
            return None
        b, g, r = image.contents.data[0], image.contents.data[1], image.contents.data[2]
        self.lib.XFree(ctypes.cast(image.contents.data, ctypes.c_void_p))
        self.lib.XFree(ctypes.cast(image, ctypes.c_void_p))
        return r, g, b

    def region(self, window, x, y, width, height):
        """The pixels of a rectangle of a window as bytes (four a pixel:
        B, G, R, pad), or None when they cannot be read."""
        image = self.lib.XGetImage(self.dpy, window, x, y, width, height, 0xFFFFFFFF, 2)
        if not image:
            return None
        data = ctypes.string_at(image.contents.data, width * height * 4)
        self.lib.XFree(ctypes.cast(image.contents.data, ctypes.c_void_p))
        self.lib.XFree(ctypes.cast(image, ctypes.c_void_p))
        return data

    def send_delete_window(self, window):
        """What a window manager sends when its close button is pressed."""
        protocols = self.atom("WM_PROTOCOLS")
        delete = self.atom("WM_DELETE_WINDOW")
        if delete not in self.wm_protocols(window):
            raise AssertionError(f"window {window:#x} does not take WM_DELETE_WINDOW")
        event = _XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.send_event = 1
        event.xclient.display = self.dpy
        event.xclient.window = window
        event.xclient.message_type = protocols
        event.xclient.format = 32
        event.xclient.data[0] = delete
        event.xclient.data[1] = 0  # CurrentTime
        errors_before = len(self._errors)
        if not self.lib.XSendEvent(self.dpy, window, 0, 0, ctypes.byref(event)):
            raise AssertionError(f"XSendEvent to {window:#x} failed")
        self.lib.XSync(self.dpy, 0)
        if len(self._errors) > errors_before:
            raise AssertionError(f"X error while sending WM_DELETE_WINDOW to {window:#x}")


class Image:
    """An RGB picture read from a screenshot."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def load(cls, path):
        ppm = subprocess.run(["convert", str(path), "-depth", "8", "ppm:-"], check=True,
                             stdout=subprocess.PIPE, timeout=TOOL_TIMEOUT).stdout
        m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", ppm)
        if not m or m.group(3) != b"255":
            raise ValueError(f"{path}: unexpected picture format")
        width, height = int(m.group(1)), int(m.group(2))
        data = ppm[m.end():]
        if len(data) != width * height * 3:
            raise ValueError(f"{path}: {len(data)} bytes for {width}x{height}")
        return cls(width, height, data)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def crop(self, x, y, width, height):
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + width), min(self.height, y + height)
        rows = [self.data[(row * self.width + x0) * 3:(row * self.width + x1) * 3]
                for row in range(y0, y1)]
        return Image(x1 - x0, y1 - y0, b"".join(rows))

    def colours(self, limit=1000):
        """The distinct colours, up to limit of them."""
        seen = set()
        view = memoryview(self.data)
        for i in range(0, len(self.data), 3):
            seen.add(bytes(view[i:i + 3]))
            if len(seen) >= limit:
                break
        return seen

    def differing_pixels(self, other):
        """How many pixels differ from other's (same size)."""
        if (self.width, self.height) != (other.width, other.height):
            raise ValueError("pictures of different sizes")
        a, b = self.data, other.data
        count = 0
        stride = self.width * 3
        for row in range(self.height):
            ra, rb = a[row * stride:(row + 1) * stride], b[row * stride:(row + 1) * stride]
            if ra == rb:
                continue
            for i in range(0, stride, 3):
                if ra[i:i + 3] != rb[i:i + 3]:
                    count += 1
        return count


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
        self.display = None
        self.xvfb = None
        self.standin = None
        self.app = None
        self._x11 = None
        self._runs = 0
        self._shots = 0

    # --- starting ---------------------------------------------------------

    def start_display(self):
        """Starts Xvfb on a free display; returns its name (":N")."""
        read_end, write_end = os.pipe()
        try:
            self.xvfb = Group("xvfb", ["Xvfb", "-displayfd", str(write_end),
                                       "-screen", "0", f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24",
                                       "-nolisten", "tcp", "-noreset"],
                              self.tmp, pass_fds=(write_end,))
        finally:
            os.close(write_end)
        text = b""
        deadline = time.monotonic() + START_TIMEOUT
        try:
            while b"\n" not in text:
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_end], [], [], left)[0]:
                    raise AssertionError(f"Xvfb did not start in {START_TIMEOUT:g} s: "
                                         + self.xvfb.stderr()[-2000:])
                chunk = os.read(read_end, 64)
                if not chunk:
                    raise AssertionError("Xvfb exited: " + self.xvfb.stderr()[-2000:])
                text += chunk
        finally:
            os.close(read_end)
        self.display = ":" + text.split(b"\n")[0].decode().strip()
        return self.display

    def start_standin(self, mode="normal", delay=0.0):
        """Starts the stand-in service on the build's ports and waits until it listens."""
        ready = self.tmp / "standin.ready"
        self.standin = Group("standin", [sys.executable, STANDIN,
                                         "--site-port", SITE_PORT,
                                         "--software-port", SOFTWARE_PORT,
                                         "--chat-port", CHAT_PORT,
                                         "--log", self.service_log,
                                         "--news-mode", mode, "--news-delay", delay,
                                         "--ready-file", ready], self.tmp)

        def up():
            if not self.standin.running():
                raise AssertionError("the stand-in service exited: " + self.standin.stderr())
            return ready.exists()
        wait_until(up, START_TIMEOUT, message="the stand-in service")

    def start_app(self, city=SAMPLE_CITY, extra_env=None, binary=None):
        """Starts the program in a fresh working directory.

        city: a file to copy as city.txt, bytes to write to it, None for no
        city.txt, or a callable given the city.txt path to prepare it."""
        binary = Path(binary) if binary else BINARY
        if not binary.exists():
            if _BINARY_GIVEN:
                raise AssertionError(f"the program is not built: {binary}")
            raise unittest.SkipTest(f"the program is not built: {binary}")
        if self.display is None:
            self.start_display()
        if self.app is not None:
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

        home = self.tmp / "home"
        runtime = self.tmp / "runtime"
        for d in (home, runtime, home / "data", home / "config", home / "cache"):
            d.mkdir(exist_ok=True)
        runtime.chmod(0o700)
        env = {k: v for k, v in os.environ.items()
               if not (k.startswith(("LC_", "XDG_", "QT_", "QTWEBENGINE_"))
                       or k in ("LANGUAGE", "WAYLAND_DISPLAY", "DESKTOP_SESSION",
                                "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                                "XAUTHORITY"))}
        env.update({
            "DISPLAY": self.display,
            "QT_QPA_PLATFORM": "xcb",
            "LANG": "C.UTF-8",
            "BROWSER": str(BROWSER_RECORDER),
            "TOVAKIDOVIV_BROWSER_LOG": str(self.browser_log),
            # No desktop settings of this machine decide where xdg-open sends an address.
            "HOME": str(home),
            "XDG_DATA_HOME": str(home / "data"),
            "XDG_CONFIG_HOME": str(home / "config"),
            "XDG_CACHE_HOME": str(home / "cache"),
            "XDG_DATA_DIRS": str(home / "data"),
            "XDG_CONFIG_DIRS": str(home / "config"),
            "XDG_RUNTIME_DIR": str(runtime),
        })
        env.update(extra_env or {})
        self.app = Group(f"app{self._runs}", [binary], self.tmp, cwd=self.workdir, env=env)
        self.app_started = time.monotonic()
        self.app_started_wall = time.time()
        return self.app

    def stop_app(self):
        if self.app is not None:
            self.app.stop()
            self._keep(self.app.stderr_path, self.app.stdout_path)
            self.app = None

    def wait_exit(self, timeout):
        """The program's exit status; AssertionError if it still runs after timeout s."""
        return self.app.wait(timeout)

    # --- windows ----------------------------------------------------------

    def _tool(self, *argv, check=True, timeout=TOOL_TIMEOUT):
        env = dict(os.environ, DISPLAY=self.display)
        return subprocess.run([str(a) for a in argv], env=env, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=timeout, check=check)

    def window_name(self, window):
        r = self._tool("xdotool", "getwindowname", window, check=False)
        return r.stdout.decode("utf-8", errors="replace").rstrip("\n") if r.returncode == 0 else None

    def windows_named(self, name, visible_only=False):
        """Ids of the windows whose caption is exactly name."""
        argv = ["xdotool", "search"]
        if visible_only:
            argv.append("--onlyvisible")
        argv += ["--name", "^" + _ere_escape(name) + "$"]
        r = self._tool(*argv, check=False)
        ids = [int(x) for x in r.stdout.split()]
        return [w for w in ids if self.window_name(w) == name]

    def find_window(self, name, timeout=WINDOW_TIMEOUT, visible_only=True):
        """The one (mapped) window captioned name; waits for it, at most timeout s."""
        def found():
            if self.app is not None and not self.app.running():
                raise AssertionError(f"the program exited ({self.app.proc.returncode}) before "
                                     f"showing {name!r}: {self.app.stderr()[-3000:]}")
            return self.windows_named(name, visible_only)
        ids = wait_until(found, timeout, interval=0.1, message=f"a window {name!r}")
        if len(ids) != 1:
            raise AssertionError(f"{len(ids)} windows captioned {name!r}")
        return ids[0]

    def geometry(self, window):
        """(x, y, width, height) of the window's client area on the screen."""
        out = self._tool("xdotool", "getwindowgeometry", "--shell", window).stdout.decode()
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def click(self, window, x, y, button=1):
        """Clicks at (x, y) of the window's client area. A click at the spot of
        the one before waits out the double-click time, so that it is a click
        of its own and not the second half of a double click."""
        spot = (window, x, y, button)
        last_spot, last_time = getattr(self, "_last_click", (None, 0.0))
        if spot == last_spot:
            time.sleep(max(0.0, last_time + DOUBLE_CLICK_SECONDS - time.monotonic()))
        self._tool("xdotool", "mousemove", "--window", window, x, y)
        self._tool("xdotool", "click", button)
        self._last_click = (spot, time.monotonic())

    def focus(self, window):
        self._tool("xdotool", "windowfocus", window)

        def focused():
            r = self._tool("xdotool", "getwindowfocus", check=False)
            return r.returncode == 0 and r.stdout.strip() == str(window).encode()
        wait_until(focused, 5, message=f"focus on window {window}")

    def type_text(self, text, delay_ms=40):
        """Types text into the window that has the keyboard focus."""
        self._tool("xdotool", "type", "--delay", delay_ms, "--", text,
                   timeout=TOOL_TIMEOUT + len(text) * delay_ms / 1000)

    def key(self, *keys, delay_ms=40):
        """Presses keys (xdotool names: Return, Tab, ctrl+a ...) in the focused window."""
        self._tool("xdotool", "key", "--delay", delay_ms, "--", *keys)

    def pick(self, window, at, downs):
        """Picks from a combo box's list as a user does with the arrow keys:
        a click into the box, then Down downs times (each Down is a pick)."""
        self.click(window, *at)
        for _ in range(downs):
            self.key("Down")
            time.sleep(0.15)

    def close_window(self, window):
        """Asks the window to close, as a window manager's close button does."""
        if self._x11 is None:
            self._x11 = X11(self.display)
        self._x11.send_delete_window(window)

    # --- pictures ---------------------------------------------------------

    def pixel(self, window, x, y):
        """One pixel of a window, (r, g, b), read straight from the server."""
        if self._x11 is None:
            self._x11 = X11(self.display)
        return self._x11.pixel(window, x, y)

    def screenshot(self, label, window="root"):
        """Saves a screenshot of the screen (or of a window) in the test's output folder."""
        self._shots += 1
        path = self.output / f"{self._shots:02d}-{label}.png"
        self._tool("import", "-window", window, path)
        return path

    # --- logs -------------------------------------------------------------

    def requests(self):
        """The stand-in service's log so far: dicts with port, method, path, time."""
        return [json.loads(line) for line in complete_lines(self.service_log)]

    def requests_for(self, path, port=None):
        """Logged requests whose path (query aside) is path, on port if given."""
        return [r for r in self.requests()
                if r["path"].partition("?")[0] == path and (port is None or r["port"] == port)]

    def browser_calls(self):
        """The lines the browser recorder wrote: one address a line."""
        return [line.decode("utf-8", errors="surrogateescape") for line in complete_lines(self.browser_log)]

    # --- the application fixture -----------------------------------------------

    def start_main(self, city=SAMPLE_CITY, extra_env=None, binary=None, ready=True,
                   timeout=WINDOW_TIMEOUT):
        """Starts the program and returns its main window; with ready, once
        the loading overlay has gone (the form and the links take clicks)."""
        self.start_app(city=city, extra_env=extra_env, binary=binary)
        window = self.find_window(MAIN_CAPTION, timeout=timeout)
        if ready:
            self.wait_overlay_gone(window)
        return window

    def overlay_gone(self, window):
        """Whether the loading overlay has gone: where it shows its green the
        window shows the white panel once it is hidden."""
        colour = self.pixel(window, *layout.OVERLAY_PROBE)
        return colour is not None and all(c > 200 for c in colour)

    def wait_overlay_gone(self, window, timeout=LOADING_SECONDS + 15.0):
        def gone():
            if self.app is not None and not self.app.running():
                raise AssertionError(f"the program exited ({self.app.proc.returncode}): "
                                     + self.app.stderr()[-3000:])
            return self.overlay_gone(window)
        wait_until(gone, timeout, interval=0.05, message="the loading overlay to go")

    def region(self, window, rect):
        """The pixels of rect (x, y, width, height) of a window, as bytes."""
        if self._x11 is None:
            self._x11 = X11(self.display)
        return self._x11.region(window, *rect)

    def picture(self, window, rect=None):
        """What a window (or rect of it) shows, as an Image, read straight
        from the server: far quicker than a screenshot by a tool."""
        if rect is None:
            rect = (0, 0) + self.geometry(window)[2:]
        data = self.region(window, rect)
        if data is None:
            raise AssertionError(f"window {window:#x} cannot be read")
        rgb = bytearray(len(data) // 4 * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = data[2::4], data[1::4], data[0::4]
        return Image(rect[2], rect[3], bytes(rgb))

    def news_pictures(self, window):
        """What the ten news lines show, one bytes object a line."""
        return [self.region(window, rect) for rect in layout.NEWS_RECT]

    def news_filled(self, window):
        """Whether the ten lines show ten different headlines."""
        lines = self.news_pictures(window)
        return None not in lines and len(set(lines)) == 10

    def wait_news_filled(self, window, timeout=15.0):
        wait_until(lambda: self.news_filled(window), timeout, interval=0.1,
                   message="the news lines to show their headlines")

    def start_main_with_news(self, attempts=3, **start):
        """start_main, then waits for the news lines to be filled. The lines
        are filled only from what the web engine has read in by the tick, two
        seconds after the start; on a machine too busy to fetch the page in
        time the program is started again, at most attempts times in all."""
        for attempt in range(1, attempts + 1):
            window = self.start_main(**start)
            try:
                self.wait_news_filled(window, timeout=8.0)
                return window
            except AssertionError:
                asked = [r["time"] - self.app_started_wall for r in self.requests_for("/softnews.html")]
                asked = ", ".join(f"{t:.2f}" for t in asked if t > 0) or "never"
                if attempt == attempts:
                    raise
                print(f"\nnews lines not filled (news page asked for {asked} s after the start); "
                      f"starting again, attempt {attempt + 1}", flush=True)

    def message_boxes(self):
        return self.windows_named(MESSAGE_BOX_CAPTION, visible_only=True)

    def wait_message_box(self, timeout=10):
        """The one message box shown, once it is; AssertionError if none comes
        or more than one."""
        boxes = wait_until(self.message_boxes, timeout, interval=0.1, message="a message box")
        if len(boxes) != 1:
            raise AssertionError(f"{len(boxes)} message boxes")
        return boxes[0]

    def dismiss(self, box, window=None):
        """Answers a message box with Return and waits until it has gone;
        gives the focus back to window when the program still runs."""
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
        """Clicks at and returns the one address the browser recorder got
        for it. Launches run side by side, so a test that wants them in
        order waits for each before the next click."""
        before = len(self.browser_calls())
        self.click(window, *at)
        calls = self.wait_launches(before + 1, timeout)
        if len(calls) != before + 1:
            raise AssertionError(f"one click, {len(calls) - before} launches: {calls[before:]}")
        return calls[-1]

    def answering(self, window, timeout=15):
        """Whether the program still answers: a click on the home link
        reaches the browser recorder with the site's address."""
        if self.app is None or not self.app.running():
            return False
        before = len(self.browser_calls())
        self.click(window, *layout.HOME_LINK)
        try:
            calls = self.wait_launches(before + 1, timeout)
        except AssertionError:
            return False
        return calls[before:] == [SITE_ROOT]

    def type_into(self, window, at, text, delay_ms=40):
        """Clicks into a text field, selects all it holds and types text over it."""
        self.click(window, *at)
        self.key("ctrl+a")
        self.type_text(text, delay_ms=delay_ms)

    def switch(self, window, tab, timeout=10):
        """Clicks a tab of window's bar and returns the window shown instead
        of it (the only visible window with the main caption)."""
        self.click(window, *tab)

        def other():
            shown = self.windows_named(MAIN_CAPTION, visible_only=True)
            return shown if len(shown) == 1 and shown[0] != window else None
        return wait_until(other, timeout, message="the other window")[0]

    def app_tree(self):
        """The program's process and every process under it (the web engine's)."""
        return process_tree(self.app.pid)

    # --- the end ----------------------------------------------------------

    def _keep(self, *paths):
        for p in paths:
            if p and Path(p).exists():
                shutil.copyfile(p, self.output / Path(p).name)

    def close(self):
        try:
            self.stop_app()
            if self._x11 is not None:
                self._x11.close()
            for group in (self.standin, self.xvfb):
                if group is not None:
                    group.stop()
            self._keep(self.service_log, self.browser_log)
        finally:
            shutil.rmtree(self.tmp, ignore_errors=True)


class E2ETestCase(unittest.TestCase):
    """Gives each test a Session, closed after it whatever the outcome.

    Class attributes choose the service: with_standin, news_mode, news_delay."""

    with_standin = True
    news_mode = "normal"
    news_delay = 0.0

    def assert_answering(self, window):
        """The program still runs and a click on the home link reaches the browser."""
        s = self.session
        self.assertTrue(s.app is not None and s.app.running(),
                        "the program is gone: " + (s.app.stderr()[-2000:] if s.app else ""))
        self.assertTrue(s.answering(window), f"the home link did not answer: {s.browser_calls()[-3:]}")

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
        if self.with_standin:
            self.session.start_standin(self.news_mode, self.news_delay)
