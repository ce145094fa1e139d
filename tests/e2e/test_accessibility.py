"""The program as a screen reader meets it: over AT-SPI on a private D-Bus
session, the picture buttons are push buttons named by the text their picture
shows, the home link and the news lines are links, and each one's Press action
does what a click does."""

import json
import os
import subprocess
import time
import unittest
from collections import Counter
from pathlib import Path

import harness
from harness import SITE_ROOT

PROBE = Path(__file__).resolve().parent / "atspi_probe.py"
SYSTEM_PYTHON = "/usr/bin/python3"  # the one with the gi bindings of libatspi
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

BUTTONS = {"快速报价": 1, "QQ在线": 4, "自动报价": 1, "家装工具": 1, "装修效果图": 1, "精确报价": 1,
           "使用说明": 1}


@unittest.skipUnless(os.path.exists(BUS_LAUNCHER) and os.path.exists(SYSTEM_PYTHON),
                     "at-spi2-core is not installed")
class AccessibilityTest(harness.E2ETestCase):

    def start_buses(self):
        """A private session bus with the accessibility bus launcher on it."""
        s = self.session
        socket = s.tmp / "session-bus"
        self.bus_env = {"DBUS_SESSION_BUS_ADDRESS": f"unix:path={socket}",
                        "DISPLAY": s.display,
                        "XDG_RUNTIME_DIR": str(s.tmp / "a11y-runtime")}
        Path(self.bus_env["XDG_RUNTIME_DIR"]).mkdir(mode=0o700)
        env = dict(os.environ, **self.bus_env)
        self.dbus = harness.Group("dbus", ["dbus-daemon", "--session", "--nofork",
                                           f"--address=unix:path={socket}"], s.tmp, env=env)
        self.addCleanup(self.dbus.stop)
        harness.wait_until(socket.exists, harness.START_TIMEOUT, message="the session bus")
        self.launcher = harness.Group("a11y-bus", [BUS_LAUNCHER, "--launch-immediately"], s.tmp, env=env)
        self.addCleanup(self.launcher.stop)

        def owned():
            r = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
                                "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"],
                               env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=10)
            return b"boolean true" in r.stdout
        harness.wait_until(owned, harness.START_TIMEOUT, interval=0.2, message="the accessibility bus")

    def probe(self, *args):
        r = subprocess.run([SYSTEM_PYTHON, str(PROBE), str(self.session.app.pid), *args],
                           env=dict(os.environ, **self.bus_env), stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, timeout=90)
        self.assertEqual(r.returncode, 0, r.stderr.decode(errors="replace"))
        return [json.loads(line) for line in r.stdout.decode().splitlines() if line.strip()]

    def test_buttons_and_links_over_atspi(self):
        s = self.session
        self.start_buses()
        # With the accessibility bridge on, the web engine starts later and
        # may miss the tick, so the news lines are checked whether filled or not.
        window = s.start_main(extra_env=dict(self.bus_env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
        filled = s.news_filled(window)

        objects = [o for o in self.probe() if o["showing"]]
        buttons = [o for o in objects if o["role"] == "push button"]
        links = [o for o in objects if o["role"] == "link"]
        self.assertEqual(Counter(o["name"] for o in buttons), Counter(BUTTONS))
        link_names = [o["name"] for o in links]
        self.assertEqual(link_names.count("进入Tovaki官方"), 1, link_names)
        # Each news line the stand-in's page filled opens a page and is a link;
        # one still waiting is a plain label without actions.
        unfilled = [o for o in objects if o["role"] == "label" and o["name"] == "Label21"]
        self.assertNotIn("Label21", link_names)
        news_links = len(links) - 1
        self.assertEqual(news_links + len(unfilled), 10, link_names)
        if filled:
            self.assertEqual(news_links, 10, link_names)
        for o in unfilled:
            self.assertEqual(o["actions"], [])
        for o in buttons + links:
            with self.subTest(role=o["role"], name=o["name"]):
                self.assertEqual([a.lower() for a in o["actions"]], ["press"])

        # Press does what a click does.
        before = len(s.browser_calls())
        self.probe("link", "进入Tovaki官方")
        self.assertEqual(s.wait_launches(before + 1)[before:], [SITE_ROOT])
        self.probe("push button", "精确报价")
        self.assertEqual(s.wait_launches(before + 2)[before + 1:], [SITE_ROOT + "/MemberPrice.htm"])
        time.sleep(0.5)
        self.assertEqual(len(s.browser_calls()), before + 2)
        self.assertTrue(s.app.running())


if __name__ == "__main__":
    unittest.main()
