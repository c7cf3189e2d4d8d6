"""A long session on the real program: random drags over the face, taps,
button presses and now and then a resized window, for a given time. The
program must stay up, close with status 0, and its resident memory must not
keep growing after the warm-up (memory_growth.py judges it: a one-time step
is not growth). A sanitized program (GRIMALOU_SANITIZED=1) holds freed memory back on purpose,
in the sanitizer's quarantine and in the collector's of checked builds, so
its memory is reported but not held to the limit.

Usage: soak.py GRIMALOU SEND_CLOSE SECONDS WARM_UP_SECONDS [SEED]"""

import os
import random
import sys
import time

import memory_growth
from e2e_support import Xvfb
from grimalou_driver import MENU, PLAY, RANDOM, RECORD, RESET, SYMMETRY, TONGUE, BUTTON_SIZE, Grimalou

# Where the parts of the face are: drags start near these and go anywhere.
PARTS = [(738, 370), (542, 370), (785, 264), (688, 264), (736, 264), (485, 264), (600, 264), (543, 264),
         (860, 480), (420, 480), (720, 490), (570, 490), (642, 495), (640, 525)]
BUTTONS = [MENU, PLAY, RANDOM, RECORD, RESET, SYMMETRY, TONGUE]
SIZES = [(800, 500), (1600, 900), (640, 640), (1000, 500), (1280, 1024), (500, 900)]


def random_action(rng, g, resize=True):
    roll = rng.random() if resize else rng.random() * 0.97
    if roll < 0.55:
        x, y = rng.choice(PARTS)
        x, y = x + rng.randint(-15, 15), y + rng.randint(-15, 15)
        g.drag(x, y, rng.randint(-120, 120), rng.randint(-80, 80), step=rng.choice([1, 4, 8, 16]))
        return "drag"
    if roll < 0.70:
        x, y = rng.choice(PARTS)
        g.click(x + rng.randint(-20, 20), y + rng.randint(-20, 20))
        return "tap"
    if roll < 0.97:
        corner = rng.choice(BUTTONS)
        g.click(corner[0] + rng.randint(1, BUTTON_SIZE - 1), corner[1] + rng.randint(1, BUTTON_SIZE - 1))
        return "button"
    # A while at another size, then back: memory is compared at one size,
    # since the window's own buffers grow with it.
    g.resize(*rng.choice(SIZES[1:]))
    for _ in range(3):
        random_action(rng, g, resize=False)
    g.resize(*SIZES[0])
    return "resize"


def main(grimalou, send_close, seconds, warm_up, seed=None):
    seconds, warm_up = float(seconds), float(warm_up)
    seed = int(seed) if seed is not None else random.randrange(1 << 30)
    print("seed", seed)
    rng = random.Random(seed)
    x = Xvfb()
    # glibc raises its mmap threshold to the size of each large block freed,
    # so a window buffer freed after a resize is later served from the heap
    # and its pages stay resident behind other blocks: megabytes that look
    # like growth but are never lost. A fixed threshold returns such blocks
    # to the system and leaves what the program really holds.
    x.env["MALLOC_MMAP_THRESHOLD_"] = str(128 * 1024)
    g = None
    try:
        g = Grimalou(grimalou, x)
        start = time.time()
        g.choose(girl=rng.random() < 0.5)
        # The warm-up visits every window size once: the window's buffers
        # and the allocator's pools reach their high-water mark there, and
        # later visits reuse them.
        for size in SIZES[1:] + SIZES[:1]:
            g.resize(*size)
            random_action(rng, g, resize=False)
        counts = {}
        baseline = None
        # One sample after every action (at the window's first size): the
        # judge needs several in each span of the run.
        samples = []
        next_print = start
        while time.time() - start < seconds:
            action = random_action(rng, g)
            counts[action] = counts.get(action, 0) + 1
            g.assert_running()
            now = time.time()
            samples.append((now - start, g.rss_kib()))
            if now >= next_print:
                print("%6.1f s  VmRSS %d KiB" % samples[-1])
                next_print = now + 5
            if baseline is None and now - start >= warm_up:
                baseline = samples[-1]
        end = (time.time() - start, g.rss_kib())
        samples.append(end)
        print("%6.1f s  VmRSS %d KiB" % end)
        print("actions:", counts)
        assert baseline is not None, "the soak ended before its warm-up"
        growth = end[1] - baseline[1]
        print("resident memory: %d KiB at %.0f s, %d KiB at %.0f s: %+d KiB" %
              (baseline[1], baseline[0], end[1], end[0], growth))
        status = g.close(send_close)
        assert status == 0, (status, g.log.snapshot()[-10:], g.log.errors[-10:])
        assert not g.log.snapshot(), g.log.snapshot()[-10:]
        passed, verdict = memory_growth.judge(samples, warm_up)
        print("resident memory after the warm-up:", verdict)
        if os.environ.get("GRIMALOU_SANITIZED") != "1":
            assert passed, "resident memory keeps growing: " + verdict
        print("soak: all checks passed")
        return 0
    finally:
        if g:
            g.stop()
        x.stop()


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:6]))
