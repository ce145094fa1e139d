"""The main window's shell: caption, size, place, loading phase, closing, and
refusing to start without usable region data."""

import os
import time
import unittest

import harness
from harness import (CLIENT_HEIGHT, CLIENT_WIDTH, LOADING_SECONDS, MAIN_CAPTION,
                     MESSAGE_BOX_CAPTION, SCREEN_HEIGHT, SCREEN_WIDTH, SITE_PORT)


# A point of the overlay away from loading.html's card and sparkles, and the
# colour the window paints there itself before the web engine runs.
OVERLAY_SAMPLE = (250, 170)
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
        # Past the overlay's end, with time to lay out the news lines.
        time.sleep(max(0.0, shown + LOADING_SECONDS + 2.5 - time.monotonic()))
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
        for phase, after in (("during loading", 0.3), ("after loading", LOADING_SECONDS + 1.5)):
            with self.subTest(phase):
                s.start_app()
                window = s.find_window(MAIN_CAPTION)
                time.sleep(after)
                self.assertTrue(s.app.running())
                s.close_window(window)
                self.assertEqual(s.wait_exit(5), 0)


class UnusableRegionDataTest(harness.E2ETestCase):
    """Without a readable city.txt the program says so and ends with status 1."""

    CASES = (
        ("missing", None),
        ("a directory", lambda path: path.mkdir()),
        ("empty", b""),
    )

    def test_message_box_then_exit_status_1(self):
        s = self.session
        for label, city in self.CASES:
            with self.subTest(city_txt=label):
                s.start_app(city=city)
                main_windows = []

                def box_shown():
                    main_windows.extend(s.windows_named(MAIN_CAPTION))
                    return s.windows_named(MESSAGE_BOX_CAPTION, visible_only=True)
                boxes = harness.wait_until(box_shown, harness.WINDOW_TIMEOUT, interval=0.1,
                                           message="the message box")
                self.assertEqual(len(boxes), 1, boxes)
                box = boxes[0]
                s.screenshot(f"message-box-{label.replace(' ', '-')}", window=box)

                # The box waits for its answer; the main window stays away meanwhile.
                deadline = time.monotonic() + 1.0
                while time.monotonic() < deadline:
                    main_windows.extend(s.windows_named(MAIN_CAPTION))
                    time.sleep(0.1)
                self.assertTrue(s.app.running(), "the program ended before OK was pressed")

                s.focus(box)
                s.key("Return")
                self.assertEqual(s.wait_exit(5), 1)
                self.assertEqual(sorted(set(main_windows)), [], "a main window existed")


if __name__ == "__main__":
    unittest.main()
