#!/usr/bin/python3
"""Start-up benchmark: the program beside two yardsticks, under a private Xvfb.

For each run it measures the time from start to the window being mapped, the
time until the loading page's colours are painted (the overlay's pixel turns
the page's green, which our overlay paints itself before the web engine runs),
the time until the web engine has drawn loading.html itself (its spinner, text
and sparkles are the only pure white on the overlay), and the peak memory of
the whole process tree (the program and its web-engine helper processes) as
proportional set size (PSS) and as unique set size (USS, the private pages).
The program runs against the stand-in service on the build's ports and has
its 使用说明 tab clicked once after the loading phase, so that it holds all
three of its pages at some time; the memory is the peak over that run. Prints
medians and ratios.

    tests/bench/startup.py BUILD_DIR [--runs N]
"""
import argparse
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "e2e"))
import harness  # noqa: E402
import layout  # noqa: E402

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def loading_colour():
    """body's background-color in assets/loading.html, as (r, g, b): the colour
    the program paints before the engine has drawn that page."""
    with open(os.path.join(SOURCE, "assets", "loading.html"), encoding="utf-8") as f:
        m = re.search(r"(?:^|[\s,}])body\s*\{[^}]*?[\s;{]background-color:\s*#([0-9a-fA-F]{6})\s*[;}]", f.read())
    if not m:
        sys.exit("assets/loading.html gives body no background-color #rrggbb")
    return tuple(int(m.group(1)[i:i + 2], 16) for i in (0, 2, 4))


LOADING_GREEN = loading_colour()


def tree_memory_kib(root):
    """(PSS, USS) of the process tree in KiB."""
    return (harness.tree_memory_kib(root, ("Pss",))[0],
            harness.tree_memory_kib(root, ("Private_Clean", "Private_Dirty"))[0])


def window_title(dpy, window):
    prop = window.get_full_property(dpy.intern_atom("_NET_WM_NAME"), dpy.intern_atom("UTF8_STRING"))
    if prop is not None:
        value = prop.value
        return value.decode("utf-8", "replace") if isinstance(value, bytes) else str(value)
    return window.get_wm_name()


def find_window(dpy, title):
    todo = [dpy.screen().root]
    while todo:
        w = todo.pop()
        try:
            name = window_title(dpy, w)
            attrs = w.get_attributes()
        except Exception:
            continue
        if name == title and attrs.map_state == X.IsViewable:
            return w
        try:
            todo.extend(w.query_tree().children)
        except Exception:
            continue
    return None


def pixel(dpy, window, x, y):
    try:
        image = window.get_image(x, y, 1, 1, X.ZPixmap, 0xFFFFFFFF)
    except Exception:
        return None
    b, g, r = image.data[0], image.data[1], image.data[2]
    return r, g, b


def page_drawn(dpy, window):
    """Whether loading.html's own drawing shows: a pure white pixel in the
    middle of the window, where its card sits, on the page's green (a web view
    without a page yet is white all over)."""
    if not near(pixel(dpy, window, 250, 170), LOADING_GREEN, 60):
        return False
    try:
        data = window.get_image(240, 160, 320, 260, X.ZPixmap, 0xFFFFFFFF).data
    except Exception:
        return False
    at = data.find(b"\xff\xff\xff")
    while at != -1:
        if at % 4 == 0:
            return True
        at = data.find(b"\xff\xff\xff", at + 1)
    return False


def near(colour, target, tolerance=40):
    return colour is not None and all(abs(a - b) <= tolerance for a, b in zip(colour, target))


def click(env, window, x, y):
    subprocess.run(["xdotool", "mousemove", "--window", str(window.id), str(x), str(y), "click", "1"],
                   env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)


def measure(command, cwd, env, title, wants_page, click_at=None, settle=9.0):
    """click_at: (seconds, x, y), a click made that long after the start."""
    dpy = xdisplay.Display(env["DISPLAY"])
    started = time.monotonic()
    proc = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    mapped = painted = drawn = None
    peak_pss = peak_uss = 0
    window = None
    deadline = started + 30
    next_memory = started
    while time.monotonic() < deadline:
        now = time.monotonic()
        if window is None:
            window = find_window(dpy, title)
            if window is not None:
                mapped = now - started
        elif wants_page:
            if painted is None and near(pixel(dpy, window, 400, 300), LOADING_GREEN):
                painted = now - started
            if drawn is None and page_drawn(dpy, window):
                drawn = now - started
        if click_at and window is not None and now - started > click_at[0]:
            click(env, window, click_at[1], click_at[2])
            click_at = None
        if now >= next_memory:  # not at every pixel read: reading it slows the processes read
            pss, uss = tree_memory_kib(proc.pid)
            peak_pss, peak_uss = max(peak_pss, pss), max(peak_uss, uss)
            next_memory = now + 0.05
        done = window is not None and (drawn is not None or not wants_page)
        # The program's overlay goes at its timer's tick, drawn or not.
        if window is not None and now - started > settle:
            break
        time.sleep(0.005 if not done else 0.05)
    os.killpg(proc.pid, signal.SIGTERM)
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
    dpy.close()
    return mapped, painted, drawn, peak_pss / 1024, peak_uss / 1024


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else float("nan")


def service_ports(build):
    """The stand-in's ports from the hosts the build was configured with."""
    ports = {}
    with open(os.path.join(build, "CMakeCache.txt")) as f:
        for line in f:
            for which in ("SITE", "SOFTWARE", "CHAT"):
                if line.startswith(f"TOVAKIDOVIV_{which}_HOST:"):
                    ports[which.lower()] = line.strip().rsplit(":", 1)[1]
    return ports


def start_standin(source, build, work):
    ports = service_ports(build)
    if len(ports) != 3:
        sys.exit("the build names no service hosts")
    ready = os.path.join(work, "standin.ready")
    proc = subprocess.Popen([sys.executable, os.path.join(source, "tools", "standin.py"),
                             "--site-port", ports["site"], "--software-port", ports["software"],
                             "--chat-port", ports["chat"], "--log", os.path.join(work, "standin.log"),
                             "--ready-file", ready], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    while not os.path.exists(ready):
        if time.monotonic() > deadline or proc.poll() is not None:
            proc.kill()
            sys.exit("the stand-in service did not start")
        time.sleep(0.05)
    return proc


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--compare", action="append", default=[], metavar="LABEL=BUILD_DIR",
                        help="another build of the program, measured in the same run")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    source = SOURCE

    session = harness.Session("startup-bench")
    disp = session.start_display()
    work = tempfile.mkdtemp()
    shutil.copy(os.path.join(source, "data", "city.txt"), work)
    standin = start_standin(source, build, work)
    env = dict(os.environ, DISPLAY=disp, LANG="C.UTF-8", BROWSER="true")
    caption = harness.MAIN_CAPTION
    subjects = [
        # The 使用说明 tab, clicked once the loading phase is over.
        ("tovakidoviv", [os.path.join(build, "tovakidoviv")], caption, True, (3.0, *layout.TAB5)),
        *((label, [os.path.join(os.path.abspath(other), "tovakidoviv")], caption, True, (3.0, *layout.TAB5))
          for label, _, other in (c.partition("=") for c in args.compare)),
        ("minimal WebEngine window", [os.path.join(build, "tests", "bench", "minimal_webengine"),
                                      os.path.join(build, "loading.html")], "minimal-webengine", True, None),
        ("minimal Widgets window", [os.path.join(build, "tests", "bench", "minimal_widgets")],
         "minimal-widgets", False, None),
    ]
    results = {name: [] for name, *_ in subjects}
    try:
        for _ in range(args.runs):
            for name, command, title, wants_page, click_at in subjects:  # interleaved, so drift hits all alike
                results[name].append(measure(command, work, env, title, wants_page, click_at))
    finally:
        standin.terminate()
        session.close()
        shutil.rmtree(work, ignore_errors=True)

    rows = {}
    print(f"{'subject':28} {'mapped ms':>10} {'colours ms':>11} {'page ms':>10} {'peak PSS MiB':>13}"
          f" {'peak USS MiB':>13}   (medians of {args.runs})")
    for name in results:
        mapped, painted, drawn = (median(r[i] for r in results[name]) * 1000 for i in range(3))
        pss, uss = (median(r[i] for r in results[name]) for i in (3, 4))
        rows[name] = (mapped, painted, drawn, pss, uss)
        print(f"{name:28} {mapped:10.0f} {painted:11.0f} {drawn:10.0f} {pss:13.0f} {uss:13.0f}")
    web, plain = rows["minimal WebEngine window"], rows["minimal Widgets window"]
    for label in [name for name in rows if name not in ("minimal WebEngine window", "minimal Widgets window")]:
        report(label, rows[label], web, plain)


def report(label, ours, web, plain):
    print(f"{label}:")
    print(f"  mapped: {ours[0] / web[0]:.2f}x the WebEngine window, {ours[0] / plain[0]:.2f}x the Widgets window")
    print(f"  loading colour painted: {ours[1] / web[2]:.2f}x the WebEngine window's page")
    print(f"  loading.html drawn by the engine: {ours[2] / web[2]:.2f}x the WebEngine window's page")
    print(f"  peak memory with its three pages: PSS {ours[3] / web[3]:.2f}x the WebEngine window, "
          f"{ours[3] / plain[3]:.2f}x the Widgets window; USS {ours[4] / web[4]:.2f}x the WebEngine window, "
          f"{ours[4] / plain[4]:.2f}x the Widgets window")


if __name__ == "__main__":
    main()
