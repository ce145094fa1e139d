"""The program as a native Wayland client, under Weston nested in Xvfb: the
loading overlay stays inside the main window, the instructions page fills its
view on every visit, and the bar lies above the page where they overlap."""

import time
import unittest

import harness
import layout
import wayland
from harness import LOADING_SECONDS
from test_webview import TAB1, TAB5, bar_faults, page_faults

MAIN_SIZE = layout.CLIENT_SIZE
INSTRUCTIONS_SIZE = layout.INSTRUCTIONS_SIZE


class WaylandWindowsMixin:

    def frame_at(self, label, size, timeout=20, bare_too=False):
        """(left, top) of the one window drawn on the desktop, frame included,
        once it has the client size given, framed (or bare too: a window's
        first frames may come before its decoration); AssertionError when it
        does not come."""
        sizes = [wayland.framed_size(size)] + ([tuple(size)] if bare_too else [])
        found = []

        def shown():
            box = wayland.drawn_box(self.desktop.shot(label))
            found[:] = [box]
            return box is not None and (box[2] - box[0], box[3] - box[1]) in sizes
        try:
            harness.wait_until(shown, timeout, interval=0.2, message=f"a window of {size}")
        except AssertionError:
            raise AssertionError(f"drawn on the desktop: {found[0] if found else None}, "
                                 f"wanted a window of {sizes}") from None
        return found[0][:2]

    def window_box(self, label, size, timeout=20):
        """(left, top) of the client area of the one window drawn on the
        desktop, once it is shown with its frame."""
        left, top = self.frame_at(label, size, timeout)
        return left + wayland.DECORATION[0], top + wayland.DECORATION[1]

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
        frame = self.frame_at("main", MAIN_SIZE, timeout=harness.WINDOW_TIMEOUT, bare_too=True)
        # Through the loading phase, the engine's own drawing included, nothing
        # is drawn outside the main window and its frame.
        framed = wayland.framed_size(MAIN_SIZE)
        boxes = []
        shown = time.monotonic()
        while time.monotonic() - shown < LOADING_SECONDS + 0.5:
            boxes.append(wayland.drawn_box(self.desktop.shot("loading")))
        self.assertGreaterEqual(len(boxes), 2)
        for box in boxes:
            self.assertIsNotNone(box)
            self.assertGreaterEqual(box[0], frame[0], box)
            self.assertGreaterEqual(box[1], frame[1], box)
            self.assertLessEqual(box[2], frame[0] + framed[0], box)
            self.assertLessEqual(box[3], frame[1] + framed[1], box)
        origin = self.window_box("main", MAIN_SIZE)
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
