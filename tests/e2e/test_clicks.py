"""Clicks as people make them on the real window: a double click on a button is
one click, and the wheel over a combo box without the focus changes nothing."""

import unittest

import harness
import layout
from harness import REAL_CITY


class DoubleClickTest(harness.E2ETestCase):

    def double_click(self, window, at):
        s = self.session
        s._tool("xdotool", "mousemove", "--window", window, *at)
        s._tool("xdotool", "click", "--repeat", 2, "--delay", 80, 1)

    def wheel(self, window, at, button, notches):
        """Wheel notches over at: button 4 rolls up, 5 down."""
        s = self.session
        s._tool("xdotool", "mousemove", "--window", window, *at)
        s._tool("xdotool", "click", "--repeat", notches, "--delay", 120, button)

    def test_double_click_presses_once(self):
        s = self.session
        window = s.start_main(city=REAL_CITY)
        s.focus(window)
        s.pick(window, layout.CITY1, 1)      # 110000|北京市
        s.pick(window, layout.CITY2, 1)      # 110100|北京市
        s.pick(window, layout.CITY3, 2)      # 110101|东城区
        s.click(window, *layout.TEXT8)
        # The wheel over the province box, which has not the focus: no pick,
        # so the city and the district stay.
        self.wheel(window, layout.CITY1, 5, 3)
        self.wheel(window, layout.CITY1, 4, 1)
        s.type_text("13800138000")

        self.double_click(window, layout.IMAGE5)
        calls = s.wait_launches(1)
        self.assert_no_box(1.5)
        self.assertEqual(len(s.browser_calls()), 1, s.browser_calls())
        sent = harness.query_dict(calls[0])
        self.assertEqual((sent["cit1"], sent["cit2"], sent["cit3"], sent["pho"]),
                         ("110000|北京市", "110100|北京市", "110101|东城区", "13800138000"))

        # A QQ在线 badge double-clicked opens the chat once.
        self.double_click(window, layout.BADGES[0])
        calls = s.wait_launches(2)
        self.assert_no_box(1.5)
        self.assertEqual(len(s.browser_calls()), 2, s.browser_calls())
        self.assertIn("/msgrd?v=1&uin=", calls[1])
        self.assert_answering(window)


if __name__ == "__main__":
    unittest.main()
