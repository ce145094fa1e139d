"""The main window on a screen of twice the density (QT_SCALE_FACTOR=2): twice
the size, every control where it is at 1x, and the pictures drawn from their
2x renders, not blown up from the 1x ones. The pointing hand is sharp too."""

import time
from unittest import mock

from PIL import Image, ImageChops, ImageStat

import harness
from harness import CLIENT_HEIGHT, CLIENT_WIDTH, SOURCE_DIR
from layout import MAIN, news, tab

ASSETS = SOURCE_DIR / "assets"
SCALE = 2

# Pictures shown on the main window once the loading page has gone: the
# control's box, the picture, and the box of a control that covers part of it.
PICTURES = [(MAIN[f"Image{n}"], "qq_badge" if n > 5 else "quote_button", None) for n in range(5, 10)] + [
    (tab(1), "tab_highlight", MAIN["Label1"])] + [
    (tab(n), f"tab_{name}", None) for n, name in ((2, "tools"), (3, "pictures"), (4, "precise"), (5, "instructions"))]

# The other controls, the captions among them.
CONTROLS = [MAIN[name] for name in (
    "city1", "city2", "city3", "Combo6", "Combo4", "Combo5", "Text2", "Text5", "Text7", "Text8", "Option1",
    "Option5", "Frame1", "Option7", "Frame2", "Label17", "Label20", "Label21", "Label2", "Label3", "Label15",
    "Label16", "Label4", "Label9", "Label14", "Label5", "Label7", "Label8", "Label1")]


def scaled(rect):
    """A rectangle or point in pixels at 1x, in pixels at twice the density."""
    return tuple(SCALE * v for v in rect)


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


def cursor_image(dpy):
    """The pointer as the X server shows it: (width, height, xhot, yhot, ARGB pixels)."""
    dpy.xfixes_query_version()
    c = dpy.xfixes_get_cursor_image(dpy.screen().root)
    return c.width, c.height, c.xhot, c.yhot, list(c.cursor_image)


class HiDpiTest(harness.E2ETestCase):
    # No service: the news lines keep "Label21" in both runs, whatever the
    # timing, so the two windows show the same.
    with_standin = False

    def setUp(self):
        # The window at twice the size needs a screen larger than the usual one.
        self.enterContext(mock.patch.multiple(harness, SCREEN_WIDTH=1800, SCREEN_HEIGHT=1400))
        super().setUp()

    def test_twice_the_size_with_sharp_pictures_and_every_control_in_place(self):
        s = self.session
        window = s.start_main()
        time.sleep(0.3)
        one = s.screenshot("1x", window)
        s.stop_app()
        window = s.start_main(extra_env={"QT_SCALE_FACTOR": str(SCALE)}, ready=False)
        s.wait_overlay_gone(window, scale=SCALE)
        time.sleep(0.3)
        two = s.screenshot("2x", window)

        self.assertEqual(s.x11.geometry(window)[2:], (SCALE * CLIENT_WIDTH, SCALE * CLIENT_HEIGHT))

        # Each picture stands at twice its place, drawn from its 2x render.
        for place, name, over in PICTURES:
            with self.subTest(f"{place.name}: {name}"):
                x, y = scaled(place.rect()[:2])
                covered = None
                if over is not None:
                    ox, oy, ow, oh = over.rect()
                    covered = scaled((ox - place.rect()[0], oy - place.rect()[1], ow, oh))
                sharp = Image.open(ASSETS / f"{name}@2x.png").convert("RGBA")
                small = Image.open(ASSETS / f"{name}.png").convert("RGBA")   # blown up, each pixel made four
                blown_up = small.resize((2 * small.width, 2 * small.height), Image.Resampling.NEAREST)
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
        dpy = s.x11.dpy
        s.x11.move(window, *scaled(news(0).spot(0.25)))
        width, height, xhot, yhot, pixels = harness.wait_until(
            lambda: cursor_image(dpy)[:2] == (96, 96) and cursor_image(dpy), 5, message="the 2x hand")
        self.assertEqual((xhot, yhot), (36, 4))
        self.assertEqual(pixels[yhot * width + xhot] >> 24, 255, "the hot spot is not on the hand")
        hand = Image.open(ASSETS / "hand_cursor@2x.png").convert("RGBA").getchannel("A")
        self.assertEqual(sum(1 for p in pixels if p >> 24), hand.width * hand.height - hand.histogram()[0])
        s.x11.move(window, *scaled(news(3).spot(0.25)))
        harness.wait_until(lambda: cursor_image(dpy)[:2] != (96, 96), 5, message="the arrow over news(3)")
