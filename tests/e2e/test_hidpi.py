"""The main window on a screen of twice the density (QT_SCALE_FACTOR=2): twice
the size, every control where it is at 1x, and the pictures drawn from their
2x renders, not blown up from the 1x ones. The pointing hand is sharp too."""

import ctypes
import ctypes.util
import subprocess
import time
import unittest

import harness
from harness import (CLIENT_HEIGHT, CLIENT_WIDTH, LOADING_SECONDS, MAIN_CAPTION, SOURCE_DIR,
                     TOOL_TIMEOUT)

ASSETS = SOURCE_DIR / "assets"
TWIPS = 15  # twips per pixel at 1x

# Pictures shown on the main window once the loading page has gone:
# (control, picture, Left, Top) in twips on the window, and where another
# control covers part of it (Left, Top, Width, Height within the picture).
BAR_LEFT, BAR_TOP = 120, 1515
PICTURES = [
    ("Image5 (快速报价)", "quote_button", 3360, 6720),
    ("Image6 (QQ在线)", "qq_badge", 10320, 2400),
    ("Image7 (QQ在线)", "qq_badge", 10320, 2760),
    ("Image8 (QQ在线)", "qq_badge", 10320, 3120),
    ("Image9 (QQ在线)", "qq_badge", 10320, 3480),
    ("bar Image5 (highlight, under Label1)", "tab_highlight", BAR_LEFT + 120, BAR_TOP, (120, 120, 1695, 375)),
    ("bar Image1 (家装工具)", "tab_tools", BAR_LEFT + 1995, BAR_TOP),
    ("bar Image2 (装修效果图)", "tab_pictures", BAR_LEFT + 3840, BAR_TOP),
    ("bar Image3 (精确报价)", "tab_precise", BAR_LEFT + 5685, BAR_TOP),
    ("bar Image4 (使用说明)", "tab_instructions", BAR_LEFT + 7560, BAR_TOP),
]

# The other controls of the main window: (control, Left, Top, Width, Height) in
# twips on the window (Frame2's news lines are inside Frame2).
CONTROLS = [
    ("Label2", 225, 2640, 975, 375), ("city1", 1440, 2640, 1695, 300),
    ("city2", 3360, 2640, 1695, 300), ("city3", 5400, 2640, 1575, 300),
    ("Label3", 225, 3240, 975, 375), ("Combo6", 1440, 3240, 1695, 300),
    ("Label15", 3480, 3240, 735, 255), ("Combo4", 4320, 3240, 1695, 300),
    ("Label16", 6240, 3240, 855, 255), ("Combo5", 7080, 3240, 1575, 300),
    ("Label4", 225, 3720, 975, 375), ("Label9", 1560, 3720, 975, 375),
    ("Label14", 8160, 3720, 975, 375), ("Label5", 225, 4320, 1215, 255),
    ("Text2", 1560, 4320, 495, 375), ("Text5", 5520, 4320, 495, 375),
    ("Text7", 8160, 4320, 495, 375), ("Option1", 1320, 4800, 1575, 615),
    ("Option5", 7560, 4800, 1095, 615), ("Frame1", 1080, 5400, 7695, 495),
    ("Label7", 225, 5520, 975, 375), ("Text8", 1200, 6000, 2895, 375),
    ("Label8", 225, 6120, 975, 375), ("Label17", 9240, 2520, 855, 375),
    ("Label20", 9240, 3600, 855, 375), ("Frame2", 9000, 4200, 2535, 3495),
    ("Label21", 9360, 7800, 1815, 255), ("bar Label1 (自动报价)", BAR_LEFT + 240, BAR_TOP + 120, 1695, 375),
]

# The first news line (hand cursor) and the fourth (arrow), at 1x.
NEWS_0 = ((9000 + 120 + 300) // TWIPS, (4200 + 360 + 120) // TWIPS)
NEWS_3 = ((9000 + 120 + 300) // TWIPS, (4200 + 1278 + 120) // TWIPS)


def load_rgba(path):
    """(width, height, bytes) of a PNG as 8-bit RGBA."""
    size = subprocess.run(["identify", "-format", "%w %h", f"{path}[0]"], check=True, capture_output=True,
                          text=True, timeout=TOOL_TIMEOUT).stdout.split()
    data = subprocess.run(["convert", str(path), "-depth", "8", "rgba:-"], check=True,
                          stdout=subprocess.PIPE, timeout=TOOL_TIMEOUT).stdout
    width, height = int(size[0]), int(size[1])
    assert len(data) == width * height * 4, path
    return width, height, data


def doubled(width, height, data):
    """A picture blown up to twice its size, each pixel made four."""
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            row += data[(y * width + x) * 4:(y * width + x) * 4 + 4] * 2
        rows += [bytes(row), bytes(row)]
    return 2 * width, 2 * height, b"".join(rows)


def opaque_match(shot, left, top, picture, covered=None, tolerance=12):
    """The share of the picture's opaque pixels that the screenshot shows as
    they are, the picture's top-left corner at (left, top), leaving out the
    covered rectangle (x, y, width, height in the picture's pixels)."""
    width, height, data = picture
    cx, cy, cw, ch = covered or (0, 0, 0, 0)
    matched = total = 0
    for y in range(height):
        for x in range(width):
            r, g, b, a = data[(y * width + x) * 4:(y * width + x) * 4 + 4]
            if a != 255 or (cx <= x < cx + cw and cy <= y < cy + ch):
                continue
            total += 1
            sr, sg, sb = shot.pixel(left + x, top + y)
            if abs(sr - r) <= tolerance and abs(sg - g) <= tolerance and abs(sb - b) <= tolerance:
                matched += 1
    return matched / total


def mean_difference(a, b):
    """Mean absolute difference per channel of two pictures of one size."""
    return sum(abs(x - y) for x, y in zip(a.data, b.data)) / len(a.data)


class _XFixesCursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def cursor_image(display):
    """(width, height, xhot, yhot, pixels) of the pointer as the X server shows it."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    xfixes = ctypes.CDLL(ctypes.util.find_library("Xfixes") or "libXfixes.so.3")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_XFixesCursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    if not dpy:
        raise AssertionError(f"cannot open display {display}")
    try:
        image = xfixes.XFixesGetCursorImage(dpy)
        if not image:
            raise AssertionError("the X server gave no cursor image")
        c = image.contents
        pixels = [c.pixels[i] & 0xFFFFFFFF for i in range(c.width * c.height)]
        found = (c.width, c.height, c.xhot, c.yhot, pixels)
        x11.XFree(ctypes.cast(image, ctypes.c_void_p))
        return found
    finally:
        x11.XCloseDisplay(dpy)


class HiDpiTest(harness.E2ETestCase):

    def setUp(self):
        # The window at twice the size needs a screen larger than the usual one.
        saved = harness.SCREEN_WIDTH, harness.SCREEN_HEIGHT
        harness.SCREEN_WIDTH, harness.SCREEN_HEIGHT = 1800, 1400

        def restore():
            harness.SCREEN_WIDTH, harness.SCREEN_HEIGHT = saved
        self.addCleanup(restore)
        super().setUp()

    def shot_after_loading(self, label, extra_env=None):
        """Starts the program, waits until the loading page has gone and
        returns the main window's screenshot, its file and the window."""
        s = self.session
        s.start_app(extra_env=extra_env)
        window = s.find_window(MAIN_CAPTION)
        time.sleep(max(0.0, s.app_started + LOADING_SECONDS + 4.0 - time.monotonic()))
        path = s.screenshot(label, window)
        return harness.Image.load(path), path, window

    def test_twice_the_size_with_sharp_pictures_and_every_control_in_place(self):
        s = self.session
        one, _, _ = self.shot_after_loading("1x")
        s.stop_app()
        two, two_path, window = self.shot_after_loading("2x", {"QT_SCALE_FACTOR": "2"})

        self.assertEqual(s.geometry(window)[2:], (2 * CLIENT_WIDTH, 2 * CLIENT_HEIGHT))
        self.assertEqual((two.width, two.height), (2 * CLIENT_WIDTH, 2 * CLIENT_HEIGHT))

        # Each picture stands at twice its place, drawn from its 2x render.
        for control, name, left, top, *under in PICTURES:
            with self.subTest(control):
                x, y = 2 * left // TWIPS, 2 * top // TWIPS
                covered = tuple(2 * v // TWIPS for v in under[0]) if under else None
                sharp = load_rgba(ASSETS / f"{name}@2x.png")
                blown_up = doubled(*load_rgba(ASSETS / f"{name}.png"))
                self.assertEqual(sharp[:2], blown_up[:2])
                self.assertGreater(opaque_match(two, x, y, sharp, covered), 0.98)
                if name == "quote_button":
                    # Its edges and letters are not those of the 1x picture blown up.
                    self.assertLess(opaque_match(two, x, y, blown_up), 0.90)

        # Every other control: the 2x window, halved, shows it where the 1x
        # window does, far closer than at a place a few pixels off.
        halved_path = s.output / "2x-halved.png"
        subprocess.run(["convert", str(two_path), "-filter", "box", "-resize", "50%", str(halved_path)],
                       check=True, timeout=TOOL_TIMEOUT)
        halved = harness.Image.load(halved_path)
        for control, left, top, width, height in CONTROLS:
            with self.subTest(control):
                x, y, w, h = left // TWIPS, top // TWIPS, width // TWIPS, height // TWIPS
                here = mean_difference(one.crop(x, y, w, h), halved.crop(x, y, w, h))
                off = min(mean_difference(one.crop(x, y, w, h), halved.crop(x + dx, y + dy, w, h))
                          for dx, dy in ((4, 0), (-4, 0), (0, 4), (0, -4)))
                print(f"{control}: mean difference in place {here:.1f}, 4 px off {off:.1f}")
                self.assertLess(here, 24.0)
                self.assertLess(2 * here, off)

        # The pointing hand over news(0) is the 2x cursor, its hot spot on the
        # fingertip; news(3) keeps the standard arrow.
        s._tool("xdotool", "mousemove", "--window", window, 2 * NEWS_0[0], 2 * NEWS_0[1])
        time.sleep(0.5)
        width, height, xhot, yhot, pixels = cursor_image(s.display)
        self.assertEqual((width, height), (96, 96))
        self.assertEqual((xhot, yhot), (36, 4))
        self.assertEqual(pixels[yhot * width + xhot] >> 24, 255, "the hot spot is not on the hand")
        hand = load_rgba(ASSETS / "hand_cursor@2x.png")
        self.assertEqual(sum(1 for p in pixels if p >> 24), sum(1 for i in range(3, len(hand[2]), 4) if hand[2][i]))
        s._tool("xdotool", "mousemove", "--window", window, 2 * NEWS_3[0], 2 * NEWS_3[1])
        time.sleep(0.5)
        self.assertNotEqual(cursor_image(s.display)[:2], (96, 96))


if __name__ == "__main__":
    unittest.main()
