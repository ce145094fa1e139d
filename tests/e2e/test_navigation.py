"""The tab bar at its real places: switching the real windows, loading the
instructions page once and filling its view on each visit, reloading on the
background, closing either window."""

import harness
from layout import BACKGROUND, INSTRUCTIONS_SIZE, INSTRUCTIONS_TAB1, INSTRUCTIONS_TAB5, TAB5
from test_webview import page_faults, settled_faults


class NavigationTest(harness.E2ETestCase):

    def test_switch_both_ways_and_reload(self):
        s = self.session
        main = s.start_main()
        self.assertEqual(s.explain_requests(), [])

        instructions = s.switch(main, TAB5)
        self.assertEqual(s.x11.geometry(instructions)[2:], INSTRUCTIONS_SIZE)
        harness.wait_until(s.explain_requests, 10, message="the instructions page")
        self.assertEqual(settled_faults(lambda: s.screenshot("first-visit", instructions), page_faults), [])

        self.assertEqual(s.switch(instructions, INSTRUCTIONS_TAB1), main)
        s.screenshot("main-again")
        self.assertEqual(s.switch(main, TAB5), instructions)
        # Shown with its page drawn: a load on showing would have been asked for by now.
        self.assertEqual(settled_faults(lambda: s.screenshot("second-visit", instructions), page_faults), [])
        self.assertEqual(len(s.explain_requests()), 1, "the page was loaded again")

        s.click(instructions, *INSTRUCTIONS_TAB5)   # the highlighted tab: nothing
        s.click(instructions, *BACKGROUND)          # the background: the page again
        harness.wait_until(lambda: len(s.explain_requests()) == 2, 10, message="the reload")
        self.assertEqual(settled_faults(lambda: s.screenshot("reloaded", instructions), page_faults), [])
        self.assertEqual(s.x11.named(harness.MAIN_CAPTION, visible_only=True), [instructions])
        self.assertEqual(s.close_window(instructions), 0)
        # The program has ended: the highlighted tab asked for nothing, the background once.
        self.assertEqual(len(s.explain_requests()), 2)

    def test_closing_main_while_instructions_exist(self):
        s = self.session
        main = s.start_main()
        instructions = s.switch(main, TAB5)
        self.assertEqual(s.switch(instructions, INSTRUCTIONS_TAB1), main)
        self.assertEqual(s.close_window(main), 0)


class NavigationUnderMutterTest(NavigationTest):
    """The same under GNOME's window manager, which maps a window shown again when it chooses."""
    window_manager = True
