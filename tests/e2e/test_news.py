"""The end of the loading phase with the service answering, slow or down: the
news lines, their links, the chat badges and the home-page link."""

import time
import unittest

import harness
from harness import CHAT_PORT, LOADING_SECONDS, MAIN_CAPTION, SITE_PORT, SUPPORT_NUMBER

# Pixel middles in the client area.
NEWS_LINE = [(640, 288 + round(t / 15)) for t in (360, 666, 972, 1278, 1584, 1890, 2196, 2502, 2808, 3120)]
BADGES = [(722, 170), (722, 194), (722, 218), (722, 242)]
HOME_LINK = (680, 528)
OVERLAY_PROBE = (400, 500)   # the loading page's green, the white panel afterwards


class Base(harness.E2ETestCase):
    def start(self, wait=LOADING_SECONDS + 2.0):
        s = self.session
        s.start_app()
        window = s.find_window(MAIN_CAPTION)
        time.sleep(wait)
        return window

    def overlay_gone(self, window):
        shot = harness.Image.load(self.session.screenshot("after-tick"))
        x, y, _, _ = self.session.geometry(window)
        r, g, b = shot.pixel(x + OVERLAY_PROBE[0], y + OVERLAY_PROBE[1])[:3]
        return r > 200 and g > 200 and b > 200


class NewsTest(Base):

    def test_lines_open_their_links(self):
        s = self.session
        window = self.start()
        self.assertTrue(self.overlay_gone(window))
        for index in (0, 4, 9):
            s.click(window, *NEWS_LINE[index])
        calls = harness.wait_until(lambda: len(s.browser_calls()) >= 3 and s.browser_calls(), 10,
                                   message="three browser launches")
        self.assertEqual(calls, [f"http://127.0.0.1:{SITE_PORT}/news/{n}.html" for n in (1, 5, 10)])

    def test_badges_and_home_link(self):
        s = self.session
        window = self.start()
        for at in BADGES + [HOME_LINK, HOME_LINK]:
            s.click(window, *at)
            time.sleep(0.6)  # two quick clicks at one place are a double click, which is one click
        calls = harness.wait_until(lambda: len(s.browser_calls()) >= 6 and s.browser_calls(), 10,
                                   message="six browser launches")
        chat = (f"http://127.0.0.1:{CHAT_PORT}/msgrd?v=1&uin={SUPPORT_NUMBER}"
                "&site=%BC%BC%CA%F5%D6%A7%B3%D6&menu=yes")
        self.assertEqual(calls, [chat] * 4 + [f"http://127.0.0.1:{SITE_PORT}"] * 2)


class LinkSchemesTest(Base):
    news_mode = "schemes"

    def test_only_web_links_open(self):
        s = self.session
        window = self.start()
        for at in NEWS_LINE:
            s.click(window, *at)
            time.sleep(0.1)
        time.sleep(1.0)
        calls = s.browser_calls()
        self.assertTrue(calls, "no web link of the page opened")
        for address in calls:
            self.assertRegex(address, r"^(?i:https?)://")


class ServiceDownTest(Base):
    with_standin = False

    def test_program_carries_on(self):
        s = self.session
        window = self.start()
        self.assertTrue(self.overlay_gone(window))
        s.click(window, *NEWS_LINE[0])
        s.click(window, *HOME_LINK)
        calls = harness.wait_until(s.browser_calls, 10, message="the home-page launch")
        time.sleep(0.5)
        self.assertEqual(s.browser_calls(), [f"http://127.0.0.1:{SITE_PORT}"])
        self.assertTrue(s.app.running())


class SlowServiceTest(Base):
    news_delay = 5.0

    def test_tick_does_not_wait(self):
        s = self.session
        window = self.start(wait=LOADING_SECONDS + 1.0)
        self.assertTrue(self.overlay_gone(window), "the overlay waited for the news page")
        time.sleep(5.0)   # the page arrives after the tick and is not read any more
        s.click(window, *NEWS_LINE[0])
        s.click(window, *HOME_LINK)
        harness.wait_until(s.browser_calls, 10, message="the home-page launch")
        time.sleep(0.5)
        self.assertEqual(s.browser_calls(), [f"http://127.0.0.1:{SITE_PORT}"])


if __name__ == "__main__":
    unittest.main()
