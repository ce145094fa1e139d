"""The program over AT-SPI, as a screen reader meets it: picture buttons named
by their picture's text, links, the list boxes by their labels, and Press
actions that do what a click does."""

from collections import Counter

import harness
from harness import SITE_ROOT
from standin import HEADLINES

BUTTONS = {"快速报价": 1, "QQ在线": 4, "自动报价": 1, "家装工具": 1, "装修效果图": 1, "精确报价": 1,
           "使用说明": 1}


class AccessibilityTest(harness.E2ETestCase):
    accessible = True

    def test_buttons_and_links_over_atspi(self):
        s = self.session
        window = s.start_main(news=True)

        objects = [o for o in s.probe() if o["showing"]]
        buttons = [o for o in objects if o["role"] == "push button"]
        links = [o for o in objects if o["role"] == "link"]
        self.assertEqual(Counter(o["name"] for o in buttons), Counter(BUTTONS))
        # The home link and each news line, named by its headline; no line
        # is left a plain label.
        self.assertEqual(sorted(o["name"] for o in links), sorted(("进入Tovaki官方",) + HEADLINES))
        self.assertEqual([o for o in objects if o["name"] == "Label21"], [])
        # Every list box is announced by a label of its own (their names are their texts).
        boxes = [o for o in objects if o["role"] == "combo box"]
        self.assertEqual(Counter(" ".join(o["labels"]) for o in boxes),
                         Counter(("业主地址", "城市", "区县", "户    型", "卫生间", "阳  台")))
        for o in buttons + links:
            with self.subTest(role=o["role"], name=o["name"]):
                self.assertEqual([a.lower() for a in o["actions"]], ["press"])

        # Press does what a click does.
        before = len(s.browser_calls())
        for role, name, address in (("link", "进入Tovaki官方", SITE_ROOT),
                                    ("push button", "精确报价", SITE_ROOT + "/MemberPrice.htm"),
                                    ("link", HEADLINES[4], SITE_ROOT + "/news/5.html")):
            with self.subTest(press=name):
                s.probe(role, name)
                before += 1
                self.assertEqual(s.wait_launches(before)[before - 1:], [address])
        # A click's launch after the presses: one launch a press, none more.
        self.assertEqual(len(s.browser_calls()), before)
        self.assert_answering(window)
