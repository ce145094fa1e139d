"""The main window's shell: caption, size, place, loading phase and closing.
Refusing to start without usable region data is in test_hostile."""

import os
import re
import time

import harness
from harness import CLIENT_HEIGHT, CLIENT_WIDTH, LOADING_SECONDS, SCREEN_HEIGHT, SCREEN_WIDTH, SITE_PORT, SOURCE_DIR
from layout import OVERLAY_SAMPLE


def loading_colour():
    """The background-color of body in the loading page: the one flat colour
    the window paints itself before the web engine runs."""
    text = (SOURCE_DIR / "assets" / "loading.html").read_text(encoding="utf-8")
    body = re.search(r"^\s*body\s*\{([^}]*)\}", text, re.MULTILINE).group(1)
    return tuple(bytes.fromhex(re.search(r"background-color:\s*#([0-9a-fA-F]{6})\s*;", body).group(1)))


class MainWindowTest(harness.E2ETestCase):

    def test_caption_size_place_and_closing_during_loading(self):
        s = self.session
        window = s.start_main(ready=False)   # found by its caption
        x, y, width, height = s.x11.geometry(window)
        self.assertEqual((width, height), (CLIENT_WIDTH, CLIENT_HEIGHT))
        # No window manager here, so no frame: the client area itself is centred.
        self.assertAlmostEqual(x, (SCREEN_WIDTH - CLIENT_WIDTH) / 2, delta=2)
        self.assertAlmostEqual(y, (SCREEN_HEIGHT - CLIENT_HEIGHT) / 2, delta=2)
        # The close button ends the program while the overlay still stands.
        self.assertFalse(s.overlay_gone(window), "the overlay had gone already")
        self.assertEqual(s.close_window(window), 0)

    def test_loading_overlay_then_news(self):
        s = self.session
        window = s.start_main(ready=False)
        # The loading page is seen before the overlay goes.
        harness.wait_until(lambda: harness.greenish(s.x11.pixel(window, *OVERLAY_SAMPLE)) or s.overlay_gone(window),
                           LOADING_SECONDS + 15, interval=0.02, message="the overlay's colours")
        before = s.picture(window)
        self.assertTrue(harness.greenish(before.getpixel(OVERLAY_SAMPLE)), "the overlay went before its page came")

        s.wait_overlay_gone(window)
        s.wait_news_filled(window)
        after = s.picture(window)
        s.screenshot("ready")
        self.assertGreater(harness.colour_count(after, 10), 2, "the window shows next to nothing")
        changed = harness.differing_pixels(before, after)
        self.assertGreater(changed, CLIENT_WIDTH * CLIENT_HEIGHT // 100,
                           "the window looks the same during and after the loading phase")

        # The close button ends the program once the loading phase is over;
        # the news was asked for once in the whole run, of the site.
        self.assertEqual(s.close_window(window), 0)
        news = s.requests_for("/softnews.html")
        self.assertEqual([r["port"] for r in news], [SITE_PORT], news)
        self.assertEqual(news[0]["method"], "GET")

    def test_loading_page_comes_in_without_a_white_frame(self):
        """The overlay shows the loading colours from the window's first frame
        and the web engine's loading page takes over from them directly: no
        frame in between is white, as an engine page without content is."""
        s = self.session
        window = s.start_main(ready=False)
        # Sampled until shortly before the tick hides the overlay.
        deadline = time.monotonic() + LOADING_SECONDS - 0.4
        seen = []
        while time.monotonic() < deadline:
            colour = s.x11.pixel(window, *OVERLAY_SAMPLE)
            if colour is not None and (not seen or colour != seen[-1]):
                seen.append(colour)
            time.sleep(0.002)
        # The very first read may come before the window's first frame.
        painted = loading_colour()
        self.assertIn(painted, seen[:2], f"the loading colour {painted} did not come first: {seen}")
        after = seen[seen.index(painted):]
        self.assertTrue(all(map(harness.greenish, after)),
                        f"a frame other than green after the loading colours: {seen}")
        self.assertNotEqual(seen[-1], painted, f"the engine never drew the page: {seen}")


class ScreenUnderMutterTest(harness.E2ETestCase):
    """Under GNOME's compositing window manager, the end of the loading phase
    reaches the screen: the news lines the window holds are the ones shown."""

    window_manager = True
    STARTS = int(os.environ.get("TOVAKIDOVIV_SCREEN_STARTS", "4"))
    CARET_PIXELS = 40   # the focused box's caret may blink between the two reads

    def test_screen_shows_what_the_window_holds(self):
        s = self.session
        for start in range(self.STARTS):
            with self.subTest(start=start):
                window = s.start_main(news=True)
                differs = []
                try:
                    harness.wait_until(lambda: differs.append(s.screen_differs(window))
                                       or differs[-1] <= self.CARET_PIXELS, 5,
                                       message=lambda: f"the screen to show the window: {differs[-1]} pixels differ")
                except AssertionError:
                    s.screenshot(f"start{start}-screen")
                    raise
