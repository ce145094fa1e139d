"""The .deb as a user gets it: Debian's own checkers find nothing in it, it
installs on this machine with its desktop entry, metadata, manual page, icons
and data in place, and the installed command starts the program from any
folder. Run by the test command's package stage with TOVAKIDOVIV_DEB set (the
package is installed and removed again; it needs root)."""

import configparser
import gzip
import os
import re
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

import harness
from harness import MAIN_CAPTION

DEB = os.environ.get("TOVAKIDOVIV_DEB")
DOC = Path("/usr/share/doc/tovakidoviv")
DESKTOP = Path("/usr/share/applications/tovakidoviv.desktop")
METAINFO = Path("/usr/share/metainfo/com.tovaki.tovakidoviv.metainfo.xml")
MAIN_CATEGORIES = {"AudioVideo", "Audio", "Video", "Development", "Education", "Game", "Graphics",
                   "Network", "Office", "Science", "Settings", "System", "Utility"}


def run(*argv, env=None, timeout=600):
    """(exit status, stdout and stderr together) of a command."""
    r = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, env=env,
                       timeout=timeout)
    return r.returncode, r.stdout


def control_field(name):
    return subprocess.run(["dpkg-deb", "-f", DEB, name], check=True, capture_output=True, text=True).stdout


def deb_paths():
    """The paths the package holds, as dpkg lists them ("./usr/bin/tovakidoviv")."""
    listing = subprocess.run(["dpkg-deb", "--fsys-tarfile", DEB], check=True, capture_output=True).stdout
    names = subprocess.run(["tar", "-t"], input=listing, check=True, capture_output=True).stdout
    return names.decode().splitlines()


def validated(*argv):
    """A checker's output once it has exited with 0, reporting no error (E:) and no warning (W:)."""
    status, out = run(*argv)
    print(f"{argv[0]} (status {status}):\n{out}")
    if status != 0 or re.search(r"^[EW]: ", out, re.M):
        raise AssertionError(out)
    return out


@unittest.skipUnless(DEB, "needs TOVAKIDOVIV_DEB")
class PackageFileTest(unittest.TestCase):
    """The built .deb itself, before anything is installed."""

    def test_lintian_finds_nothing(self):
        # No error and no warning (infos are shown); an override would need its
        # reason beside it, and the package carries none.
        validated("lintian", "--fail-on", "error,warning", "--display-info", "--no-cfg", os.path.abspath(DEB))
        for path in deb_paths():
            self.assertNotIn("lintian/overrides", path, "an override without a reason in the package")

    def test_contents(self):
        paths = set(deb_paths())
        machine = subprocess.run(["dpkg-architecture", "-qDEB_HOST_MULTIARCH"], check=True,
                                 capture_output=True, text=True).stdout.strip()
        private = f"./usr/lib/{machine}/tovakidoviv"
        for wanted in ("./usr/bin/tovakidoviv", f"{private}/tovakidoviv",
                       f"{private}/libtovakidoviv_webengine.so", f"{private}/loading.html",
                       "./usr/share/tovakidoviv/city.txt", "./usr/share/tovakidoviv/LICENSE.area-data",
                       "./usr/share/doc/tovakidoviv/copyright", "./usr/share/doc/tovakidoviv/changelog.gz",
                       "./usr/share/man/man1/tovakidoviv.1.gz", "./usr/share/applications/tovakidoviv.desktop",
                       "./usr/share/metainfo/com.tovaki.tovakidoviv.metainfo.xml",
                       "./usr/share/icons/hicolor/48x48/apps/tovakidoviv.png",
                       "./usr/share/icons/hicolor/scalable/apps/tovakidoviv.svg"):
            with self.subTest(wanted):
                self.assertIn(wanted, paths)

    def test_no_maintainer_scripts_call_ldconfig(self):
        # The web view module is private, found beside the program, never by ldconfig.
        with tempfile.TemporaryDirectory() as control:
            subprocess.run(["dpkg-deb", "-e", DEB, control], check=True)
            for script in Path(control).iterdir():
                with self.subTest(script.name):
                    self.assertNotIn("ldconfig", script.read_text(errors="replace"))

    def test_extended_description(self):
        description = control_field("Description").splitlines()
        self.assertGreaterEqual(len(description), 4, description)
        self.assertIn("装修报价计算器", description[0])
        self.assertTrue(all(line.startswith(" ") for line in description[1:]), description)

    def test_declares_its_dependencies(self):
        depends = control_field("Depends")
        for wanted in ("libqt6webenginewidgets6", "libqt6webenginecore6-bin", "fonts-wqy-microhei", "xdg-utils"):
            with self.subTest(wanted):
                self.assertIn(wanted, depends)


@unittest.skipUnless(DEB and os.geteuid() == 0, "needs TOVAKIDOVIV_DEB and root")
class PackageTest(harness.E2ETestCase):
    """The package installed on this machine."""

    @classmethod
    def setUpClass(cls):
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        subprocess.run(["apt-get", "install", "-y", "-qq", os.path.abspath(DEB)], check=True, env=env,
                       stdout=subprocess.DEVNULL, timeout=600)

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["dpkg", "-r", "tovakidoviv"], check=True, stdout=subprocess.DEVNULL, timeout=120)

    def test_desktop_entry_is_valid(self):
        self.assertEqual(validated("desktop-file-validate", str(DESKTOP)).strip(), "")

        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(DESKTOP, encoding="utf-8")
        desktop = entry["Desktop Entry"]
        self.assertEqual(desktop["Name[zh_CN]"], "装修报价计算器")
        self.assertTrue(desktop["Comment[zh_CN]"])
        categories = [c for c in desktop["Categories"].split(";") if c]
        self.assertEqual(len(MAIN_CATEGORIES.intersection(categories)), 1, categories)
        self.assertEqual(desktop["Exec"], "/usr/bin/tovakidoviv")
        self.assertTrue(Path(desktop["Path"], "city.txt").is_file(), "city.txt is not where the entry starts")
        for size in (16, 32, 48, 128):
            with self.subTest(size=size):
                self.assertTrue(Path(f"/usr/share/icons/hicolor/{size}x{size}/apps/tovakidoviv.png").is_file())

    def test_appstream_metadata_is_valid(self):
        validated("appstreamcli", "validate", "--no-net", "--explain", str(METAINFO))
        text = METAINFO.read_text(encoding="utf-8")
        for wanted in ('<name xml:lang="zh_CN">装修报价计算器</name>', '<summary xml:lang="zh_CN">',
                       '<launchable type="desktop-id">tovakidoviv.desktop</launchable>'):
            with self.subTest(wanted):
                self.assertIn(wanted, text)

    def test_documentation(self):
        copyright = (DOC / "copyright").read_text(encoding="utf-8")
        self.assertTrue(copyright.startswith(
            "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"))
        # The region data's own paragraph names its source and licence.
        region = re.search(r"^Files: data/city\.txt\n(?:[ A-Za-z].*\n)*", copyright, re.M)
        self.assertIsNotNone(region, copyright)
        self.assertIn("@vant/area-data", region.group(0))
        self.assertIn("License: Expat", region.group(0))

        with gzip.open(DOC / "changelog.gz", "rt", encoding="utf-8") as f:
            self.assertTrue(f.readline().startswith("tovakidoviv (1.0.0.5) "))

        # The manual page reads without a warning of man's and says where city.txt is read.
        checked = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z",
                                  "/usr/share/man/man1/tovakidoviv.1.gz"], stdout=subprocess.DEVNULL,
                                 stderr=subprocess.PIPE, text=True, timeout=60,
                                 env=dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8"))
        self.assertEqual((checked.returncode, checked.stderr), (0, ""))
        page = run("man", "-l", "/usr/share/man/man1/tovakidoviv.1.gz",
                   env=dict(os.environ, MANWIDTH="200", LC_ALL="C.UTF-8", MAN_KEEP_FORMATTING="0"))[1]
        page = re.sub(r".\x08", "", page)
        for wanted in ("city.txt", "working directory", "/usr/share/tovakidoviv", "loading.html",
                       "libtovakidoviv_webengine.so"):
            with self.subTest(wanted):
                self.assertIn(wanted, page)

    def test_command_starts_from_any_folder(self):
        # No city.txt where the command is typed: the program starts in its data folder.
        command = shutil.which("tovakidoviv", path="/usr/bin")
        self.assertEqual(command, "/usr/bin/tovakidoviv")
        s = self.session
        s.start_app(city=None, binary=command)
        self.assertFalse((s.workdir / "city.txt").exists())
        window = s.find_window(MAIN_CAPTION)
        self.assertEqual(s.x11.geometry(window)[2:], (harness.CLIENT_WIDTH, harness.CLIENT_HEIGHT))
        # The web engine is loaded after the first frame; its news view's request shows it runs.
        harness.wait_until(lambda: s.requests_for("/softnews.html"), 15, message="the news page to be asked for")
        self.assertNotIn("no web pages can be shown", s.app.stderr())
        self.assertEqual(s.close_window(window), 0)

    def test_program_itself_still_reads_its_working_directory(self):
        # The program under the command, started from a folder with no city.txt,
        # says so and ends: only the command chooses the data folder.
        launcher = Path("/usr/bin/tovakidoviv").read_text(encoding="utf-8")
        target = re.search(r"^exec '([^']+)'", launcher, re.M)
        self.assertIsNotNone(target, launcher)
        program = Path(target.group(1))
        self.assertTrue(program.with_name("loading.html").is_file())
        self.assertTrue(program.with_name("libtovakidoviv_webengine.so").is_file())
        s = self.session
        s.start_app(city=None, binary=program)
        box = s.wait_message_box()
        self.assertEqual(s.x11.named(MAIN_CAPTION), [])
        s.dismiss(box)
        self.assertEqual(s.app.wait(5), 1)
