"""The .deb as a user gets it: installed on this machine, its desktop entry,
icons and data in place, and the installed program starting from the entry's
working directory. Run by tools/test.sh with TOVAKIDOVIV_DEB set (the package
is installed and removed again; it needs root)."""

import configparser
import os
import subprocess
import time
import unittest
from pathlib import Path

import harness
from harness import MAIN_CAPTION

DEB = os.environ.get("TOVAKIDOVIV_DEB")


@unittest.skipUnless(DEB and os.geteuid() == 0, "needs TOVAKIDOVIV_DEB and root")
class PackageTest(harness.E2ETestCase):

    @classmethod
    def setUpClass(cls):
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        subprocess.run(["apt-get", "install", "-y", "-qq", os.path.abspath(DEB)], check=True, env=env,
                       stdout=subprocess.DEVNULL, timeout=600)

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["dpkg", "-r", "tovakidoviv"], check=True, stdout=subprocess.DEVNULL, timeout=120)

    def test_declares_its_dependencies(self):
        depends = subprocess.run(["dpkg-deb", "-f", DEB, "Depends"], check=True, capture_output=True,
                                 text=True).stdout
        for wanted in ("libqt6webenginewidgets6", "libqt6webenginecore6-bin", "fonts-wqy-microhei"):
            self.assertIn(wanted, depends)

    def test_desktop_entry_starts_the_installed_program(self):
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read("/usr/share/applications/tovakidoviv.desktop", encoding="utf-8")
        desktop = entry["Desktop Entry"]
        self.assertEqual(desktop["Name[zh_CN]"], "装修报价计算器")
        self.assertTrue(desktop["Comment[zh_CN]"])
        self.assertTrue(Path(desktop["Path"], "city.txt").is_file(), "city.txt is not where the entry starts")
        for size in (16, 32, 48, 128):
            self.assertTrue(Path(f"/usr/share/icons/hicolor/{size}x{size}/apps/tovakidoviv.png").is_file())
        program = Path(desktop["Exec"].split()[0])
        self.assertTrue(program.exists(), program)
        self.assertTrue(Path(os.path.realpath(program)).with_name("loading.html").is_file())
        self.assertTrue(Path(os.path.realpath(program)).with_name("libtovakidoviv_webengine.so").is_file())

        s = self.session
        s.start_app(city=Path(desktop["Path"], "city.txt"), binary=program)
        window = s.find_window(MAIN_CAPTION)
        self.assertEqual(s.geometry(window)[2:], (harness.CLIENT_WIDTH, harness.CLIENT_HEIGHT))
        time.sleep(1.5)  # the web engine is loaded after the first frame
        self.assertNotIn("no web pages can be shown", s.app.stderr())
        s.close_window(window)
        self.assertEqual(s.wait_exit(5), 0)


if __name__ == "__main__":
    unittest.main()
