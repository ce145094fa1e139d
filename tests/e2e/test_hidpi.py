"""The main window on a screen of twice the density (QT_SCALE_FACTOR=2): twice
the size, every control where it is at 1x, and the pictures drawn from their
2x renders, not blown up from the 1x ones. The pointing hand is sharp too."""

import time
import unittest

from PIL import Image, ImageChops, ImageStat
from Xlib import display as xdisplay

import harness
import layout
from harness import CLIENT_HEIGHT, CLIENT_WIDTH, SOURCE_DIR
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
    with Image.open(path) as image:
        return image.convert("RGBA")


def doubled(picture):
    """A picture blown up to twice its size, each pixel made four."""
    return picture.resize((2 * picture.width, 2 * picture.height), Image.Resampling.NEAREST)


def opaque_match(shot, left, top, picture, covered=None, tolerance=12):
    """The share of the picture's opaque pixels that the screenshot shows as
    they are, the picture's top-left corner at (left, top), leaving out the
    covered rectangle (x, y, width, height in the picture's pixels)."""
    opaque = picture.getchannel("A").point(lambda a: 255 if a == 255 else 0)
    if covered:
        x, y, width, height = covered
        opaque.paste(0, (x, y, x + width, y + height))
    shown = harness.crop(shot, left, top, picture.width, picture.height)
    r, g, b = ImageChops.difference(shown, picture.convert("RGB")).split()
    close = ImageChops.lighter(ImageChops.lighter(r, g), b).point(lambda v: 255 if v <= tolerance else 0)
    matched = ImageChops.multiply(close, opaque).histogram()[255]
    return matched / opaque.histogram()[255]


def mean_difference(a, b):
    """Mean absolute difference per channel of two pictures of one size."""
    return sum(ImageStat.Stat(ImageChops.difference(a, b)).mean) / 3


def cursor_image(display):
    """The pointer as the X server shows it: (width, height, xhot, yhot, ARGB pixels)."""
    dpy = xdisplay.Display(display)
    try:
        dpy.xfixes_query_version()
        c = dpy.xfixes_get_cursor_image(dpy.screen().root)
        return c.width, c.height, c.xhot, c.yhot, list(c.cursor_image)
    finally:
        dpy.close()


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
        one = harness.load_picture(s.screenshot("1x", window))
        s.stop_app()
        window = self.start_at_2x()
        time.sleep(0.3)
        two_path = s.screenshot("2x", window)
        two = harness.load_picture(two_path)

        self.assertEqual(s.geometry(window)[2:], (SCALE * CLIENT_WIDTH, SCALE * CLIENT_HEIGHT))
        self.assertEqual(two.size, (SCALE * CLIENT_WIDTH, SCALE * CLIENT_HEIGHT))

        # Each picture stands at twice its place, drawn from its 2x render.
        for place, name, over in PICTURES:
            with self.subTest(f"{place.name}: {name}"):
                x, y = scaled(place.rect()[:2])
                covered = None
                if over is not None:
                    ox, oy, ow, oh = over.rect()
                    covered = scaled((ox - place.rect()[0], oy - place.rect()[1], ow, oh))
                sharp = load_rgba(ASSETS / f"{name}@2x.png")
                blown_up = doubled(load_rgba(ASSETS / f"{name}.png"))
                self.assertEqual(sharp.size, blown_up.size)
                self.assertGreater(opaque_match(two, x, y, sharp, covered), 0.98)
                if name == "quote_button":
                    # Its edges and letters are not those of the 1x picture blown up.
                    self.assertLess(opaque_match(two, x, y, blown_up), 0.90)

        # Every other control: the 2x window, halved, shows it where the 1x
        # window does, far closer than at a place a few pixels off.
        halved = two.reduce(2)   # each 2x2 block's mean
        halved.save(s.output / "2x-halved.png")
        for control in CONTROLS:
            with self.subTest(control.name):
                x, y, w, h = control.rect()
                at_1x = harness.crop(one, x, y, w, h)
                here = mean_difference(at_1x, harness.crop(halved, x, y, w, h))
                off = min(mean_difference(at_1x, harness.crop(halved, x + dx, y + dy, w, h))
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
        hand = load_rgba(ASSETS / "hand_cursor@2x.png").getchannel("A")
        self.assertEqual(sum(1 for p in pixels if p >> 24), hand.width * hand.height - hand.histogram()[0])
        s._tool("xdotool", "mousemove", "--window", window, *scaled(news(3).spot(0.25)))
        time.sleep(0.5)
        self.assertNotEqual(cursor_image(s.display)[:2], (96, 96))


if __name__ == "__main__":
    unittest.main()
