"""Hostile inputs against the real program: odd or unusable region data, a
service that is down, late, broken, enormous or full of strange links, no
browser to hand an address to, and text boxes filled with what nobody types.
A program meant to keep running is shown to still answer afterwards; a message
box is read over the accessibility bus. Pasting needs xclip."""

import contextlib
import os
import shutil
import time
import unittest

import harness
from harness import CLIENT_HEIGHT, CLIENT_WIDTH, MAIN_CAPTION, SITE_PORT, SITE_ROOT, decode_query
from layout import (BADGES, BEIJING_PICKS, CITY1, CITY2, CITY3, HOME_LINK, IMAGE5, NEUTRAL, NEWS_LINE,
                    NEWS_RECT, RIGHT_COLUMN, TEXT8)

GOOD_PHONE = "13800138000"
LAUNCH_FAILED = "无法打开浏览器，报价页面没有打开。"
CANNOT_READ = "无法读取地区数据文件 city.txt："
FIRST_LINE_EMPTY = "地区数据文件 city.txt 的第一行是空的，没有任何地区"

BEIJING, BEIJING_CITY, DONGCHENG = "110000|北京市", "110100|北京市", "110101|东城区"
# Three lines of region data with one province, its city and one district.
BEIJING_LINE = ",".join((BEIJING, BEIJING_CITY, DONGCHENG)) + ","
# City1 Down twice, city2 Down once, city3 Down twice: the province, its city,
# then the city's own entry and the district. A second province anywhere in the
# list would be the second Down's pick in city1.
STANDARD_PICKS = ((CITY1, 2), (CITY2, 1), (CITY3, 2))
# The time a negative finding is given: lines that would have been filled,
# a box or a launch that would have come.
SETTLE = 1.5


def gbk(text):
    return text.encode("gbk")


def parts(count):
    """A first line of count parts: Beijing's three entries, districts of
    no province, and the empty part after the last comma."""
    return gbk(",".join([BEIJING, BEIJING_CITY, DONGCHENG] + ["990101|x"] * (count - 4)) + ",")


class HostileCase(harness.E2ETestCase):
    def answer_box(self, text, window=None, timeout=10):
        s = self.session
        box = s.wait_message_box(timeout)
        self.assertEqual(s.box_text(), text)
        s.screenshot("box", window=box)
        s.dismiss(box, window)

    def told_twice(self, window, text, timeout=10):
        """A good press whose address cannot be opened says text and keeps the
        mobile number: the next press says the same, not the phone message."""
        self.session.type_into(window, TEXT8, GOOD_PHONE)
        for _ in range(2):
            self.session.click(window, *IMAGE5)
            self.answer_box(text, window, timeout)

    def quote(self, window, timeout=10):
        """The query of the one address a good press hands to the browser."""
        self.session.type_into(window, TEXT8, GOOD_PHONE)
        address = self.session.launch(window, IMAGE5, timeout)
        self.assertTrue(address.startswith(f"{SITE_ROOT}/AutoPrice.action?"), address)
        self.assertTrue(address.isascii(), f"unescaped bytes reached the browser: {address!r}")
        return dict(decode_query(address))


@contextlib.contextmanager
def clipboard(session, text):
    """The clipboard of the session's display holds text until the end of
    the block: xclip in the foreground owns it."""
    if shutil.which("xclip") is None:
        raise unittest.SkipTest("xclip is not installed (tools/deps.txt)")
    source = session.tmp / "clipboard"
    source.write_bytes(text.encode("utf-8"))
    owner = harness.Group("xclip", ["xclip", "-quiet", "-selection", "clipboard", "-i", source], session.tmp,
                          env=dict(os.environ, DISPLAY=session.display))
    try:
        harness.wait_until(lambda: read_clipboard(session) == text.encode("utf-8"), 10, interval=0.1,
                           message="xclip to own the clipboard")
        yield owner
    finally:
        owner.stop()


def read_clipboard(session):
    r = session._tool("xclip", "-o", "-selection", "clipboard", check=False)
    return r.stdout if r.returncode == 0 else None


class RefusedRegionDataTest(HostileCase):
    """city.txt that cannot be used: a box says why, before any window when
    nothing can be read, at the tick otherwise; OK ends the program with 1."""
    accessible = True

    def test_refused(self):
        s = self.session
        cases = (
            ("missing", None, False, CANNOT_READ + "文件不存在"),
            ("a-directory", lambda path: path.mkdir(), False, CANNOT_READ + "这不是一个普通文件"),
            ("empty", b"", False, CANNOT_READ + "文件是空的，没有任何一行"),
            ("empty-first-line", b"\n", True, FIRST_LINE_EMPTY),
            ("empty-first-line-crlf", b"\r\n" + gbk(BEIJING_LINE) + b"\n", True, FIRST_LINE_EMPTY),
            ("32766-parts", parts(32766), True,
             "地区数据文件 city.txt 的第一行有 32766 段，超过了 32765 段的上限"),
        )
        for label, city, at_tick, text in cases:
            with self.subTest(city_txt=label):
                s.start_app(city=city)
                shown = []   # a main window seen (at the tick, a mapped one)
                asked = []   # whether the news page had been asked for when the box came

                def box_shown():
                    if not shown:
                        shown.extend(s.x11.named(MAIN_CAPTION, visible_only=at_tick))
                    boxes = s.message_boxes()
                    if boxes:
                        asked.append(any(r["time"] >= s.app_started_wall for r in s.requests_for("/softnews.html")))
                    return boxes
                box = harness.wait_until(box_shown, harness.WINDOW_TIMEOUT, interval=0.05, message="the box")[0]
                if at_tick:
                    self.assertTrue(shown, "the box came before the main window")
                    # The window asks for the news as it starts, the tick reads it later.
                    self.assertTrue(asked[0], "the box came before the news page was asked for")
                self.assertEqual(s.box_text(), text)
                # The box waits for its answer, with no main window meanwhile when nothing was read.
                self.assertTrue(s.app.running(), "the program ended before OK was pressed")
                if not at_tick:
                    self.assertEqual(shown + s.x11.named(MAIN_CAPTION), [], "a main window existed")
                s.dismiss(box)
                self.assertEqual(s.app.wait(5), 1)


class AcceptedRegionDataTest(HostileCase):
    """Odd but usable first lines, as only the real program reads them: from
    city.txt in its working directory, up to the limit of parts, 50 MB long,
    each in bounded time. Every other odd line is a row of the unit tables of
    the reading and the lists."""
    BOUND = 60.0

    def test_lists_hold_exactly_the_line(self):
        s = self.session
        standard = {"cit1": BEIJING, "cit2": BEIJING_CITY, "cit3": DONGCHENG}
        # What follows the first line starts with a province: had the break
        # not ended the line, city1 would offer it as a second province.
        more = gbk(",320000|江苏省,320100|南京市,320102|玄武区,")
        # 30,000 entries of 1740 bytes of GBK: a long province every
        # thousandth, districts of no province otherwise.
        codes = (f"{20 + i // 1000:02d}0000" if i % 1000 == 999 else f"99{1 + i % 9999:04d}" for i in range(30_000))
        huge = gbk(BEIJING_LINE + "".join(f"{code}|{'长' * 870}{i}," for i, code in enumerate(codes))) + b"\n"
        self.assertGreater(len(huge), 50 * 1024 * 1024)
        cases = (
            ("LF", gbk(BEIJING_LINE) + b"\n" + more, STANDARD_PICKS, standard),
            # A byte that is not GBK is one replacement character; the rest stands.
            ("bad-bytes-in-names", gbk("110000|北") + b"\x81\x30" + gbk("京市,110100|北京市,110101|东城") + b"\x81\x20"
             + gbk("区,") + b"\n", STANDARD_PICKS,
             {"cit1": "110000|北?0京市", "cit2": BEIJING_CITY, "cit3": "110101|东城? 区"}),
            ("32765-parts", parts(32765), STANDARD_PICKS, standard),
            # 北京市 comes first, the long provinces after it.
            ("50-MB-line", huge, BEIJING_PICKS, standard),
        )
        for label, city, picks, expected in cases:
            with self.subTest(city_txt=label):
                s.start_app(city=city)
                window = s.find_window(MAIN_CAPTION, timeout=self.BOUND)
                shown = time.monotonic() - s.app_started
                s.wait_overlay_gone(window, timeout=self.BOUND - shown)
                print(f"\n{label} ({len(city)} bytes): window after {shown:.1f} s, "
                      f"lists filled after {time.monotonic() - s.app_started:.1f} s", flush=True)
                s.focus(window)
                s.pick(window, *picks)
                query = self.quote(window, timeout=30)
                self.assertEqual({k: query.get(k) for k in ("cit1", "cit2", "cit3", "pho")},
                                 dict(expected, pho=GOOD_PHONE))
                self.assertEqual(s.message_boxes(), [])
                self.assert_answering(window)


class NewsPageTest(HostileCase):
    """The news page missing, late, broken, enormous, or full of markup or
    strange links: the lines show what headlines there are and open web
    addresses (of any letter case) only. A page after the tick is not read."""
    with_standin = False
    BOUND = 60.0

    def test_news_pages(self):
        s = self.session
        news = [f"{SITE_ROOT}/news/{n}.html" for n in range(1, 11)]
        cases = (
            # No headline at all: the lines keep their first caption and open nothing.
            ("service down", None, 0, {i: None for i in range(10)}),
            ("after the tick", "normal", 5.0, {i: None for i in range(10)}),
            # The page's <title> is never closed, so all that follows it is the title's text.
            ("broken", "broken", 0, {i: None for i in range(10)}),
            # 100,000 inputs after the headlines, answered before the tick:
            # whatever of the rest has been parsed by then, the headlines have.
            ("huge", "huge", 0, {0: news[0], 9: news[9]}),
            ("markup and megabyte values", "markup", 0, {0: news[0], 3: news[3], 4: news[4]}),
            ("schemes", "schemes", 0, dict(enumerate([None, None, None, f"HTTPS://127.0.0.1:{SITE_PORT}/news/4.html",
                                                       None, None, None, news[7], news[8], news[9]]))),
        )
        for label, mode, delay, opens in cases:
            with self.subTest(news_page=label):
                if mode is not None:
                    s.start_standin(mode, delay)
                window = s.start_main(ready=False)
                s.wait_overlay_gone(window, timeout=self.BOUND)
                gone = time.time()
                if delay:
                    # Neither the overlay nor the links wait for a late page.
                    self.assertEqual(s.launch(window, HOME_LINK), SITE_ROOT)
                    answered = harness.wait_until(lambda: [a["answered"] for a in s.answers()
                                                           if a["path"] == "/softnews.html"
                                                           and a["answered"] > s.app_started_wall], delay + 10,
                                                  message="the late news page to be answered")
                    self.assertGreater(answered[0], gone, "the overlay waited for the news page")
                    # Long enough for the late page to have come and been shown, were it read.
                    time.sleep(SETTLE)
                before = len(s.browser_calls())
                if any(opens.values()):
                    print(f"\n{label}: {s.news_timing()}", flush=True)
                    s.wait_news_filled(window)
                    client = s.screenshot(label.replace(" ", "-"), window)
                    for i, rect in enumerate(NEWS_RECT):
                        self.assertGreater(harness.colour_count(harness.crop(client, *rect), 10), 2,
                                           f"news line {i + 1} shows no text")
                    # The rest of the window is laid out as with plain headlines.
                    self.assertEqual(s.x11.geometry(window)[2:], (CLIENT_WIDTH, CLIENT_HEIGHT))
                else:
                    # The overlay goes with the lines the page fills: each still shows its first caption.
                    self.assertEqual(len(set(s.news_pictures(window))), 1, "news lines differ: some were filled")
                for index, address in opens.items():
                    if address is None:
                        s.click(window, *NEWS_LINE[index])
                    else:
                        self.assertEqual(s.launch(window, NEWS_LINE[index]), address, f"news line {index + 1}")
                # The home link's launch comes after any launch of the clicks before it.
                self.assertEqual(s.launch(window, HOME_LINK), SITE_ROOT)
                self.assertEqual(len(s.browser_calls()) - before, len([a for a in opens.values() if a]) + 1,
                                 s.browser_calls()[before:])
                self.assertEqual(s.message_boxes(), [])
                self.assertTrue(s.app.running())


class NoBrowserTest(HostileCase):
    """$BROWSER names nothing and no xdg-open is on the PATH: links go
    nowhere, silently; a press says the quotation could not be opened and
    keeps the answers; the program goes on."""
    accessible = True
    ENV = {"BROWSER": "/nonexistent/browser", "PATH": "/nonexistent"}

    def test_links_go_nowhere_and_press_tells(self):
        s = self.session
        window = s.start_main(news=True, extra_env=self.ENV)
        s.click(window, *NEUTRAL)
        time.sleep(0.3)   # the focus frame gone from the last control
        column = harness.crop(s.screenshot("before-links", window), *RIGHT_COLUMN)
        for at in NEWS_LINE + BADGES + [HOME_LINK]:
            s.click(window, *at)
        s.click(window, *NEUTRAL)
        self.assert_no_box(SETTLE)
        after = harness.crop(s.screenshot("after-links", window), *RIGHT_COLUMN)
        self.assertEqual(harness.differing_pixels(column, after), 0, "the links changed what the window shows")
        self.assertTrue(s.app.running())

        s.focus(window)
        s.pick(window, *STANDARD_PICKS)
        self.told_twice(window, LAUNCH_FAILED)
        self.assertTrue(s.app.running())
        self.assertEqual(s.browser_calls(), [], "an address reached a browser")


class TextBoxTest(HostileCase):
    """Text boxes filled with what nobody types, by pasting."""
    accessible = True

    def paste_into(self, window, at, text):
        s = self.session
        with clipboard(s, text) as owner:
            s.click(window, *at)
            # Pasted, then copied back out: the program takes the clipboard
            # only once it has the pasted text, and xclip leaves when it loses it.
            s.key("ctrl+a", "ctrl+v", "ctrl+a", "ctrl+c")
            owner.wait(10)
        held = harness.wait_until(lambda: read_clipboard(s), 10, interval=0.1, message="the copied text")
        return held.decode("utf-8", errors="surrogateescape")

    def test_phone_texts_that_are_not_eleven_digits(self):
        s = self.session
        window = s.start_main()
        s.pick(window, *STANDARD_PICKS)
        # What a pasted text is made of is the unit tables' business; here,
        # that a huge text and a line break pass through the real box whole.
        cases = (
            ("100,000 digits", "1" * 100_000),
            ("CRLF after 11 digits", GOOD_PHONE + "\r\n"),
        )
        for label, text in cases:
            with self.subTest(phone=label):
                s.focus(window)
                held = self.paste_into(window, TEXT8, text)
                self.assertEqual(held, text, "the box does not hold the pasted text")
                before = len(s.browser_calls())
                started = time.monotonic()
                s.click(window, *IMAGE5)
                s.wait_message_box(timeout=20)
                print(f"\nphone {label}: box after {time.monotonic() - started:.2f} s", flush=True)
                self.answer_box("请录入正确的：电话号码", window)
                self.assertEqual(len(s.browser_calls()), before, "a refused press opened something")
                self.assertTrue(s.app.running())
        self.assert_answering(window)

    def test_region_texts_reach_the_browser_exactly(self):
        s = self.session
        window = s.start_main()
        texts = {"cit1": "a&b#c%d+e f😀", "cit2": "%41%%2 & # + 北京", "cit3": "😀🏠 &#%+ 区"}
        # Pasted, not typed: xdotool types a character outside the keymap by
        # remapping a key for it, which a busy program may read after the
        # next remapping and lose. The box's own text is checked on the way.
        for key, at in (("cit1", CITY1), ("cit2", CITY2), ("cit3", CITY3)):
            s.focus(window)
            self.assertEqual(self.paste_into(window, at, texts[key]), texts[key])
        query = self.quote(window)
        # Code page 936 has no emoji: each goes as "?", as Windows writes what
        # the code page lacks.
        sent = {"cit1": "a&b#c%d+e f?", "cit2": "%41%%2 & # + 北京", "cit3": "?? &#%+ 区"}
        self.assertEqual({k: query[k] for k in (*sent, "pho")}, dict(sent, pho=GOOD_PHONE))
        self.assertEqual(len(query), 22, sorted(query))

        # A typed province keeps the lists its pick filled, however long. An
        # address longer than one program argument may be (128 KiB on Linux;
        # 50,000 Chinese characters become 300,000 percent-escaped bytes)
        # cannot be handed to xdg-open, and the user is told.
        for text, told in (("a" * 100_000, None), ("北" * 50_000, LAUNCH_FAILED)):
            with self.subTest(province=f"{len(text)} × {text[0]}"):
                s.focus(window)
                s.pick(window, *BEIJING_PICKS)
                self.assertEqual(self.paste_into(window, CITY1, text), text, "city1 does not hold the pasted text")
                before = len(s.browser_calls())
                if told is None:
                    self.assertEqual(self.quote(window, timeout=20)["cit1"], text)
                    self.assert_no_box(SETTLE)
                else:
                    self.told_twice(window, told, timeout=20)
                    self.assertEqual(len(s.browser_calls()), before, "an address reached the browser")
        self.assert_answering(window)
