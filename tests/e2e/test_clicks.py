"""Clicks as people make them on the real window: a double click on a button is
one click, and the wheel over a combo box without the focus changes nothing."""

import time

import harness
from harness import REAL_CITY
from layout import BADGES, BEIJING_PICKS, CITY1, IMAGE5, TEXT8


class DoubleClickTest(harness.E2ETestCase):

    def test_double_click_presses_once(self):
        s = self.session
        window = s.start_main(city=REAL_CITY)
        s.focus(window)
        s.pick(window, *BEIJING_PICKS)
        s.click(window, *TEXT8)
        # The wheel over the province box, which has not the focus: no pick,
        # so the city and the district stay. Button 5 rolls down, 4 up.
        for button in (5, 5, 5, 4):
            s.click(window, *CITY1, button=button)
            time.sleep(0.12)
        s.type_text("13800138000")

        # Each double click opens one address: the quotation, then a QQ在线 badge's chat.
        for n, at in enumerate((IMAGE5, BADGES[0]), start=1):
            s.click(window, *at, times=2)
            calls = s.wait_launches(n)
            self.assert_no_box(1.5)
            self.assertEqual(len(s.browser_calls()), n, s.browser_calls())
        sent = dict(harness.decode_query(calls[0]))
        self.assertEqual((sent["cit1"], sent["cit2"], sent["cit3"], sent["pho"]),
                         ("110000|北京市", "110100|北京市", "110101|东城区", "13800138000"))
        self.assertIn("/msgrd?v=1&uin=", calls[1])
        self.assert_answering(window)
