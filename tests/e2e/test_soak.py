"""A long session in one run: switching windows and pressing 快速报价 with good
answers, many times over. Every press must reach the browser, and the memory
of the whole process tree must not keep growing: its anonymous memory (the
heaps and the allocators' maps), which a leak grows whatever else runs on the
machine; unique and proportional set sizes also move with the library pages
other programs map or let go of, and are printed beside it.
TOVAKIDOVIV_SOAK_COUNT: rounds (default 150; 1000 for a full soak)."""

import contextlib
import os
import statistics
import time

import psutil

import harness
from layout import BEIJING_PICKS, IMAGE5, TAB1, TAB5, TEXT8

COUNT = max(2, int(os.environ.get("TOVAKIDOVIV_SOAK_COUNT", "150")))
# The warm-up: memory is first taken once the first rounds have run, when the
# instructions page, the engine's caches and the allocator's pools have settled.
BASELINE_AFTER = 50 if COUNT > 50 else COUNT // 2
GROWTH_LIMIT = 0.05
ROUND_TIMEOUT = 30.0


def anonymous_kib(root):
    top = psutil.Process(root)
    total = 0
    for p in [top] + top.children(recursive=True):
        with contextlib.suppress(psutil.NoSuchProcess, psutil.AccessDenied):
            total += sum(m.anonymous for m in p.memory_maps())
    return total // 1024


class SoakTest(harness.E2ETestCase):

    def measure(self, label):
        """The tree's memory once the last launcher has gone: medians of five readings."""
        s = self.session
        time.sleep(1.0)
        readings = []
        for _ in range(5):
            readings.append((*harness.tree_memory_kib(s.app.pid), anonymous_kib(s.app.pid)))
            time.sleep(0.33)
        uss, pss, anonymous = (statistics.median(r[i] for r in readings) for i in (0, 1, 3))
        print(f"\n{label}: {anonymous / 1024:.1f} MiB anonymous, {uss / 1024:.1f} MiB USS, "
              f"{pss / 1024:.1f} MiB PSS over {max(r[2] for r in readings)} processes", flush=True)
        return anonymous

    def test_switching_and_pressing(self):
        s = self.session
        main = s.start_main()
        s.focus(main)
        # One region for the whole run: only the mobile number is emptied by a press.
        s.pick(main, *BEIJING_PICKS)

        started = time.monotonic()
        deadline = started + 60.0 + COUNT * ROUND_TIMEOUT
        baseline = instructions = None
        for n in range(1, COUNT + 1):
            self.assertLess(time.monotonic(), deadline, f"the run is too slow at round {n}")
            got = s.switch(main, TAB5)
            instructions = instructions or got
            self.assertEqual(got, instructions, f"round {n}: a new instructions window")
            self.assertEqual(s.switch(instructions, TAB1), main, f"round {n}: a new main window")

            phone = f"139{n:08d}"
            s.focus(main)
            s.type_into(main, TEXT8, phone, delay_ms=20)
            s.click(main, *IMAGE5)
            calls = s.wait_launches(n, ROUND_TIMEOUT)
            self.assertEqual(len(calls), n, f"round {n}: {calls[-3:]}")
            query = dict(harness.decode_query(calls[-1]))
            self.assertEqual(query["pho"], phone, f"round {n}")
            self.assertEqual(query["cit3"], "110101|东城区")
            self.assertEqual(s.message_boxes(), [], f"round {n}: a message box")
            if n == BASELINE_AFTER:
                baseline = self.measure(f"after {n} rounds")
        elapsed = time.monotonic() - started
        final = self.measure(f"after {COUNT} rounds")
        growth = (final - baseline) / baseline
        print(f"{COUNT} rounds in {elapsed:.0f} s; anonymous memory {growth:+.1%} from round {BASELINE_AFTER} "
              f"to round {COUNT}", flush=True)

        # Still answering: the home link, and the tab bar both ways.
        self.assert_answering(main)
        self.assertEqual(s.switch(main, TAB5), instructions)
        self.assertEqual(s.switch(instructions, TAB1), main)
        self.assertTrue(s.app.running())
        self.assertLessEqual(growth, GROWTH_LIMIT,
                             f"anonymous memory went from {baseline / 1024:.1f} to {final / 1024:.1f} MiB")
