#!/usr/bin/python3
"""Start-up benchmark: the program beside two yardsticks, under a private Xvfb.

For each run it measures the time from start to the window being mapped, the
time until the loading page's colours are painted (the overlay's pixel turns
the page's green, which our overlay paints itself before the web engine runs),
the time until the web engine has drawn loading.html itself (its spinner, text
and sparkles are the only pure white on the overlay), and the peak
proportional set size of the whole process tree (the program and its
web-engine helper processes). Prints medians and ratios.

    tests/bench/startup.py BUILD_DIR [--runs N]
"""
import argparse
import os
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

LOADING_GREEN = (0x23, 0x90, 0x4F)


def tree_pss_kib(root):
    return harness.tree_memory_kib(root, ("Pss",))[0]


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


def measure(command, cwd, env, title, wants_page, settle=6.0):
    dpy = xdisplay.Display(env["DISPLAY"])
    started = time.monotonic()
    proc = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    mapped = painted = drawn = None
    peak = 0
    window = None
    deadline = started + 30
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
        peak = max(peak, tree_pss_kib(proc.pid))
        done = window is not None and (drawn is not None or not wants_page)
        if done and now - started > settle:
            break
        time.sleep(0.005 if not done else 0.1)
    os.killpg(proc.pid, signal.SIGTERM)
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
    dpy.close()
    return mapped, painted, drawn, peak / 1024


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else float("nan")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    source = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

    session = harness.Session("startup-bench")
    disp = session.start_display()
    work = tempfile.mkdtemp()
    shutil.copy(os.path.join(source, "data", "city.txt"), work)
    env = dict(os.environ, DISPLAY=disp, LANG="C.UTF-8", BROWSER="true")
    caption = harness.MAIN_CAPTION
    subjects = [
        ("tovakidoviv", [os.path.join(build, "tovakidoviv")], caption, True),
        ("minimal WebEngine window", [os.path.join(build, "tests", "bench", "minimal_webengine"),
                                      os.path.join(build, "loading.html")], "minimal-webengine", True),
        ("minimal Widgets window", [os.path.join(build, "tests", "bench", "minimal_widgets")],
         "minimal-widgets", False),
    ]
    results = {name: [] for name, *_ in subjects}
    try:
        for _ in range(args.runs):
            for name, command, title, wants_page in subjects:  # interleaved, so drift hits all alike
                results[name].append(measure(command, work, env, title, wants_page))
    finally:
        session.close()
        shutil.rmtree(work, ignore_errors=True)

    rows = {}
    print(f"{'subject':28} {'mapped ms':>10} {'colours ms':>11} {'page ms':>10} {'peak PSS MiB':>13}"
          f"   (medians of {args.runs})")
    for name in results:
        mapped, painted, drawn = (median(r[i] for r in results[name]) * 1000 for i in range(3))
        memory = median(r[3] for r in results[name])
        rows[name] = (mapped, painted, drawn, memory)
        print(f"{name:28} {mapped:10.0f} {painted:11.0f} {drawn:10.0f} {memory:13.0f}")
    ours, web, plain = rows["tovakidoviv"], rows["minimal WebEngine window"], rows["minimal Widgets window"]
    print(f"mapped: {ours[0] / web[0]:.2f}x the WebEngine window, {ours[0] / plain[0]:.2f}x the Widgets window")
    print(f"loading colours painted: {ours[1] / web[2]:.2f}x the WebEngine window's page")
    print(f"loading.html drawn by the engine: {ours[2] / web[2]:.2f}x the WebEngine window's page")
    print(f"memory: {ours[3] / web[3]:.2f}x the WebEngine window")


if __name__ == "__main__":
    main()
