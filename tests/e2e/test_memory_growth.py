"""The soak's judge of resident memory, on made-up runs."""

import random
import unittest

from memory_growth import judge


def run(seconds=60, every=1.0, kib=150000, leak_per_second=0.0, steps=(), grain=132, noise=0, seed=1):
    """Samples of a run: a base, a leak that shows in heap-sized grains,
    one-time steps (at second, KiB) and page-sized noise."""
    rng = random.Random(seed)
    samples, t = [], 0.0
    while t <= seconds:
        leaked = int(leak_per_second * t // grain) * grain
        stepped = sum(size for at, size in steps if t >= at)
        samples.append((t, kib + leaked + stepped + 4 * rng.randint(-noise, noise)))
        t += every
    return samples


class Judge(unittest.TestCase):
    def test_a_steady_leak_fails(self):
        for leak in (20, 8):
            ok, text = judge(run(leak_per_second=leak), warm_up=15)
            self.assertFalse(ok, text)

    def test_a_single_step_then_flat_passes(self):
        # The step anywhere after the warm-up, even in the middle of a span.
        for at in (16, 30, 37.5, 59):
            ok, text = judge(run(steps=[(at, 2048)], noise=2), warm_up=15)
            self.assertTrue(ok, (at, text))

    def test_flat_and_noisy_passes(self):
        ok, text = judge(run(noise=30, every=5), warm_up=15)
        self.assertTrue(ok, text)

    def test_a_leak_beside_a_step_still_fails(self):
        ok, text = judge(run(leak_per_second=20, steps=[(30, 2048)]), warm_up=15)
        self.assertFalse(ok, text)

    def test_too_few_samples_is_no_verdict_of_success(self):
        self.assertFalse(judge([(0, 100), (10, 100)], warm_up=15)[0])


if __name__ == "__main__":
    unittest.main()
