"""The web views on X11: the bar stacked above the instructions view, page
scripts that open windows by themselves, the death of the page processes, and
a quiet start."""

import contextlib
import os
import signal
import time

import psutil

import harness
import layout
from harness import MAIN_CAPTION, REAL_CITY, SITE_PORT, SOFTWARE_PORT, greenish, near
from layout import BACKGROUND, BEIJING_PICKS, IMAGE5, TAB5, TEXT8

# The instructions window's tabs, its view and its bar, in pixels.
TAB1 = layout.INSTRUCTIONS_TAB1
VIEW_LEFT, VIEW_TOP, VIEW_WIDTH, VIEW_HEIGHT = layout.INSTRUCTIONS["WebBrowser2"].rect()
_bar = layout.INSTRUCTIONS["shjbjqbutton1"].rect()
BAR_LEFT, BAR_RIGHT = _bar[0], _bar[0] + _bar[2]
BAND = range(VIEW_TOP, _bar[1] + _bar[3])   # the bar's lower edge over the view
# The popups page's target="_blank" link: a blue block along the page's top.
LINK_BLUE = (0x30, 0x50, 0xC0)
LINK_HEIGHT = 120
LINK = (400, VIEW_TOP + 60)
POPUP_LATER_SECONDS = 2.5

SANDBOX_LINE = "tovakidoviv: running as root, so the web engine's sandbox is turned off"


def bar_faults(image):
    """Where the bar's lower edge and the page break their stacking, on a
    picture of the instructions window showing the popups page: the bar
    (above) must hide the page's blue in the band, the page must show right of
    the bar and below it."""
    faults = []
    for y in BAND:
        for x in range(BAR_LEFT + 2, BAR_RIGHT - 2, 3):
            if near(image.getpixel((x, y)), LINK_BLUE):
                faults.append(f"page over the bar at ({x}, {y})")
                break
        for x in range(BAR_RIGHT + 4, VIEW_LEFT + VIEW_WIDTH - 4, 3):
            if not near(image.getpixel((x, y)), LINK_BLUE):
                faults.append(f"no page right of the bar at ({x}, {y}): {image.getpixel((x, y))}")
                break
    for y in range(BAND.stop + 1, VIEW_TOP + LINK_HEIGHT - 2, 4):
        if not near(image.getpixel((300, y)), LINK_BLUE):
            faults.append(f"no page below the bar at (300, {y}): {image.getpixel((300, y))}")
            break
    return faults


def page_faults(image):
    """Where the instructions page (black text on white) fails to fill the
    instructions view, on a picture of the window."""
    faults = []
    right, bottom = VIEW_LEFT + VIEW_WIDTH, VIEW_TOP + VIEW_HEIGHT
    for y in range(VIEW_TOP + 8, bottom - 2, 6):
        for x in range(VIEW_LEFT + 2, right - 2, 6):
            if greenish(image.getpixel((x, y))):
                faults.append(f"loading colours at ({x}, {y}) in place of the page")
                return faults
    for x, y in ((right - 4, bottom - 4), (right - 4, VIEW_TOP + 10), (VIEW_LEFT + 4, bottom - 4),
                 (VIEW_LEFT + VIEW_WIDTH // 2, VIEW_TOP + VIEW_HEIGHT // 2 + 100)):
        if image.getpixel((x, y)) != (255, 255, 255):
            faults.append(f"not the page's white at ({x}, {y}): {image.getpixel((x, y))}")
    text = harness.crop(image, VIEW_LEFT, BAND.stop, 400, 60)
    if not any(max(c) < 90 for _, c in text.getcolors(400 * 60)):
        faults.append("no text of the page at the view's top left")
    return faults


def renderer_pids(root):
    """The page processes among root's descendants: the engine's zygote
    forks them, so they are engine processes whose parent is one too."""
    found = []
    for p in psutil.Process(root).children(recursive=True):
        with contextlib.suppress(psutil.NoSuchProcess):
            if all(q.name().startswith("QtWebEngineProc") for q in (p, p.parent())):
                found.append(p.pid)
    return found


def settled_faults(take, faults, timeout=10):
    """What faults() finds on the pictures take() gives: nothing once one is right, else the last one's faults."""
    deadline = time.monotonic() + timeout
    while (found := faults(take())) and time.monotonic() <= deadline:
        time.sleep(0.3)
    return found


class WindowsMixin:
    """Switching between the two real windows with the tab bar."""

    def open_instructions(self, **start):
        """Starts the program and opens its instructions window once the loading phase is over."""
        s = self.session
        main = s.start_main(**start)   # the bar takes clicks once the overlay has gone
        instructions = s.switch(main, TAB5)
        harness.wait_until(s.explain_requests, 10, message="the instructions page")
        return instructions

    def window_faults(self, window, label, faults):
        return settled_faults(lambda: self.session.screenshot(label, window), faults)


class PopupsTest(WindowsMixin, harness.E2ETestCase):
    news_mode = "popups"

    def popup_requests(self):
        return [r["path"] for r in self.session.requests() if r["path"].startswith("/popup/")]

    def test_only_a_click_opens_a_window(self):
        s = self.session
        instructions = self.open_instructions()
        # Both the hidden news page and the instructions page have tried all
        # their windows, the late ones too.
        time.sleep(POPUP_LATER_SECONDS + 2.0)
        self.assertEqual(s.browser_calls(), [])
        self.assertEqual(self.popup_requests(), [])

        self.assertEqual(self.window_faults(instructions, "bar-over-page", bar_faults), [])

        s.click(instructions, *LINK)
        harness.wait_until(s.browser_calls, 10, message="the browser launch")
        time.sleep(1.0)
        self.assertEqual(s.browser_calls(), [f"http://127.0.0.1:{SOFTWARE_PORT}/popup/clicked.html"])
        self.assertEqual(self.popup_requests(), [], "the program fetched a page of a new window")
        self.assertTrue(s.app.running())
        self.assertEqual(s.x11.named(MAIN_CAPTION, visible_only=True), [instructions])


class DesktopSchemesTest(WindowsMixin, harness.E2ETestCase):
    news_mode = "schemes"

    def test_links_of_other_schemes_open_nothing(self):
        # The instructions page's mailto: and tencent: blocks, one under the other.
        s = self.session
        instructions = self.open_instructions()
        time.sleep(1.0)
        for y in (VIEW_TOP + 30, VIEW_TOP + 90):
            s.click(instructions, 400, y)
            time.sleep(1.5)
        self.assertEqual(s.browser_calls(), [])
        self.assertTrue(s.app.running())
        self.assertEqual(s.x11.named(MAIN_CAPTION, visible_only=True), [instructions])
        self.assertEqual(len(s.explain_requests()), 1)


class PageProcessTest(WindowsMixin, harness.E2ETestCase):

    def test_program_outlives_its_page_processes(self):
        s = self.session
        instructions = self.open_instructions(city=REAL_CITY)
        time.sleep(1.5)
        pids = renderer_pids(s.app.pid)
        self.assertTrue(pids, "no page process found")
        for pid in pids:
            os.kill(pid, signal.SIGKILL)
        harness.wait_until(lambda: not set(pids) & set(renderer_pids(s.app.pid)), 10,
                           message="the page processes to go")
        time.sleep(1.0)
        self.assertTrue(s.app.running())
        s.screenshot("pages-killed", window=instructions)

        # The form still works.
        main = s.switch(instructions, TAB1)
        s.focus(main)
        s.pick(main, *BEIJING_PICKS)
        s.type_into(main, TEXT8, "13800138000")
        address = s.launch(main, IMAGE5, timeout=10)
        self.assertTrue(address.startswith(f"http://127.0.0.1:{SITE_PORT}/AutoPrice.action?"), address)

        # A click on the background brings the instructions page back.
        self.assertEqual(s.switch(main, TAB5), instructions)
        s.click(instructions, *BACKGROUND)
        harness.wait_until(lambda: len(s.explain_requests()) == 2, 10, message="the reload")
        self.assertEqual(self.window_faults(instructions, "page-back", page_faults), [])
        self.assertTrue(renderer_pids(s.app.pid), "no new page process")


class QuietTest(WindowsMixin, harness.E2ETestCase):

    def stderr_lines(self, extra_env=None):
        s = self.session
        self.open_instructions(extra_env=extra_env)
        time.sleep(2.0)
        return [line for line in s.app.stderr().splitlines() if line.strip()]

    def test_normal_start_is_quiet(self):
        allowed = [SANDBOX_LINE] if os.geteuid() == 0 else []
        self.assertEqual(self.stderr_lines(), allowed)
        # Drawn in software throughout: not even a software OpenGL driver is loaded.
        drivers = {m.path for m in psutil.Process(self.session.app.pid).memory_maps()
                   if "_dri.so" in m.path or "mesa" in m.path or "libLLVM" in m.path}
        self.assertEqual(drivers, set())

    def test_user_logging_rules_are_honoured(self):
        # The engine's report of its graphics set-up would crash it without an
        # OpenGL context; the notices held back by default show.
        lines = self.stderr_lines({"QT_LOGGING_RULES": "qt.webenginecontext.info=true"})
        self.assertIn("No suitable graphics backend found", lines)
