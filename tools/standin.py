#!/usr/bin/env python3
"""A stand-in for the service, on loopback, for running and testing the program.

    standin.py --site-port N --software-port N --chat-port N --log FILE
               [--news-delay SECONDS] [--news-mode MODE] [--ready-file FILE]

Each of the three ports serves every page; the log tells which port a request
came to. Every request appends one JSON line to the log:

    {"port": 18080, "method": "GET", "path": "/AutoPrice.action?a=%C4%CF", "time": 1700000000.123}

"path" is the request target exactly as it arrived (its bytes read as
latin-1, so none is lost). Once the answer has been written, one more line
says when:

    {"port": 18080, "path": "/softnews.html", "answered": 1700000000.456}
 The ready file is written once every port listens.
The server stops on SIGTERM or SIGINT, and by itself when the process that
started it goes away.

News modes (what /softnews.html holds):
  normal   ten headlines news1..news10, then the end marker "已结束"
  huge     the headlines, then 100,000 unrelated INPUT elements before the end
           marker: read in by the tick whatever the rest takes
  markup   headlines holding markup and entities, two of them 1 MB long
  schemes  links with other schemes: javascript:, file:, a bare path, HTTPS
           in capitals, ftp:, an empty one and a missing one; the
           instructions page has a mailto: and a tencent: link across its top
           edge, blocks 60 px high each
  broken   unclosed tags, and the page ends in the middle of news8
  slow     the same as normal; meant to go with --news-delay
  popups   the same as normal, and both /softnews.html and the instructions
           page run a script that opens windows by itself: window.open of
           /popup/N.html three times while loading, window.open() without an
           address, a javascript: and a file: window, and /popup/later.html
           after POPUP_LATER_SECONDS, then asks for /tried/later; the instructions page also has a
           target="_blank" link to /popup/clicked.html, a blue block 120 px
           high across its top edge
--news-delay applies in every mode: /softnews.html is answered that many
seconds late.
"""

import argparse
import html
import json
import os
import re
import signal
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

NEWS_MODES = ("normal", "huge", "markup", "schemes", "broken", "slow", "popups")

# Headlines of the news page, news1..news10.
HEADLINES = (
    "装修报价软件升级：新增卫生间防水报价",
    "二手房翻新要注意哪些问题",
    "小户型客厅如何装修显得更宽敞",
    "厨房橱柜选购的五个要点",
    "地板与瓷砖，客厅地面怎么选",
    "全包半包清包，三种装修方式的区别",
    "装修合同签订前必须确认的事项",
    "水电改造的价格与验收标准",
    "儿童房装修的环保建议",
    "中式风格装修的预算参考",
)
END_MARKER = "已结束"
HUGE_FILLER_COUNT = 100_000
MARKUP_VALUE_RAW = "<b>bold</b>&amp;<script>"
LONG_VALUE_LENGTH = 1024 * 1024

# The schemes page's links, news1..news10; None means no mysrc attribute.
# "{host}" is the Host header of the request.
SCHEME_LINKS = (
    "javascript:alert(1)",
    "file:///etc/passwd",
    "/bare/path",
    "HTTPS://{host}/news/4.html",
    "ftp://{host}/news/5.html",
    "",
    None,
    "http://{host}/news/8.html",
    "http://{host}/news/9.html",
    "http://{host}/news/10.html",
)

# In popups mode: the script that opens windows with no click, and the link
# that a click opens in a new window.
POPUP_LATER_SECONDS = 2.5
POPUP_SCRIPT = """<script>
for (var i = 1; i <= 3; i++) window.open("http://" + location.host + "/popup/" + i + ".html");
window.open();
window.open("javascript:void(0)");
window.open("file:///etc/hostname");
window.open("http://" + location.host + "/popup/framed.html", "named", "width=200,height=200");
setTimeout(function () {
  window.open("http://" + location.host + "/popup/later.html");
  new Image().src = "http://" + location.host + "/tried/later";
}, %d);
</script>""" % int(POPUP_LATER_SECONDS * 1000)
POPUP_LINK = ('<style>body{margin:0}</style><a id="blank" href="/popup/clicked.html" target="_blank" style="display:block;'
              'width:100%;height:120px;background:#3050c0;color:#fff;font-size:40px">新窗口</a>')

# In schemes mode: links of schemes the desktop, not the web, would open.
SCHEME_PAGE_LINKS = ('<style>body{margin:0}a.scheme{display:block;width:100%;height:60px;background:#3050c0;'
                     'color:#fff;font-size:30px}</style>'
                     '<a class="scheme" id="mailto" href="mailto:help@example.com">写信</a>'
                     '<a class="scheme" id="tencent" href="tencent://message/?uin=800010105&amp;Site=tovaki">在线交谈</a>')

# In broken mode the page stops inside this item's INPUT element.
BROKEN_CUT_AT = 8


def gbk(text):
    """Text as code page 936; what it cannot hold becomes a character reference."""
    return text.encode("gbk", errors="xmlcharrefreplace")


def attr(text):
    return html.escape(text, quote=True)


def page(title, body):
    return ('<!DOCTYPE html>\n<html><head><meta charset="gbk">'
            f"<title>{html.escape(title)}</title></head>\n<body>\n{body}\n</body></html>\n")


def news_link(host, n):
    return f"http://{host}/news/{n}.html"


def news_input(n, value_html, mysrc_html):
    """One headline element; both arguments are already markup."""
    src = "" if mysrc_html is None else f' mysrc="{mysrc_html}"'
    return f'<input type="hidden" name="news{n}" value="{value_html}"{src}>'


def news_page(mode, host):
    """The bytes of /softnews.html in the given mode."""
    items = []
    for n, title in enumerate(HEADLINES, start=1):
        value = attr(title)
        src = attr(news_link(host, n))
        if mode == "markup":
            if n == 1:
                value = MARKUP_VALUE_RAW  # as it stands: tags inside the attribute
            elif n == 2:
                value = attr(MARKUP_VALUE_RAW)  # escaped: the value is the text itself
            elif n == 3:
                value = attr(title) + "&lt;i&gt;" + "&amp;" * 3 + "&#x4E2D;&#25991;"
            elif n in (4, 5):
                value = attr(title) + ("长" if n == 4 else "x") * LONG_VALUE_LENGTH
        elif mode == "schemes":
            link = SCHEME_LINKS[n - 1]
            src = None if link is None else attr(link.format(host=host))
        items.append(news_input(n, value, src))
    end = f'<input type="hidden" name="newsend" value="{END_MARKER}">'

    if mode == "huge":
        filler = "\n".join(f'<input type="hidden" name="x{i}" value="{i}">'
                           for i in range(HUGE_FILLER_COUNT))
        body = '<form name="news">\n' + "\n".join(items) + f"\n{filler}\n{end}\n</form>"
        return gbk(page("软件新闻", body))
    if mode == "broken":
        head = '<!DOCTYPE html>\n<html><head><meta charset="gbk"><title>软件新闻\n<body>\n'
        body = "<div><table><tr><td><p>最新消息<span>\n"
        for n, item in enumerate(items, start=1):
            if n == BROKEN_CUT_AT:
                body += item[: len(item) // 2]
                break
            body += f"<li>{item}\n"
        return gbk(head + body)
    body = '<form name="news">\n' + "\n".join(items) + f"\n{end}\n</form>"
    if mode == "popups":
        body += "\n" + POPUP_SCRIPT
    return gbk(page("软件新闻", body))


def params_page(query):
    """The bytes of /AutoPrice.action: every query parameter, decoded as GBK."""
    pairs = decode_query(query)
    rows = "\n".join(
        f'<tr><td class="name">{html.escape(k)}</td><td class="value">{html.escape(v)}</td></tr>'
        for k, v in pairs)
    body = (f"<h1>装修报价</h1>\n<p>收到 {len(pairs)} 个参数</p>\n"
            f'<table id="params">\n{rows}\n</table>\n'
            f'<pre id="query">{html.escape(query)}</pre>')
    return gbk(page("装修报价", body))


def decode_query(query):
    """The query's parameters, percent-decoded as code page 936.

    Raw non-ASCII bytes (latin-1 characters here) are percent-encoded first so
    that they are decoded the same way as escaped ones."""
    quoted = re.sub(r"[^\x00-\x7f]", lambda m: "%%%02X" % ord(m.group()), query)
    return urllib.parse.parse_qsl(quoted, keep_blank_values=True,
                                  encoding="gbk", errors="replace")


def explain_page(host, mode):
    top = {"popups": POPUP_LINK + POPUP_SCRIPT, "schemes": SCHEME_PAGE_LINKS}.get(mode, "")
    body = top + f"""<h1>软件使用说明</h1>
<p>第一步：在左边选择您房屋所在的省份、城市和区县。</p>
<p>第二步：选择户型，填写客厅、卧室、厨房、卫生间等各个房间的面积，单位为平方米。</p>
<p>第三步：选择装修风格和档次，填写您的手机号码，然后点击“快速报价”。</p>
<p>报价页面会在您的浏览器中打开，列出各项费用的明细。</p>
<p><a id="more" href="/softload/explain2.html">更多说明</a>
 <a id="pictures" href="http://{host}/zxpic.htm" target="_blank">装修效果图</a></p>"""
    return gbk(page("软件使用说明", body))


def simple_page(title, text):
    return gbk(page(title, f"<h1>{html.escape(title)}</h1>\n<p>{html.escape(text)}</p>"))


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "StandIn/1.0"

    def log_message(self, fmt, *args):  # the JSON log says it all
        pass

    def do_GET(self):
        self.respond(body=True)

    def do_HEAD(self):
        self.respond(body=False)

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        if length > 0:
            self.rfile.read(min(length, 1 << 20))
        self.respond(body=True)

    def respond(self, body):
        state = self.server.state
        state.log(self.server.server_address[1], self.command, self.path)
        path, _, query = self.path.partition("?")
        host = self.headers.get("Host") or f"127.0.0.1:{self.server.server_address[1]}"
        status, content = 200, None

        if path == "/softnews.html":
            if state.news_delay > 0:
                time.sleep(state.news_delay)
            content = news_page(state.news_mode, host)
        elif m := re.fullmatch(r"/news/([0-9]{1,3})\.html", path):
            n = int(m.group(1))
            title = HEADLINES[n - 1] if 1 <= n <= len(HEADLINES) else f"新闻 {n}"
            content = simple_page(title, f"这是第 {n} 条新闻的正文。")
        elif path == "/":
            content = simple_page("装修报价网", "欢迎访问装修报价网。")
        elif path == "/zxpic.htm":
            content = simple_page("装修效果图", "客厅、卧室、厨房的装修效果图。")
        elif path == "/MemberPrice.htm":
            content = simple_page("会员价格", "会员可以查看详细的装修报价。")
        elif path == "/AutoPrice.action":
            content = params_page(query)
        elif path == "/softload/explain.html":
            content = explain_page(host, state.news_mode)
        elif m := re.fullmatch(r"/popup/([a-z0-9]{1,10})\.html", path):
            content = simple_page("新窗口", f"窗口 {m.group(1)}")
        elif path == "/softload/explain2.html":
            content = simple_page("软件使用说明（二）", "报价仅供参考，实际价格以现场测量为准。")
        elif path == "/msgrd":
            content = gbk(page("在线咨询", f'<pre id="query">{html.escape(query)}</pre>'))
        else:
            status, content = 404, simple_page("404", "页面不存在。")

        self.send_response(status)
        self.send_header("Content-Type", "text/html; charset=gbk")
        self.send_header("Content-Length", str(len(content)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        if body:
            try:
                self.wfile.write(content)
                self.wfile.flush()
            except (BrokenPipeError, ConnectionResetError):
                pass
        state.write({"port": self.server.server_address[1], "path": self.path, "answered": round(time.time(), 3)})


class State:
    def __init__(self, log_path, news_mode, news_delay):
        self.news_mode = news_mode
        self.news_delay = news_delay
        self._lock = threading.Lock()
        self._log = open(log_path, "a", encoding="utf-8")

    def log(self, port, method, path):
        self.write({"port": port, "method": method, "path": path, "time": round(time.time(), 3)})

    def write(self, entry):
        line = json.dumps(entry, ensure_ascii=False)
        with self._lock:
            self._log.write(line + "\n")
            self._log.flush()

    def close(self):
        with self._lock:
            self._log.close()


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main(argv=None):
    parser = argparse.ArgumentParser(description="stand-in for the service, on 127.0.0.1")
    parser.add_argument("--site-port", type=int, required=True)
    parser.add_argument("--software-port", type=int, required=True)
    parser.add_argument("--chat-port", type=int, required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--news-delay", type=float, default=0.0)
    parser.add_argument("--news-mode", choices=NEWS_MODES, default="normal")
    parser.add_argument("--ready-file")
    args = parser.parse_args(argv)
    parent = os.getppid()

    state = State(args.log, args.news_mode, max(0.0, args.news_delay))
    servers = []
    try:
        for port in dict.fromkeys((args.site_port, args.software_port, args.chat_port)):
            server = Server(("127.0.0.1", port), Handler)
            server.state = state
            servers.append(server)
    except OSError as e:
        print(f"standin: cannot listen on 127.0.0.1:{port}: {e}", file=sys.stderr)
        for server in servers:
            server.server_close()
        return 2

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    threads = [threading.Thread(target=s.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
               for s in servers]
    for t in threads:
        t.start()

    if args.ready_file:
        tmp = args.ready_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(f"{os.getpid()}\n")
        os.replace(tmp, args.ready_file)

    while not stop.wait(0.5):
        if os.getppid() != parent:
            break

    for server in servers:
        server.shutdown()
        server.server_close()
    state.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
