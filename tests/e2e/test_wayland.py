"""The program as a native Wayland client, under Weston nested in Xvfb: the
loading overlay stays inside the main window, the instructions page fills its
view on every visit, and the bar lies above the page where they overlap."""

import time
import unittest

import harness
import wayland
from harness import LOADING_SECONDS
from test_webview import TAB1, TAB5, bar_faults, page_faults

MAIN_SIZE = (797, 574)
INSTRUCTIONS_SIZE = (799, 575)


class WaylandWindowsMixin:

    def window_box(self, label, size, timeout=20):
        """(left, top) of the client area of the one window drawn on the
        desktop, once it has the client size given; AssertionError when it
        does not come."""
        framed = wayland.framed_size(size)
        found = []

        def shown():
            image = self.desktop.shot(label)
            box = wayland.drawn_box(image)
            found[:] = [image, box]
            return box is not None and (box[2] - box[0], box[3] - box[1]) == framed
        try:
            harness.wait_until(shown, timeout, interval=0.2, message=f"a window of {size}")
        except AssertionError:
            raise AssertionError(f"drawn on the desktop: {found[1] if found else None}, "
                                 f"wanted a window of {framed}") from None
        return found[1][0] + wayland.DECORATION[0], found[1][1] + wayland.DECORATION[1]

    def window_picture(self, origin, size, label):
        return self.desktop.shot(label).crop(origin[0], origin[1], *size)

    def switch(self, origin, tab, size, label):
        self.desktop.click(origin[0] + tab[0], origin[1] + tab[1])
        time.sleep(0.5)
        return self.window_box(label, size)

    def settled(self, origin, size, label, faults, timeout=10):
        deadline = time.monotonic() + timeout
        while True:
            image = self.window_picture(origin, size, label)
            if not faults(image) or time.monotonic() > deadline:
                return image
            time.sleep(0.5)


class OverlayAndPageTest(WaylandWindowsMixin, wayland.WaylandTestCase):

    def test_overlay_inside_window_and_page_on_both_visits(self):
        self.start_app()
        origin = self.window_box("main", MAIN_SIZE, timeout=harness.WINDOW_TIMEOUT)
        # Through the loading phase, the engine's own drawing included, nothing
        # is drawn outside the main window.
        left, top, right, bottom = wayland.DECORATION
        window = (origin[0] - left, origin[1] - top,
                  origin[0] + MAIN_SIZE[0] + right, origin[1] + MAIN_SIZE[1] + bottom)
        boxes = []
        shown = time.monotonic()
        while time.monotonic() - shown < LOADING_SECONDS + 0.5:
            boxes.append(wayland.drawn_box(self.desktop.shot("loading")))
        self.assertGreaterEqual(len(boxes), 2)
        for box in boxes:
            self.assertEqual(box, window)
        time.sleep(1.0)

        origin = self.switch(origin, TAB5, INSTRUCTIONS_SIZE, "instructions")
        image = self.settled(origin, INSTRUCTIONS_SIZE, "first-visit", page_faults)
        self.assertEqual(page_faults(image), [])

        origin = self.switch(origin, TAB1, MAIN_SIZE, "main-again")
        origin = self.switch(origin, TAB5, INSTRUCTIONS_SIZE, "instructions-again")
        time.sleep(1.0)
        image = self.settled(origin, INSTRUCTIONS_SIZE, "second-visit", page_faults)
        self.assertEqual(page_faults(image), [])


class BarOverPageTest(WaylandWindowsMixin, wayland.WaylandTestCase):
    news_mode = "popups"

    def test_bar_above_page_in_the_overlap(self):
        self.start_app()
        origin = self.window_box("main", MAIN_SIZE, timeout=harness.WINDOW_TIMEOUT)
        time.sleep(LOADING_SECONDS + 1.0)
        origin = self.switch(origin, TAB5, INSTRUCTIONS_SIZE, "instructions")
        image = self.settled(origin, INSTRUCTIONS_SIZE, "bar-over-page", bar_faults)
        self.assertEqual(bar_faults(image), [])
        self.assertEqual(self.session.browser_calls(), [])

        origin = self.switch(origin, TAB1, MAIN_SIZE, "main-again")
        origin = self.switch(origin, TAB5, INSTRUCTIONS_SIZE, "instructions-again")
        image = self.settled(origin, INSTRUCTIONS_SIZE, "bar-over-page-again", bar_faults)
        self.assertEqual(bar_faults(image), [])


if __name__ == "__main__":
    unittest.main()
