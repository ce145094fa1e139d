#!/usr/bin/python3
"""Start-up benchmark: the program beside two yardsticks, under a private Xvfb.

Each run measures the time until the window is mapped, until the loading
page's green is painted (by the overlay itself, before the web engine runs),
until the engine has drawn loading.html (the only pure white on the overlay),
and the peak PSS and USS of the whole process tree. The program runs against
the stand-in service and has its 使用说明 tab clicked once after the loading
phase, so that it holds all three of its pages at some time. Prints medians
and ratios.

    tests/bench/startup.py BUILD_DIR [--runs N] [--compare LABEL=OTHER_BUILD_DIR ...]
"""
import argparse
import os
import shutil
import statistics
import sys
import time
from pathlib import Path

parser = argparse.ArgumentParser()
parser.add_argument("build")
parser.add_argument("--runs", type=int, default=9)
parser.add_argument("--compare", action="append", default=[], metavar="LABEL=BUILD_DIR",
                    help="another build of the program, measured in the same run")
args = parser.parse_args()
BUILD = Path(args.build).resolve()
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import buildcache  # noqa: E402

# The stand-in listens where the build was told the service is; the caption holds its support number.
buildcache.apply(BUILD)

import harness  # noqa: E402
import layout  # noqa: E402
from test_shell import loading_colour  # noqa: E402

LOADING_GREEN = loading_colour()


def page_drawn(x11, window):
    """Whether loading.html's own drawing shows: a pure white pixel in the
    middle of the window, where its card sits, on the page's green (a web view
    without a page yet is white all over)."""
    if not harness.near(x11.pixel(window, 250, 170), LOADING_GREEN, 60):
        return False
    image = x11.image(window, (240, 160, 320, 260))
    return image is not None and (255, 255, 255) in {c for _, c in image.getcolors(320 * 260)}


def measure(x11, command, cwd, env, title, wants_page, click_at=None, settle=9.0):
    """click_at: (seconds, x, y), a click made that long after the start."""
    started = time.monotonic()
    proc = harness.Group("subject", command, cwd, cwd=cwd, env=env)
    mapped = painted = drawn = window = None
    peak_pss = peak_uss = 0
    next_memory = started
    while time.monotonic() < started + 30:
        now = time.monotonic()
        if window is None:
            window = next(iter(x11.named(title, True)), None)
            if window is not None:
                mapped = now - started
        elif wants_page:
            if painted is None and harness.near(x11.pixel(window, 400, 300), LOADING_GREEN, 40):
                painted = now - started
            if drawn is None and page_drawn(x11, window):
                drawn = now - started
        if click_at and window is not None and now - started > click_at[0]:
            x11.move(window, *click_at[1:])
            x11.button()
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
    proc.stop()
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
    for name in (name for name, _, _, wants_page, _ in subjects if wants_page):  # the spread behind each median
        print(f"{name} page ms, each run: " + " ".join(f"{r[2] * 1000:.0f}" if r[2] else "-" for r in results[name]))
    web, plain = rows.pop("minimal WebEngine window"), rows.pop("minimal Widgets window")
    for label, ours in rows.items():
        print(f"{label}:")
        print(f"  mapped: {ours[0] / web[0]:.2f}x the WebEngine window, {ours[0] / plain[0]:.2f}x the Widgets window")
        print(f"  loading colour painted: {ours[1] / web[2]:.2f}x the WebEngine window's page")
        print(f"  loading.html drawn by the engine: {ours[2] / web[2]:.2f}x the WebEngine window's page")
        print(f"  peak memory with its three pages: PSS {ours[3] / web[3]:.2f}x the WebEngine window, "
              f"{ours[3] / plain[3]:.2f}x the Widgets window; USS {ours[4] / web[4]:.2f}x the WebEngine window, "
              f"{ours[4] / plain[4]:.2f}x the Widgets window")


if __name__ == "__main__":
    main()
