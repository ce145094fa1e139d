"""The end of the loading phase with the service answering: the news lines,
their links, the chat badges and the home-page link. The service down, late,
broken, enormous or full of strange links is in test_hostile."""

import unittest

import harness
from harness import CHAT_PORT, SITE_ROOT, SUPPORT_NUMBER
from layout import BADGES, HOME_LINK, NEWS_LINE


class NewsTest(harness.E2ETestCase):

    def test_lines_open_their_links(self):
        s = self.session
        window = s.start_main(news=True)
        opened = [s.launch(window, NEWS_LINE[index]) for index in (0, 4, 9)]
        self.assertEqual(opened, [f"{SITE_ROOT}/news/{n}.html" for n in (1, 5, 10)])

    def test_badges_and_home_link(self):
        s = self.session
        window = s.start_main()
        calls = [s.launch(window, at) for at in BADGES + [HOME_LINK, HOME_LINK]]
        chat = (f"http://127.0.0.1:{CHAT_PORT}/msgrd?v=1&uin={SUPPORT_NUMBER}"
                "&site=%BC%BC%CA%F5%D6%A7%B3%D6&menu=yes")
        self.assertEqual(calls, [chat] * 4 + [SITE_ROOT] * 2)


if __name__ == "__main__":
    unittest.main()
