"""The program as a native Wayland client, under Weston and under GNOME's
compositor (mutter), each nested in Xvfb: the loading overlay stays inside
the main window, the instructions page fills its view on every visit, the bar
lies above the page where they overlap, and the main window, which has one
size, stays where and as large as it is when its frame's maximise button is
pressed."""

import time

import harness
import layout
import wayland
from harness import LOADING_SECONDS
from layout import CLIENT_SIZE as MAIN_SIZE, INSTRUCTIONS_SIZE
from test_webview import TAB1, TAB5, bar_faults, page_faults, settled_faults


class WaylandWindowsMixin:

    def frame_at(self, label, size, timeout=20, bare_too=False):
        """(left, top, right, bottom) of the one window drawn on the desktop, frame included, once it has
        the client size given, framed (or bare too: a first frame may come before the decoration)."""
        sizes = [wayland.framed_size(size)] + ([tuple(size)] if bare_too else [])
        found = []

        def shown():
            self.session.check_running(f"showing a window of the size {size}")
            box = wayland.window_box(self.desktop.shot(label), sizes[0], self.desktop.empty)
            found[:] = [box]
            return box is not None and (box[2] - box[0], box[3] - box[1]) in sizes
        harness.wait_until(shown, timeout, interval=0.2, message=lambda: f"a window of one of the sizes {sizes}, "
                           f"the one found on the desktop: {found[0] if found else None}")
        return found[0]

    def window_box(self, label, size, timeout=20):
        """(left, top) of the client area of the one window drawn on the desktop, once shown framed."""
        left, top = self.frame_at(label, size, timeout)[:2]
        origin = left + wayland.DECORATION[0], top + wayland.DECORATION[1]
        self.park_pointer(origin, size)
        return origin

    def park_pointer(self, origin, size):
        """Puts the pointer in the output's corner farthest from the window's
        middle, where a window smaller than the output never reaches: wherever
        the last click left it and wherever Weston placed the window, no check
        then reads a pixel of the pointer."""
        x = wayland.OUTPUT_WIDTH - 1 if origin[0] + size[0] / 2 < wayland.OUTPUT_WIDTH / 2 else 0
        y = wayland.OUTPUT_HEIGHT - 1 if origin[1] + size[1] / 2 < wayland.OUTPUT_HEIGHT / 2 else 0
        self.desktop.move(x, y)

    def switch(self, origin, tab, size, label):
        self.desktop.click(origin[0] + tab[0], origin[1] + tab[1])
        return self.window_box(label, size)

    def visit(self, origin, faults, label):
        """A visit of the instructions window, whose picture faults() must find nothing wrong with;
        returns the main window's origin once back."""
        origin = self.switch(origin, TAB5, INSTRUCTIONS_SIZE, f"instructions-{label}")
        self.assertEqual(settled_faults(lambda: harness.crop(self.desktop.shot(label), *origin, *INSTRUCTIONS_SIZE),
                                        faults), [], label)
        return self.switch(origin, TAB1, MAIN_SIZE, f"main-after-{label}")


class OverlayAndPageTest(WaylandWindowsMixin, wayland.WaylandTestCase):

    def test_overlay_inside_window_and_page_on_both_visits(self):
        self.start_app()
        frame = self.frame_at("main", MAIN_SIZE, timeout=harness.WINDOW_TIMEOUT, bare_too=True)
        # Through the loading phase, the engine's own drawing included, nothing
        # is drawn outside the main window and its frame but Weston's pointer.
        width, height = wayland.framed_size(MAIN_SIZE)
        frame = frame[:2] + (frame[0] + width, frame[1] + height)
        shots = 0
        shown = time.monotonic()
        while time.monotonic() - shown < LOADING_SECONDS + 0.5:
            stray = wayland.stray_box(self.desktop.shot("loading"), frame, self.desktop.empty)
            shots += 1
            if stray is not None:
                self.assertLessEqual(max(stray[2] - stray[0], stray[3] - stray[1]), wayland.POINTER_LIMIT,
                                     f"drawn outside the window {frame}: {stray}")
        self.assertGreaterEqual(shots, 2)
        origin = self.window_box("main", MAIN_SIZE)

        for visit in ("first-visit", "second-visit"):
            origin = self.visit(origin, page_faults, visit)

        # Two presses on the maximise button its frame offers all the same.
        frame = self.frame_at("before-maximise", MAIN_SIZE)
        button = (frame[2] + wayland.MAXIMISE_BUTTON[0], frame[1] + wayland.MAXIMISE_BUTTON[1])
        for press, option in (("first", layout.OPTION4), ("second", layout.OPTION7)):
            before = self.desktop.shot(f"before-{press}-press")
            self.desktop.click(*button)
            time.sleep(harness.DOUBLE_CLICK_SECONDS)   # a press of its own, not half a double click
            # An option picked afterwards shows once the press has been handled.
            spot = (origin[0] + option[0] - 8, origin[1] + option[1] - 8, 16, 16)
            self.desktop.click(spot[0] + 8, spot[1] + 8)
            self.park_pointer(origin, MAIN_SIZE)
            harness.wait_until(lambda: harness.crop(self.desktop.shot(f"after-{press}-press"), *spot)
                               != harness.crop(before, *spot), 10, message="the option picked")
            self.assertEqual(self.frame_at(f"after-{press}-press", MAIN_SIZE), frame, f"after the {press} press")
            # The button still offers to maximise: the window is not taken for maximised.
            self.assertEqual(harness.differing_pixels(*(harness.crop(shot, button[0] - 9, button[1] - 9, 18, 18)
                                                        for shot in (before, self.desktop.shot(press)))), 0)


class BarOverPageTest(WaylandWindowsMixin, wayland.WaylandTestCase):
    news_mode = "popups"

    def test_bar_above_page_in_the_overlap(self):
        self.start_app()
        origin = self.window_box("main", MAIN_SIZE, timeout=harness.WINDOW_TIMEOUT)
        # The bar takes clicks once the loading phase is over: the overlay's green gone.
        probe = (origin[0] + layout.OVERLAY_PROBE[0], origin[1] + layout.OVERLAY_PROBE[1])
        harness.wait_until(lambda: min(self.desktop.shot("loading").getpixel(probe)) > 200,
                           LOADING_SECONDS + 15, interval=0.2, message="the loading overlay to go")
        origin = self.visit(origin, bar_faults, "first-visit")
        self.assertEqual(self.session.browser_calls(), [])
        self.visit(origin, bar_faults, "second-visit")


class OverlayAndPageUnderMutterTest(OverlayAndPageTest):
    compositor = "mutter"


class BarOverPageUnderMutterTest(BarOverPageTest):
    compositor = "mutter"
