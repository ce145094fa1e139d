"""The stand-in service and the browser recorder that the end-to-end tests
stand on. No display needed."""

import html.parser
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse
from pathlib import Path

import harness

sys.path.insert(0, str(harness.SOURCE_DIR / "tools"))
import standin  # noqa: E402


def free_ports(count):
    socks = []
    try:
        for _ in range(count):
            s = socket.socket()
            s.bind(("127.0.0.1", 0))
            socks.append(s)
        return [s.getsockname()[1] for s in socks]
    finally:
        for s in socks:
            s.close()


def raw_get(port, target, host=None, timeout=10):
    """Sends one GET with target as raw bytes; returns (status, headers, body)."""
    host = host or f"127.0.0.1:{port}"
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as sock:
        sock.sendall(b"GET " + target + b" HTTP/1.1\r\nHost: " + host.encode()
                     + b"\r\nConnection: close\r\n\r\n")
        data = b""
        while chunk := sock.recv(65536):
            data += chunk
    head, _, body = data.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    status = int(lines[0].split()[1])
    headers = {k.lower(): v.strip() for k, _, v in (line.partition(":") for line in lines[1:])}
    return status, headers, body


class Inputs(html.parser.HTMLParser):
    """The INPUT elements of a page, as dicts of their attributes."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.inputs = []

    def handle_starttag(self, tag, attrs):
        if tag == "input":
            self.inputs.append(dict(attrs))


class Cells(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows, self._cell = [], None

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.rows.append([])
        elif tag == "td":
            self._cell = ""

    def handle_data(self, data):
        if self._cell is not None:
            self._cell += data

    def handle_endtag(self, tag):
        if tag == "td":
            self.rows[-1].append(self._cell)
            self._cell = None


def inputs_of(body):
    parser = Inputs()
    parser.feed(body.decode("gbk"))
    return parser.inputs


class StandInTest(unittest.TestCase):

    def setUp(self):
        self.tmp = Path(tempfile.mkdtemp(prefix="standin-test-"))
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.procs = []
        self.addCleanup(self._stop_all)

    def _stop_all(self):
        for p in self.procs:
            if p.poll() is None:
                p.kill()
            p.wait(timeout=5)

    def start(self, *extra, ports=None):
        self.ports = ports or free_ports(3)
        self.runs = getattr(self, "runs", 0) + 1
        self.log = self.tmp / f"log{self.runs}"
        self.ready = self.tmp / f"ready{self.runs}"
        argv = [sys.executable, str(standin.__file__),
                "--site-port", str(self.ports[0]), "--software-port", str(self.ports[1]),
                "--chat-port", str(self.ports[2]), "--log", str(self.log),
                "--ready-file", str(self.ready), *extra]
        errors = self.tmp / f"stderr{self.runs}"
        with open(errors, "wb") as err:
            proc = subprocess.Popen(argv, stderr=err)
        self.procs.append(proc)
        harness.wait_until(lambda: self.ready.exists() or proc.poll() is not None, 10,
                           message="the stand-in")
        self.assertIsNone(proc.poll(), errors.read_text())
        return proc

    def logged(self):
        return [json.loads(line) for line in self.log.read_text(encoding="utf-8").splitlines()]

    def test_every_port_serves_and_logs_the_raw_target(self):
        self.start()
        target = b"/msgrd?q=%C4%CF&r=\xc4\xcf+x"
        for port in self.ports:
            status, headers, body = raw_get(port, target)
            self.assertEqual(status, 200)
            self.assertIn("gbk", headers["content-type"])
            self.assertIn("q=%C4%CF&amp;r=", body.decode("gbk", errors="replace"))
        entries = self.logged()
        self.assertEqual([e["port"] for e in entries], self.ports)
        for e in entries:
            self.assertEqual(e["method"], "GET")
            self.assertEqual(e["path"].encode("latin-1"), target)
            self.assertAlmostEqual(e["time"], time.time(), delta=60)

    def test_news_page_in_each_mode(self):
        host = "news.test:4321"
        plain = [{"type": "hidden", "name": f"news{n}", "value": title,
                  "mysrc": f"http://{host}/news/{n}.html"}
                 for n, title in enumerate(standin.HEADLINES, start=1)]
        end = {"type": "hidden", "name": "newsend", "value": "已结束"}
        for mode in standin.NEWS_MODES:
            with self.subTest(mode=mode):
                self.start("--news-mode", mode)
                status, headers, body = raw_get(self.ports[0], b"/softnews.html", host=host)
                self.assertEqual(status, 200)
                self.assertEqual(headers["content-length"], str(len(body)))
                self.assertIn(b'<meta charset="gbk">', body)
                inputs = inputs_of(body)
                if mode in ("normal", "slow"):
                    self.assertEqual(inputs, plain + [end])
                elif mode == "huge":
                    self.assertEqual(len(inputs), standin.HUGE_FILLER_COUNT + 11)
                    self.assertEqual([i["name"] for i in inputs[:3]], ["x0", "x1", "x2"])
                    self.assertEqual(inputs[standin.HUGE_FILLER_COUNT:], plain + [end])
                elif mode == "markup":
                    self.assertEqual([i["name"] for i in inputs],
                                     [p["name"] for p in plain] + ["newsend"])
                    self.assertEqual(inputs[0]["value"], "<b>bold</b>&<script>")
                    self.assertEqual(inputs[1]["value"], "<b>bold</b>&amp;<script>")
                    self.assertEqual(inputs[2]["value"], standin.HEADLINES[2] + "<i>&&&中文")
                    for i in (3, 4):
                        self.assertGreater(len(inputs[i]["value"]), standin.LONG_VALUE_LENGTH)
                    self.assertEqual(inputs[9:], plain[9:] + [end])
                elif mode == "schemes":
                    self.assertEqual([i.get("mysrc") for i in inputs[:10]], [
                        "javascript:alert(1)", "file:///etc/passwd", "/bare/path",
                        f"HTTPS://{host}/news/4.html", f"ftp://{host}/news/5.html", "", None,
                        f"http://{host}/news/8.html", f"http://{host}/news/9.html",
                        f"http://{host}/news/10.html"])
                    self.assertEqual([i["value"] for i in inputs], [p["value"] for p in plain] + ["已结束"])
                elif mode == "popups":
                    self.assertEqual(inputs, plain + [end])
                    self.assertEqual(body.count(b"window.open("), 6)
                    _, _, explain = raw_get(self.ports[1], b"/softload/explain.html", host=host)
                    self.assertEqual(explain.count(b"window.open("), 6)
                    self.assertIn(b'href="/popup/clicked.html" target="_blank"', explain)
                elif mode == "broken":
                    self.assertEqual(inputs, plain[:standin.BROKEN_CUT_AT - 1])
                    self.assertNotIn("已结束".encode("gbk"), body)
                    self.assertNotIn(b"</html>", body)
                else:
                    self.fail(f"no check for mode {mode}")
                self.procs[-1].terminate()
                self.procs[-1].wait(timeout=5)

    def test_news_delay_holds_back_only_the_news_page(self):
        self.start("--news-mode", "normal", "--news-delay", "1.0")
        t = time.monotonic()
        self.assertEqual(raw_get(self.ports[2], b"/news/1.html")[0], 200)
        self.assertLess(time.monotonic() - t, 0.8)
        t = time.monotonic()
        status, _, body = raw_get(self.ports[0], b"/softnews.html")
        self.assertGreaterEqual(time.monotonic() - t, 1.0)
        self.assertEqual(len(inputs_of(body)), 11)
        # Logged on arrival, not when answered.
        entries = self.logged()
        self.assertLess(entries[1]["time"] - entries[0]["time"], 0.8)

    def test_quotation_page_lists_parameters_decoded_as_gbk(self):
        self.start()
        params = [("province", "江苏省"), ("city", "南京市"), ("blank", ""), ("room", "客厅 1"),
                  ("room", "卧室"), ("mobile", "13800000000")]
        query = urllib.parse.urlencode(params, encoding="gbk")
        status, _, body = raw_get(self.ports[1], b"/AutoPrice.action?" + query.encode() + b"&bare")
        self.assertEqual(status, 200)
        cells = Cells()
        cells.feed(body.decode("gbk"))
        self.assertEqual([tuple(r) for r in cells.rows], params + [("bare", "")])
        self.assertEqual(standin.decode_query(query), params)
        # Raw bytes in the query are read as GBK as well.
        self.assertEqual(standin.decode_query("a=\xc4\xcf%BE%A9"), [("a", "南京")])

    def test_other_pages_and_not_found(self):
        self.start()
        site = f"127.0.0.1:{self.ports[0]}"
        for target in ("/", "/zxpic.htm", "/MemberPrice.htm", "/softload/explain.html",
                       "/softload/explain2.html", "/news/3.html", "/news/10.html?x=1",
                       "/AutoPrice.action", "/msgrd"):
            with self.subTest(target=target):
                status, headers, body = raw_get(self.ports[0], target.encode())
                self.assertEqual(status, 200)
                self.assertIn(b'<meta charset="gbk">', body)
                body.decode("gbk")
        _, _, explain = raw_get(self.ports[0], b"/softload/explain.html")
        text = explain.decode("gbk")
        self.assertIn('href="/softload/explain2.html"', text)
        self.assertIn(f'href="http://{site}/zxpic.htm" target="_blank"', text)
        self.assertEqual(raw_get(self.ports[0], b"/news/3.html")[2].decode("gbk").count(
            standin.HEADLINES[2]), 2)
        for target in (b"/nothing", b"/softnews.htm", b"/news/x.html", b"/softload/",
                       b"/SOFTNEWS.HTML"):
            with self.subTest(target=target):
                self.assertEqual(raw_get(self.ports[0], target)[0], 404)

    def test_stops_on_sigterm(self):
        proc = self.start()
        proc.send_signal(signal.SIGTERM)
        self.assertEqual(proc.wait(timeout=5), 0)
        with self.assertRaises(OSError):
            socket.create_connection(("127.0.0.1", self.ports[0]), timeout=2).close()

    def test_stops_when_its_parent_goes(self):
        ports = free_ports(3)
        ready = self.tmp / "ready"
        starter = (
            "import subprocess, sys, time, os\n"
            "p = subprocess.Popen(sys.argv[1:])\n"
            f"while not os.path.exists({str(ready)!r}): time.sleep(0.05)\n"
        )
        argv = [sys.executable, "-c", starter, sys.executable, standin.__file__,
                "--site-port", str(ports[0]), "--software-port", str(ports[1]),
                "--chat-port", str(ports[2]), "--log", str(self.tmp / "log"),
                "--ready-file", str(ready)]
        self.assertEqual(subprocess.run(argv, timeout=15).returncode, 0)
        socket.create_connection(("127.0.0.1", ports[0]), timeout=2).close()

        def closed():
            try:
                socket.create_connection(("127.0.0.1", ports[0]), timeout=1).close()
                return False
            except OSError:
                return True
        harness.wait_until(closed, 5, interval=0.1, message="the orphaned stand-in to stop")

    def test_refuses_a_port_in_use(self):
        busy = socket.socket()
        busy.bind(("127.0.0.1", 0))
        busy.listen()
        self.addCleanup(busy.close)
        ports = free_ports(2) + [busy.getsockname()[1]]
        argv = [sys.executable, standin.__file__, "--site-port", str(ports[0]),
                "--software-port", str(ports[1]), "--chat-port", str(ports[2]),
                "--log", str(self.tmp / "log"), "--ready-file", str(self.tmp / "ready")]
        r = subprocess.run(argv, stderr=subprocess.PIPE, timeout=15)
        self.assertNotEqual(r.returncode, 0)
        self.assertIn(str(ports[2]).encode(), r.stderr)
        self.assertFalse((self.tmp / "ready").exists())


class BrowserRecorderTest(unittest.TestCase):

    def setUp(self):
        self.tmp = Path(tempfile.mkdtemp(prefix="recorder-test-"))
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.log = self.tmp / "browser.log"
        self.env = {"PATH": os.environ.get("PATH", os.defpath), "HOME": str(self.tmp),
                    "TOVAKIDOVIV_BROWSER_LOG": str(self.log)}

    def test_records_each_argument_as_one_line(self):
        first = [b"http://127.0.0.1:18181/AutoPrice.action?a=%C4%CF&b=x+y", b"two words",
                 b"-n", b"\xc4\xcf\xbe\xa9", b"%s\\n"]
        second = [b"http://127.0.0.1:18180/zxpic.htm"]
        for args in (first, second):
            r = subprocess.run([bytes(harness.BROWSER_RECORDER), *args], env=self.env, timeout=10)
            self.assertEqual(r.returncode, 0)
        self.assertEqual(self.log.read_bytes(), b"".join(a + b"\n" for a in first + second))

    def test_a_line_still_being_written_is_not_read(self):
        # A poll can land between the two halves of an append; the half
        # written address must not pass for a whole one.
        cases = (
            ("no file", None, []),
            ("empty", b"", []),
            ("one line", b"http://a/?x=1\n", [b"http://a/?x=1"]),
            ("half of the second", b"http://a/?x=1\nhttp://a/AutoPrice.action?bom1=2&bo",
             [b"http://a/?x=1"]),
            ("half of the first", b"http://a/AutoPr", []),
            ("empty argument", b"\n\nx\n", [b"", b"", b"x"]),
            ("CR and separators stay inside", b"a\rb\x1cc\xe2\x80\xa8d\n", [b"a\rb\x1cc\xe2\x80\xa8d"]),
        )
        for label, content, expected in cases:
            with self.subTest(label):
                if content is None:
                    self.log.unlink(missing_ok=True)
                else:
                    self.log.write_bytes(content)
                self.assertEqual(harness.complete_lines(self.log), expected)

    def test_without_a_log_file_it_fails(self):
        env = dict(self.env)
        del env["TOVAKIDOVIV_BROWSER_LOG"]
        r = subprocess.run([str(harness.BROWSER_RECORDER), "http://x/"], env=env,
                           stderr=subprocess.PIPE, timeout=10)
        self.assertNotEqual(r.returncode, 0)
        self.assertIn(b"TOVAKIDOVIV_BROWSER_LOG", r.stderr)

    @unittest.skipUnless(shutil.which("xdg-open"), "xdg-open is not installed")
    def test_xdg_open_hands_the_address_over_unchanged(self):
        address = "http://127.0.0.1:18181/AutoPrice.action?a=%C4%CF%BE%A9&b=&c=1+2"
        env = dict(self.env, BROWSER=str(harness.BROWSER_RECORDER),
                   XDG_DATA_DIRS=str(self.tmp), XDG_CONFIG_DIRS=str(self.tmp))
        r = subprocess.run(["xdg-open", address], env=env, timeout=20)
        self.assertEqual(r.returncode, 0)
        self.assertEqual(self.log.read_text(), address + "\n")


if __name__ == "__main__":
    unittest.main()
