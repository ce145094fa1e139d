"""The main window on a screen of twice the density (QT_SCALE_FACTOR=2): twice
the size, every control where it is at 1x, and the pictures drawn from their
2x renders, not blown up from the 1x ones. The pointing hand is sharp too."""

import ctypes
import ctypes.util
import subprocess
import time
import unittest

import harness
import layout
from harness import CLIENT_HEIGHT, CLIENT_WIDTH, SOURCE_DIR, TOOL_TIMEOUT
from layout import Box, box, news, tab

ASSETS = SOURCE_DIR / "assets"
SCALE = 2

# The bar's caption over the highlighted tab (slot 1), from the bar's corner.
_BAR = box("shjbjqbutton1")
BAR_LABEL1 = Box("bar Label1 (自动报价)", _BAR.left + 240, _BAR.top + 120, 1695, 375)

# Pictures shown on the main window once the loading page has gone: the
# control's box, the picture, and the box of a control that covers part of it.
PICTURES = [
    (box("Image5"), "quote_button", None),
    (box("Image6"), "qq_badge", None),
    (box("Image7"), "qq_badge", None),
    (box("Image8"), "qq_badge", None),
    (box("Image9"), "qq_badge", None),
    (tab(1), "tab_highlight", BAR_LABEL1),
    (tab(2), "tab_tools", None),
    (tab(3), "tab_pictures", None),
    (tab(4), "tab_precise", None),
    (tab(5), "tab_instructions", None),
]

# The other controls: the layout's, and the captions, which take no clicks.
CONTROLS = [box(name) for name in (
    "city1", "city2", "city3", "Combo6", "Combo4", "Combo5", "Text2", "Text5", "Text7", "Text8",
    "Option1", "Option5", "Frame1", "Option7", "Frame2", "Label17", "Label20", "Label21")] + [
    Box("Label2", 225, 2640, 975, 375), Box("Label3", 225, 3240, 975, 375),
    Box("Label15", 3480, 3240, 735, 255), Box("Label16", 6240, 3240, 855, 255),
    Box("Label4", 225, 3720, 975, 375), Box("Label9", 1560, 3720, 975, 375),
    Box("Label14", 8160, 3720, 975, 375), Box("Label5", 225, 4320, 1215, 255),
    Box("Label7", 225, 5520, 975, 375), Box("Label8", 225, 6120, 975, 375), BAR_LABEL1,
]


def scaled(rect):
    """A rectangle or point in pixels at 1x, in pixels at twice the density."""
    return tuple(SCALE * v for v in rect)


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
    # No service: the news lines keep "Label21" in both runs, whatever the
    # timing, so the two windows show the same.
    with_standin = False

    def setUp(self):
        # The window at twice the size needs a screen larger than the usual one.
        saved = harness.SCREEN_WIDTH, harness.SCREEN_HEIGHT
        harness.SCREEN_WIDTH, harness.SCREEN_HEIGHT = 1800, 1400

        def restore():
            harness.SCREEN_WIDTH, harness.SCREEN_HEIGHT = saved
        self.addCleanup(restore)
        super().setUp()

    def start_at_2x(self):
        """Starts the program at twice the density and returns its main window
        once the loading page has gone."""
        s = self.session
        s.start_app(extra_env={"QT_SCALE_FACTOR": str(SCALE)})
        window = s.find_window(harness.MAIN_CAPTION)
        probe = scaled(layout.OVERLAY_PROBE)
        harness.wait_until(lambda: all(c > 200 for c in (s.pixel(window, *probe) or (0,))),
                           harness.LOADING_SECONDS + 15.0, message="the loading overlay to go")
        return window

    def test_twice_the_size_with_sharp_pictures_and_every_control_in_place(self):
        s = self.session
        window = s.start_main()
        time.sleep(0.3)
        one = harness.Image.load(s.screenshot("1x", window))
        s.stop_app()
        window = self.start_at_2x()
        time.sleep(0.3)
        two_path = s.screenshot("2x", window)
        two = harness.Image.load(two_path)

        self.assertEqual(s.geometry(window)[2:], (SCALE * CLIENT_WIDTH, SCALE * CLIENT_HEIGHT))
        self.assertEqual((two.width, two.height), (SCALE * CLIENT_WIDTH, SCALE * CLIENT_HEIGHT))

        # Each picture stands at twice its place, drawn from its 2x render.
        for place, name, over in PICTURES:
            with self.subTest(f"{place.name}: {name}"):
                x, y = scaled(place.rect()[:2])
                covered = None
                if over is not None:
                    ox, oy, ow, oh = over.rect()
                    covered = scaled((ox - place.rect()[0], oy - place.rect()[1], ow, oh))
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
        for control in CONTROLS:
            with self.subTest(control.name):
                x, y, w, h = control.rect()
                here = mean_difference(one.crop(x, y, w, h), halved.crop(x, y, w, h))
                off = min(mean_difference(one.crop(x, y, w, h), halved.crop(x + dx, y + dy, w, h))
                          for dx, dy in ((4, 0), (-4, 0), (0, 4), (0, -4)))
                print(f"{control.name}: mean difference in place {here:.1f}, 4 px off {off:.1f}")
                self.assertLess(here, 24.0)
                self.assertLess(2 * here, off)

        # The pointing hand over news(0) is the 2x cursor, its hot spot on the
        # fingertip; news(3) keeps the standard arrow.
        s._tool("xdotool", "mousemove", "--window", window, *scaled(news(0).spot(0.25)))
        time.sleep(0.5)
        width, height, xhot, yhot, pixels = cursor_image(s.display)
        self.assertEqual((width, height), (96, 96))
        self.assertEqual((xhot, yhot), (36, 4))
        self.assertEqual(pixels[yhot * width + xhot] >> 24, 255, "the hot spot is not on the hand")
        hand = load_rgba(ASSETS / "hand_cursor@2x.png")
        self.assertEqual(sum(1 for p in pixels if p >> 24), sum(1 for i in range(3, len(hand[2]), 4) if hand[2][i]))
        s._tool("xdotool", "mousemove", "--window", window, *scaled(news(3).spot(0.25)))
        time.sleep(0.5)
        self.assertNotEqual(cursor_image(s.display)[:2], (96, 96))


if __name__ == "__main__":
    unittest.main()
