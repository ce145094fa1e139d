"""Clicks as people make them on the real window: a double click on a button is
one click, and the wheel over a combo box without the focus changes nothing."""

import time
import unittest
import urllib.parse

import harness
from harness import LOADING_SECONDS, MAIN_CAPTION, SOURCE_DIR

REAL_CITY = SOURCE_DIR / "data" / "city.txt"

# Middles of the controls, in pixels of the client area.
CITY1, CITY2, CITY3 = (140, 186), (270, 186), (400, 186)
TEXT8 = (170, 412)
IMAGE5 = (282, 468)
BADGE = (722, 170)


def query(address):
    return dict((key, urllib.parse.unquote_to_bytes(value).decode("gbk"))
                for key, _, value in (pair.partition("=") for pair in address.partition("?")[2].split("&")))


class DoubleClickTest(harness.E2ETestCase):

    def double_click(self, window, at):
        s = self.session
        s._tool("xdotool", "mousemove", "--window", window, *at)
        s._tool("xdotool", "click", "--repeat", 2, "--delay", 80, 1)

    def wheel(self, window, at, button, notches):
        s = self.session
        s._tool("xdotool", "mousemove", "--window", window, *at)
        s._tool("xdotool", "click", "--repeat", notches, "--delay", 120, button)

    def test_double_click_presses_once(self):
        s = self.session
        s.start_app(city=REAL_CITY)
        window = s.find_window(MAIN_CAPTION)
        time.sleep(LOADING_SECONDS + 1.5)
        s.focus(window)
        s.pick(window, CITY1, 1)      # 110000|北京市
        s.pick(window, CITY2, 1)      # 110100|北京市
        s.pick(window, CITY3, 2)      # 110101|东城区
        s.click(window, *TEXT8)
        # The wheel over the province box, which has not the focus: no pick,
        # so the city and district stay.
        self.wheel(window, CITY1, 5, 3)
        self.wheel(window, CITY1, 4, 1)
        s.type_text("13800138000")

        self.double_click(window, IMAGE5)
        calls = harness.wait_until(s.browser_calls, 10, message="the browser launch")
        time.sleep(1.5)
        self.assertEqual(len(s.browser_calls()), 1, s.browser_calls())
        self.assertEqual(s.windows_named(harness.MESSAGE_BOX_CAPTION, visible_only=True), [],
                         "a message box followed the quotation")
        sent = query(calls[0])
        self.assertEqual((sent["cit1"], sent["cit2"], sent["cit3"], sent["pho"]),
                         ("110000|北京市", "110100|北京市", "110101|东城区", "13800138000"))

        # A QQ在线 badge double-clicked opens the chat once.
        self.double_click(window, BADGE)
        harness.wait_until(lambda: len(s.browser_calls()) > 1, 10, message="the chat launch")
        time.sleep(1.5)
        self.assertEqual(len(s.browser_calls()), 2, s.browser_calls())
        self.assertIn("/msgrd?v=1&uin=", s.browser_calls()[1])
        self.assertTrue(s.app.running())


if __name__ == "__main__":
    unittest.main()
