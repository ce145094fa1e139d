"""The tab bar at its real places: switching the real windows, loading the
instructions page once, reloading on the background, closing either window."""

import time
import unittest

import harness
from harness import LOADING_SECONDS, MAIN_CAPTION, SOFTWARE_PORT

TAB1, TAB5 = (77, 120), (573, 120)
BACKGROUND = (400, 30)


class NavigationTest(harness.E2ETestCase):

    def visible_windows(self):
        return self.session.windows_named(MAIN_CAPTION, visible_only=True)

    def switch(self, window, tab):
        self.session.click(window, *tab)
        harness.wait_until(lambda: len(self.visible_windows()) == 1 and self.visible_windows()[0] != window,
                           10, message="the other window")
        return self.visible_windows()[0]

    def explain_requests(self):
        return self.session.requests_for("/softload/explain.html", port=SOFTWARE_PORT)

    def test_switch_both_ways_and_reload(self):
        s = self.session
        s.start_app()
        main = s.find_window(MAIN_CAPTION)
        time.sleep(LOADING_SECONDS + 1.0)
        self.assertEqual(self.explain_requests(), [])

        instructions = self.switch(main, TAB5)
        self.assertEqual(s.geometry(instructions)[2:], (799, 575))
        harness.wait_until(self.explain_requests, 10, message="the instructions page")
        time.sleep(1.5)
        s.screenshot("instructions")
        self.assertEqual(len(self.explain_requests()), 1)

        self.assertEqual(self.switch(instructions, TAB1), main)
        s.screenshot("main-again")
        self.assertEqual(self.switch(main, TAB5), instructions)
        time.sleep(1.0)
        self.assertEqual(len(self.explain_requests()), 1, "the page was loaded again")

        s.click(instructions, *TAB5)          # the highlighted tab: nothing
        s.click(instructions, *BACKGROUND)    # the background: the page again
        harness.wait_until(lambda: len(self.explain_requests()) == 2, 10, message="the reload")
        time.sleep(1.0)
        self.assertEqual(len(self.explain_requests()), 2)
        self.assertEqual(self.visible_windows(), [instructions])

        s.close_window(instructions)
        self.assertEqual(s.wait_exit(5), 0)

    def test_closing_main_while_instructions_exist(self):
        s = self.session
        s.start_app()
        main = s.find_window(MAIN_CAPTION)
        time.sleep(LOADING_SECONDS + 1.0)
        instructions = self.switch(main, TAB5)
        self.assertEqual(self.switch(instructions, TAB1), main)
        s.close_window(main)
        self.assertEqual(s.wait_exit(5), 0)


if __name__ == "__main__":
    unittest.main()
