"""The main window's shell: caption, size, place, loading phase and closing.
Refusing to start without usable region data is in test_hostile."""

import os
import time
import unittest

import harness
from harness import (CLIENT_HEIGHT, CLIENT_WIDTH, LOADING_SECONDS, MAIN_CAPTION,
                     SCREEN_HEIGHT, SCREEN_WIDTH, SITE_PORT)
from layout import OVERLAY_SAMPLE

# The colour the window paints at OVERLAY_SAMPLE itself before the web engine runs.
PAINTED_LOADING_COLOUR = (49, 160, 93)


class MainWindowTest(harness.E2ETestCase):

    def test_caption_size_and_place(self):
        s = self.session
        s.start_app()
        window = s.find_window(MAIN_CAPTION)
        self.assertEqual(s.window_name(window), MAIN_CAPTION)

        x, y, width, height = s.geometry(window)
        self.assertEqual((width, height), (CLIENT_WIDTH, CLIENT_HEIGHT))
        # No window manager here, so no frame: the client area itself is centred.
        self.assertAlmostEqual(x, (SCREEN_WIDTH - CLIENT_WIDTH) / 2, delta=2)
        self.assertAlmostEqual(y, (SCREEN_HEIGHT - CLIENT_HEIGHT) / 2, delta=2)

        if os.geteuid() == 0:
            harness.wait_until(lambda: "sandbox" in s.app.stderr().lower(), 5,
                               message="the line about the web engine's sandbox")

    def test_loading_overlay_then_news(self):
        s = self.session
        s.start_app()
        window = s.find_window(MAIN_CAPTION)
        shown = time.monotonic()
        # Let the overlay paint, well inside its two seconds.
        time.sleep(0.5)
        loading_shot = s.screenshot("loading")
        taken = time.monotonic() - shown
        self.assertLess(taken, LOADING_SECONDS - 0.5,
                        "the loading screenshot came too late to show the overlay")

        harness.wait_until(lambda: s.requests_for("/softnews.html"), 15,
                           message="the news page request")
        s.wait_overlay_gone(window)
        ready_shot = s.screenshot("ready")

        geometry = s.geometry(window)
        before = harness.Image.load(loading_shot).crop(*geometry)
        after = harness.Image.load(ready_shot).crop(*geometry)
        self.assertGreater(len(after.colours()), 2, "the window shows next to nothing")
        changed = before.differing_pixels(after)
        self.assertGreater(changed, CLIENT_WIDTH * CLIENT_HEIGHT // 100,
                           "the window looks the same during and after the loading phase")

        # One request for the news, to the site, and no second one later.
        time.sleep(1.0)
        news = s.requests_for("/softnews.html")
        self.assertEqual([r["port"] for r in news], [SITE_PORT], news)
        self.assertEqual(news[0]["method"], "GET")
        self.assertTrue(s.app.running())

    def test_loading_page_comes_in_without_a_white_frame(self):
        """The overlay shows the loading colours from the window's first frame
        and the web engine's loading page takes over from them directly: no
        frame in between is white, as an engine page without content is."""
        s = self.session
        s.start_app()
        window = s.find_window(MAIN_CAPTION)
        # Sampled until shortly before the tick hides the overlay.
        deadline = time.monotonic() + LOADING_SECONDS - 0.4
        seen = []
        while time.monotonic() < deadline:
            colour = s.pixel(window, *OVERLAY_SAMPLE)
            if colour is not None and (not seen or colour != seen[-1]):
                seen.append(colour)
            time.sleep(0.002)
        # The very first read may come before the window's first frame.
        self.assertIn(PAINTED_LOADING_COLOUR, seen[:2], f"the loading colours did not come first: {seen}")
        after = seen[seen.index(PAINTED_LOADING_COLOUR):]
        self.assertTrue(all(g > r + 40 and g > b + 20 for r, g, b in after),
                        f"a frame other than green after the loading colours: {seen}")
        self.assertNotEqual(seen[-1], PAINTED_LOADING_COLOUR, f"the engine never drew the page: {seen}")

    def test_close_button_ends_the_program(self):
        s = self.session
        for phase, ready in (("during loading", False), ("after loading", True)):
            with self.subTest(phase):
                window = s.start_main(ready=ready)
                if not ready:
                    self.assertFalse(s.overlay_gone(window), "the overlay had gone already")
                self.assertTrue(s.app.running())
                s.close_window(window)
                self.assertEqual(s.wait_exit(5), 0)


if __name__ == "__main__":
    unittest.main()
