"""The contract of the stand-in service and the browser recorder that the
end-to-end tests stand on: what they log, what each news mode serves, how the
stand-in starts and stops. No display needed."""

import concurrent.futures
import contextlib
import html.parser
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

import harness


def free_ports(count):
    with contextlib.ExitStack() as stack:
        socks = [stack.enter_context(socket.create_server(("127.0.0.1", 0))) for _ in range(count)]
        return [s.getsockname()[1] for s in socks]


def raw_get(port, target):
    """Sends one GET with target as raw bytes; returns (status, body)."""
    with socket.create_connection(("127.0.0.1", port), timeout=10) as sock:
        sock.sendall(b"GET " + target + b" HTTP/1.1\r\nHost: h.test\r\nConnection: close\r\n\r\n")
        data = b"".join(iter(lambda: sock.recv(65536), b""))
    head, _, body = data.partition(b"\r\n\r\n")
    return int(head.split()[1]), body


class Inputs(html.parser.HTMLParser):
    """The INPUT elements of a page, as dicts of their attributes."""

    def __init__(self, body):
        super().__init__(convert_charrefs=True)
        self.inputs = []
        self.feed(body.decode("gbk"))

    def handle_starttag(self, tag, attrs):
        if tag == "input":
            self.inputs.append(dict(attrs))


def standin_argv(tmp, ports):
    return [sys.executable, str(harness.STANDIN), "--site-port", str(ports[0]), "--software-port", str(ports[1]),
            "--chat-port", str(ports[2]), "--log", str(tmp / "log"), "--ready-file", str(tmp / "ready")]


class StandInTest(unittest.TestCase):

    def setUp(self):
        self.tmp = Path(tempfile.mkdtemp(prefix="standin-test-"))
        self.addCleanup(shutil.rmtree, self.tmp, True)

    def start(self, *extra):
        (self.tmp / "ready").unlink(missing_ok=True)
        self.ports = free_ports(3)
        proc = subprocess.Popen(standin_argv(self.tmp, self.ports) + list(extra), stderr=subprocess.PIPE)
        self.addCleanup(lambda: (proc.kill(), proc.wait(5), proc.stderr.close()))
        harness.wait_until(lambda: (self.tmp / "ready").exists() or proc.poll() is not None, 10,
                           message="the stand-in")
        if proc.poll() is not None:
            self.fail(proc.stderr.read().decode(errors="replace"))
        return proc

    def test_every_port_logs_the_raw_target_and_its_answer(self):
        self.start()
        target = b"/msgrd?q=%C4%CF&r=\xc4\xcf+x"
        for port in self.ports:
            self.assertEqual(raw_get(port, target)[0], 200)
        entries = [json.loads(line) for line in harness.complete_lines(self.tmp / "log")]
        arrivals = [e for e in entries if "method" in e]
        self.assertEqual([(e["port"], e["method"], e["path"].encode("latin-1")) for e in arrivals],
                         [(port, "GET", target) for port in self.ports])
        answers = [e for e in entries if "answered" in e]
        self.assertEqual([(e["port"], e["path"]) for e in answers], [(e["port"], e["path"]) for e in arrivals])
        for arrival, answer in zip(arrivals, answers):
            self.assertLessEqual(arrival["time"], answer["answered"])
        self.assertEqual(raw_get(self.ports[0], b"/nothing")[0], 404)

    def test_news_modes(self):
        plain = [(f"news{n}", f"http://h.test/news/{n}.html") for n in range(1, 11)]
        for mode, check in (
            ("normal", lambda inputs, body: self.assertEqual(inputs[-11:], plain + [("newsend", None)])),
            ("slow", lambda inputs, body: self.assertEqual(inputs, plain + [("newsend", None)])),
            ("huge", lambda inputs, body: (self.assertEqual(len(inputs), 100_011),
                                           self.assertEqual(inputs[:10] + inputs[-1:], plain + [("newsend", None)]))),
            ("markup", lambda inputs, body: (self.assertEqual(inputs, plain + [("newsend", None)]),
                                             self.assertIn(b'value="<b>bold</b>', body),
                                             self.assertGreater(len(body), 2 * 1024 * 1024))),
            ("schemes", lambda inputs, body: self.assertEqual([src for _, src in inputs[:10]], [
                "javascript:alert(1)", "file:///etc/passwd", "/bare/path", "HTTPS://h.test/news/4.html",
                "ftp://h.test/news/5.html", "", None, "http://h.test/news/8.html", "http://h.test/news/9.html",
                "http://h.test/news/10.html"])),
            ("broken", lambda inputs, body: (self.assertEqual(inputs, plain[:7]),
                                             self.assertNotIn(b"</html>", body))),
            ("popups", lambda inputs, body: (self.assertEqual(inputs, plain + [("newsend", None)]),
                                             self.assertIn(b"window.open(", body))),
        ):
            with self.subTest(mode=mode):
                self.start("--news-mode", mode)
                status, body = raw_get(self.ports[0], b"/softnews.html")
                self.assertEqual(status, 200)
                check([(i["name"], i.get("mysrc")) for i in Inputs(body).inputs], body)
                if mode == "popups":
                    explain = raw_get(self.ports[1], b"/softload/explain.html")[1]
                    self.assertIn(b'href="/popup/clicked.html" target="_blank"', explain)

    def test_news_delay_holds_back_only_the_news_page(self):
        self.start("--news-delay", "1.0")
        log = self.tmp / "log"
        with concurrent.futures.ThreadPoolExecutor(1) as pool:
            news = pool.submit(raw_get, self.ports[0], b"/softnews.html")
            harness.wait_until(lambda: b"/softnews.html" in log.read_bytes() if log.exists() else False, 10,
                               message="the news page's arrival")
            # Another page asked for after the news page is answered before it.
            self.assertEqual(raw_get(self.ports[2], b"/news/1.html")[0], 200)
            self.assertEqual(len(Inputs(news.result(timeout=10)[1]).inputs), 11)
        answered = [e["path"] for e in map(json.loads, harness.complete_lines(log)) if "answered" in e]
        self.assertEqual(answered, ["/news/1.html", "/softnews.html"])

    def test_refuses_a_port_in_use(self):
        busy = self.enterContext(socket.create_server(("127.0.0.1", 0)))
        ports = free_ports(2) + [busy.getsockname()[1]]
        r = subprocess.run(standin_argv(self.tmp, ports), stderr=subprocess.PIPE, timeout=15)
        self.assertNotEqual(r.returncode, 0)
        self.assertIn(str(ports[2]).encode(), r.stderr)
        self.assertFalse((self.tmp / "ready").exists())

    def test_stops_when_its_parent_goes(self):
        ports = free_ports(3)
        # The parent starts it, waits until it listens and ends.
        starter = ("import os, subprocess, sys, time\nsubprocess.Popen(sys.argv[1:])\n"
                   f"while not os.path.exists({str(self.tmp / 'ready')!r}): time.sleep(0.05)\n")
        self.assertEqual(subprocess.run([sys.executable, "-c", starter] + standin_argv(self.tmp, ports),
                                        timeout=15).returncode, 0)

        def closed():
            with contextlib.suppress(OSError), socket.create_connection(("127.0.0.1", ports[0]), timeout=1):
                return False
            return True
        harness.wait_until(closed, 5, interval=0.1, message="the orphaned stand-in to stop")


class BrowserRecorderTest(unittest.TestCase):

    def test_records_each_argument_as_one_line(self):
        with tempfile.TemporaryDirectory() as tmp:
            log = Path(tmp) / "browser.log"
            env = {"PATH": os.environ.get("PATH", os.defpath), "TOVAKIDOVIV_BROWSER_LOG": str(log)}
            first = [b"http://127.0.0.1:1/AutoPrice.action?a=%C4%CF&b=x+y", b"two words", b"-n", b"\xc4\xcf", b"%s\\n"]
            for args in (first, [b"http://127.0.0.1:1/zxpic.htm"]):
                self.assertEqual(subprocess.run([bytes(harness.BROWSER_RECORDER), *args], env=env,
                                                timeout=10).returncode, 0)
            self.assertEqual(log.read_bytes(), b"".join(a + b"\n" for a in first) + b"http://127.0.0.1:1/zxpic.htm\n")
            self.assertEqual(harness.recorded_environment(log), env)
            del env["TOVAKIDOVIV_BROWSER_LOG"]
            r = subprocess.run([bytes(harness.BROWSER_RECORDER), b"x"], env=env, stderr=subprocess.PIPE, timeout=10)
            self.assertNotEqual(r.returncode, 0)
            self.assertIn(b"TOVAKIDOVIV_BROWSER_LOG", r.stderr)

    def test_complete_lines_leave_a_line_being_written(self):
        # A poll can land between the two halves of an append; the half
        # written address must not pass for a whole one.
        with tempfile.TemporaryDirectory() as tmp:
            log = Path(tmp) / "browser.log"
            self.assertEqual(harness.complete_lines(log), [])
            for content, expected in (
                (b"", []),
                (b"http://a/?x=1\nhttp://a/AutoPrice.action?bom1=2&bo", [b"http://a/?x=1"]),
                (b"http://a/AutoPr", []),
                (b"\n\nx\n", [b"", b"", b"x"]),
                (b"a\rb\x1cc\xe2\x80\xa8d\n", [b"a\rb\x1cc\xe2\x80\xa8d"]),
            ):
                with self.subTest(content=content):
                    log.write_bytes(content)
                    self.assertEqual(harness.complete_lines(log), expected)
