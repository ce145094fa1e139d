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
from harness import MAIN_CAPTION, REAL_CITY, SITE_PORT, SITE_ROOT, SOFTWARE_PORT, greenish, near
from layout import BACKGROUND, BEIJING_PICKS, IMAGE5, TAB5, TEXT8

# The instructions window's tabs, its view and its bar, in pixels.
TAB1 = layout.INSTRUCTIONS_TAB1
TAB2 = layout.tab(2, layout.INSTRUCTIONS["shjbjqbutton1"]).centre   # 家装工具: the site's home page
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
        # The instructions page has tried all its windows, the late one too
        # (the news page is read and let go before its late one).
        harness.wait_until(lambda: s.requests_for("/tried/later", port=SOFTWARE_PORT), POPUP_LATER_SECONDS + 10,
                           message="the page's late window")
        self.assertEqual(self.window_faults(instructions, "bar-over-page", bar_faults), [])

        s.click(instructions, *LINK)
        harness.wait_until(s.browser_calls, 10, message="the browser launch")
        # A tab's launch after the click's: whatever the windows tried reached the browser before it.
        self.assertEqual(s.launch(instructions, TAB2), SITE_ROOT)
        self.assertEqual(s.browser_calls(), [f"http://127.0.0.1:{SOFTWARE_PORT}/popup/clicked.html", SITE_ROOT])
        self.assertEqual(self.popup_requests(), [], "the program fetched a page of a new window")
        self.assertTrue(s.app.running())
        self.assertEqual(s.x11.named(MAIN_CAPTION, visible_only=True), [instructions])


class DesktopSchemesTest(WindowsMixin, harness.E2ETestCase):
    news_mode = "schemes"

    def test_links_of_other_schemes_open_nothing(self):
        # The instructions page's mailto: and tencent: blocks, one under the other.
        s = self.session
        instructions = self.open_instructions()
        # The two blocks drawn, each in the links' blue.
        harness.wait_until(lambda: all(near(s.x11.pixel(instructions, 400, y), LINK_BLUE)
                                       for y in (VIEW_TOP + 30, VIEW_TOP + 90)), 10, message="the page's blocks")
        for y in (VIEW_TOP + 30, VIEW_TOP + 90):
            s.click(instructions, 400, y)
        # A tab's launch after the clicks: a launch of theirs would have come first.
        self.assertEqual(s.launch(instructions, TAB2), SITE_ROOT)
        self.assertEqual(s.browser_calls(), [SITE_ROOT])
        self.assertTrue(s.app.running())
        self.assertEqual(s.x11.named(MAIN_CAPTION, visible_only=True), [instructions])
        self.assertEqual(len(s.explain_requests()), 1)


class PageProcessTest(WindowsMixin, harness.E2ETestCase):

    def test_program_outlives_its_page_processes(self):
        s = self.session
        instructions = self.open_instructions(city=REAL_CITY)
        pids = harness.wait_until(lambda: renderer_pids(s.app.pid), 10, message="the page processes")
        for pid in pids:
            os.kill(pid, signal.SIGKILL)
        harness.wait_until(lambda: not set(pids) & set(renderer_pids(s.app.pid)), 10,
                           message="the page processes to go")
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

    def stderr_lines(self, extra_env=None, running=lambda: None):
        """What the program wrote to its standard error in a run with both
        windows and all three pages, once it has ended; running() is called
        while it still runs."""
        s = self.session
        instructions = self.open_instructions(extra_env=extra_env)
        self.assertEqual(self.window_faults(instructions, "quiet", page_faults), [])
        running()
        self.assertEqual(s.close_window(instructions), 0)
        return [line for line in s.app.stderr().splitlines() if line.strip()]

    def test_normal_start_is_quiet(self):
        allowed = [SANDBOX_LINE] if os.geteuid() == 0 else []
        drivers = set()

        def loaded_drivers():
            drivers.update(m.path for m in psutil.Process(self.session.app.pid).memory_maps()
                           if "_dri.so" in m.path or "mesa" in m.path or "libLLVM" in m.path)
        self.assertEqual(self.stderr_lines(running=loaded_drivers), allowed)
        # Drawn in software throughout: not even a software OpenGL driver is loaded.
        self.assertEqual(drivers, set())

    def test_user_logging_rules_are_honoured(self):
        # The engine's report of its graphics set-up would crash it without an
        # OpenGL context; the notices held back by default show.
        lines = self.stderr_lines({"QT_LOGGING_RULES": "qt.webenginecontext.info=true"})
        self.assertIn("No suitable graphics backend found", lines)
