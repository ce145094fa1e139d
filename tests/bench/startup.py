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

    tests/bench/startup.py BUILD_DIR [--runs N] [--compare LABEL=OTHER_BUILD_DIR ...]
"""
import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import time
from pathlib import Path

from Xlib import X

parser = argparse.ArgumentParser()
parser.add_argument("build")
parser.add_argument("--runs", type=int, default=9)
parser.add_argument("--compare", action="append", default=[], metavar="LABEL=BUILD_DIR",
                    help="another build of the program, measured in the same run")
args = parser.parse_args()
BUILD = Path(args.build).resolve()
# The stand-in listens where the build was told the service is.
for line in (BUILD / "CMakeCache.txt").read_text().splitlines():
    for which in ("SITE", "SOFTWARE", "CHAT"):
        if line.startswith(f"TOVAKIDOVIV_{which}_HOST:"):
            os.environ[f"TOVAKIDOVIV_{which}_PORT"] = line.rsplit(":", 1)[1]
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

import harness  # noqa: E402
import layout  # noqa: E402

from test_shell import loading_colour  # noqa: E402

LOADING_GREEN = loading_colour()


def find_window(x11, title):
    """The viewable top-level window captioned title, or None."""
    for w in x11.dpy.screen().root.query_tree().children:
        try:
            prop = w.get_full_property(x11.dpy.intern_atom("_NET_WM_NAME"), 0)
            value = prop.value if prop is not None else b""
            name = value.decode("utf-8", "replace") if isinstance(value, bytes) else str(value)
            if name == title and w.get_attributes().map_state == X.IsViewable:
                return w.id
        except Exception:   # a window gone meanwhile
            continue
    return None


def pixel(x11, window, x, y):
    image = x11.image(window, (x, y, 1, 1))
    return None if image is None else image.getpixel((0, 0))


def page_drawn(x11, window):
    """Whether loading.html's own drawing shows: a pure white pixel in the
    middle of the window, where its card sits, on the page's green (a web view
    without a page yet is white all over)."""
    if not near(pixel(x11, window, 250, 170), LOADING_GREEN, 60):
        return False
    image = x11.image(window, (240, 160, 320, 260))
    return image is not None and (255, 255, 255) in {c for _, c in image.getcolors(320 * 260)}


def near(colour, target, tolerance=40):
    return colour is not None and all(abs(a - b) <= tolerance for a, b in zip(colour, target))


def measure(x11, command, cwd, env, title, wants_page, click_at=None, settle=9.0):
    """click_at: (seconds, x, y), a click made that long after the start."""
    started = time.monotonic()
    proc = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    mapped = painted = drawn = window = None
    peak_pss = peak_uss = 0
    next_memory = started
    while time.monotonic() < started + 30:
        now = time.monotonic()
        if window is None:
            window = find_window(x11, title)
            if window is not None:
                mapped = now - started
        elif wants_page:
            if painted is None and near(pixel(x11, window, 400, 300), LOADING_GREEN):
                painted = now - started
            if drawn is None and page_drawn(x11, window):
                drawn = now - started
        if click_at and window is not None and now - started > click_at[0]:
            subprocess.run(["xdotool", "mousemove", "--window", str(window), str(click_at[1]), str(click_at[2]),
                            "click", "1"], env=env, timeout=10)
            click_at = None
        if now >= next_memory:  # not at every pixel read: reading it slows the processes read
            uss, pss, _ = harness.tree_memory_kib(proc.pid)
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
    return mapped, painted, drawn, peak_pss / 1024, peak_uss / 1024


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else float("nan")


def main():
    session = harness.Session("startup-bench")
    session.start_display()
    session.start_standin()
    work = session.tmp / "bench"
    work.mkdir()
    shutil.copy(harness.REAL_CITY, work / "city.txt")
    env = dict(os.environ, DISPLAY=session.display, LANG="C.UTF-8", BROWSER="true")
    subjects = [
        # The 使用说明 tab, clicked once the loading phase is over.
        ("tovakidoviv", [BUILD / "tovakidoviv"], harness.MAIN_CAPTION, True, (3.0, *layout.TAB5)),
        *((label, [Path(other).resolve() / "tovakidoviv"], harness.MAIN_CAPTION, True, (3.0, *layout.TAB5))
          for label, _, other in (c.partition("=") for c in args.compare)),
        ("minimal WebEngine window", [BUILD / "tests" / "bench" / "minimal_webengine", BUILD / "loading.html"],
         "minimal-webengine", True, None),
        ("minimal Widgets window", [BUILD / "tests" / "bench" / "minimal_widgets"], "minimal-widgets", False, None),
    ]
    results = {name: [] for name, *_ in subjects}
    try:
        for _ in range(args.runs):
            for name, command, title, wants_page, click_at in subjects:  # interleaved, so drift hits all alike
                results[name].append(measure(session.x11, command, work, env, title, wants_page, click_at))
    finally:
        session.close()

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
