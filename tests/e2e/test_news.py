"""The end of the loading phase with the service answering: the news lines,
the chat badges and the home-page link open their addresses. The service
down, late, broken, enormous or full of strange links is in test_hostile."""

import harness
from harness import CHAT_PORT, SITE_ROOT, SUPPORT_NUMBER
from layout import BADGES, HOME_LINK, NEWS_LINE

CHAT = f"http://127.0.0.1:{CHAT_PORT}/msgrd?v=1&uin={SUPPORT_NUMBER}&site=%BC%BC%CA%F5%D6%A7%B3%D6&menu=yes"


class NewsTest(harness.E2ETestCase):

    def test_lines_badges_and_home_link_open_their_addresses(self):
        s = self.session
        window = s.start_main(news=True)
        rows = [(f"news line {i + 1}", NEWS_LINE[i], f"{SITE_ROOT}/news/{i + 1}.html") for i in (0, 4, 9)]
        rows += [(f"badge {i + 1}", at, CHAT) for i, at in enumerate(BADGES)]
        # The home link twice: the second click at one spot is a click of its own.
        rows += [("home link", HOME_LINK, SITE_ROOT), ("home link again", HOME_LINK, SITE_ROOT)]
        for label, at, address in rows:
            with self.subTest(label):
                self.assertEqual(s.launch(window, at), address)
                # The opener and the browser get the environment the program was
                # started with, not what it set for itself (as root: the engine's
                # sandbox off; the X11 platform without OpenGL; the engine's own).
                seen = harness.recorded_environment(s.browser_log)
                started = {k: v for k, v in s.app_env.items() if k not in harness.SHELL_VARIABLES}
                self.assertEqual({k: (started.get(k), seen.get(k)) for k in started.keys() | seen.keys()
                                  if started.get(k) != seen.get(k)}, {}, "(started with, the browser's)")


class NewsUnderMutterTest(NewsTest):
    """The same under GNOME's window manager, which frames and places the window."""
    window_manager = True
