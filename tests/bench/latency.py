#!/usr/bin/python3
"""Latency benchmark of the real program on the end-to-end harness, medians
over at least 20 repetitions, clicks and pixel reads made over the harness's
own X connection, so the figures hold no tool's start-up:

  press    a click on 快速报价 until a stand-in xdg-open gets the address;
  news     the tick (the loading overlay's going) until the first news line
           shows its headline, one start a repetition (the snapshot's own
           round trip: tests/bench/news_snapshot 10);
  使用说明  a click on the tab until the instructions window is mapped, the
           first time (the window made) apart from the later ones.

    tests/bench/latency.py BUILD_DIR [--reps N]
"""
import argparse
import os
import statistics
import sys
import time
from pathlib import Path

parser = argparse.ArgumentParser()
parser.add_argument("build")
parser.add_argument("--reps", type=int, default=20)
args = parser.parse_args()
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import buildcache  # noqa: E402

buildcache.apply(args.build)   # the build's program, ports and support number

import harness  # noqa: E402
from layout import BEIJING_PICKS, IMAGE5, INSTRUCTIONS_TAB1, NEWS_RECT, TAB5, TEXT8  # noqa: E402

POLL = 0.001
TIMEOUT = 20.0

LAUNCHER = """#!/bin/sh
printf '%s\\n' "$1" >>"$TOVAKIDOVIV_LAUNCH_LOG"
"""


def click(x11, window, at):
    """Clicks and returns when the click was made."""
    x11.move(window, *at)
    x11.button()
    return time.monotonic()


def poll(predicate, what):
    """When predicate first holds, polled every millisecond."""
    harness.wait_until(predicate, TIMEOUT, interval=POLL, message=what)
    return time.monotonic()


def ms(values):
    return f"median {statistics.median(values) * 1000:7.1f} ms  (min {min(values) * 1000:.1f}, " \
           f"max {max(values) * 1000:.1f}, n={len(values)})"


def bench_press_and_tabs(session, reps, launch_log):
    s = session
    main = s.start_main(extra_env={"PATH": f"{launch_log.parent}:{os.environ['PATH']}",
                                   "TOVAKIDOVIV_LAUNCH_LOG": str(launch_log)})
    s.focus(main)
    s.pick(main, *BEIJING_PICKS)

    presses = []
    for n in range(1, reps + 1):
        s.type_into(main, TEXT8, f"139{n:08d}", delay_ms=10)
        time.sleep(0.2)
        before = len(harness.complete_lines(launch_log))
        clicked = click(s.x11, main, IMAGE5)
        done = poll(lambda: len(harness.complete_lines(launch_log)) > before, f"launch {n}")
        presses.append(done - clicked)
        time.sleep(0.3)

    first, later, instructions = None, [], None
    for n in range(reps + 1):
        clicked = click(s.x11, main, TAB5)
        if instructions is None:
            instructions = harness.wait_until(lambda: [w for w in s.x11.named(harness.MAIN_CAPTION, True)
                                                       if w != main], TIMEOUT, interval=POLL)[0]
            # The search itself takes a while; the window's own map time is
            # not known here, so the first figure is an upper bound.
            first = time.monotonic() - clicked
        else:
            later.append(poll(lambda: s.x11.viewable(instructions), "the instructions window") - clicked)
        time.sleep(0.5)
        click(s.x11, instructions, INSTRUCTIONS_TAB1)
        poll(lambda: s.x11.viewable(main) and not s.x11.viewable(instructions), "the main window")
        time.sleep(0.5)
    return presses, first, later


def bench_news(session, reps):
    """The first news line is watched from the tick on; it shows its design
    caption until the news is read, so the time filled is that of the first
    picture of it equal to the one it keeps."""
    s = session
    ticks = []
    for n in range(reps):
        main = s.start_main(ready=False)
        tick = poll(lambda: s.overlay_gone(main), "the tick")
        frames = []
        deadline = tick + 5.0
        while time.monotonic() < deadline:
            frames.append((time.monotonic(), list(s.x11.image(main, NEWS_RECT[0]).getdata())))
            time.sleep(POLL)
        final = frames[-1][1]
        if all(sum(p) > 600 for p in final):
            raise SystemExit("the first news line stayed blank")
        filled = next(at for at, picture in frames if picture == final)
        ticks.append(filled - tick)
    s.stop_app()
    return ticks


def main():
    reps = max(20, args.reps)
    session = harness.Session("latency")
    try:
        session.start_display()
        session.start_standin()
        launcher = session.tmp / "bin" / "xdg-open"
        launcher.parent.mkdir()
        launcher.write_text(LAUNCHER)
        launcher.chmod(0o755)
        presses, first, later = bench_press_and_tabs(session, reps, launcher.parent / "launches")
        news = bench_news(session, reps)
    finally:
        session.close()
    print(f"press to launcher:          {ms(presses)}")
    print(f"tick to news lines filled:  {ms(news)}  (from the overlay's going)")
    print(f"使用说明 to window shown:     {ms(later)}; the first time, window made: "
          f"at most {first * 1000:.0f} ms")


if __name__ == "__main__":
    main()
