"""A real press of 快速报价: the answers picked and typed in the real window reach
the user's browser, and from there the service, exactly as given."""

import time
import urllib.request

import harness
from harness import REAL_CITY, SITE_PORT
from layout import (BEIJING_PICKS, CITY3_ARROW, COMBO4, COMBO5, COMBO6, HOME_LINK, IMAGE5, OPTION4, OPTION7,
                    TEXT5, TEXT8)


class QuotationPressTest(harness.E2ETestCase):

    def test_press_reaches_browser_and_service(self):
        s = self.session
        window = s.start_main(city=REAL_CITY)
        s.focus(window)

        # 110000|北京市, 110100|北京市, the city's own entry then 110101|东城区, 二房二厅, 二间, 一间
        s.pick(window, *BEIJING_PICKS, (COMBO6, 4), (COMBO4, 2), (COMBO5, 1))
        s.type_into(window, TEXT5, "8.50")
        s.click(window, *OPTION4)
        s.click(window, *OPTION7)
        s.click(window, *TEXT8)
        s.type_text("13800138000")
        s.click(window, *CITY3_ARROW)
        time.sleep(0.5)   # the list's pop-up drawn, for the picture
        s.screenshot("district-list-open")
        s.key("Escape")
        address = s.launch(window, IMAGE5)
        self.assertTrue(address.startswith(f"http://127.0.0.1:{SITE_PORT}/AutoPrice.action?"), address)
        self.assertTrue(address.isascii(), "non-ASCII bytes reached the browser unescaped")
        self.assertEqual(harness.decode_query(address, "gbk"), [
            ("bom1", "2"), ("bom2", "1"), ("bom3", "1"), ("bom4", "1"), ("bom5", "1"), ("bom6", "2"),
            ("bomarea2", "0"), ("bomarea3", "0"), ("bomarea1", "0"), ("bomarea4", "8.5"),
            ("bomarea5", "0"), ("bomarea6", "0"), ("pho", "13800138000"),
            ("cit1", "110000|北京市"), ("cit2", "110100|北京市"), ("cit3", "110101|东城区"),
            ("dc", "2"), ("findman3", "12"), ("kongzhi", "tijiao"), ("findman", "1"),
            ("fengge", "4"), ("jmid", "null")])

        # The same address fetched by a real HTTP client reaches the service byte for byte.
        with urllib.request.urlopen(address, timeout=10) as reply:
            page = reply.read().decode("gbk")
        self.assertIn("110101|东城区", page)
        logged = s.requests_for("/AutoPrice.action")
        self.assertEqual([r["path"] for r in logged], [address.split(f":{SITE_PORT}", 1)[1]])

        # The mobile number is emptied: a second press is refused and opens nothing.
        s.click(window, *IMAGE5)
        box = s.wait_message_box()
        s.screenshot("phone-message", window=box)
        s.dismiss(box, window)
        # The home link's launch comes after any the refused press would have made.
        self.assertEqual(s.launch(window, HOME_LINK), f"http://127.0.0.1:{SITE_PORT}")
        self.assertEqual(len(s.browser_calls()), 2)


class QuotationPressUnderMutterTest(QuotationPressTest):
    """The same under GNOME's window manager, which frames, places and focuses the windows."""
    window_manager = True
