"""Judges a long run's resident memory: steady growth is a leak, a single
step that then stays flat is not.

Resident memory moves in steps even when nothing leaks: the driver and the
allocator grow their arenas once when some path first needs them, and a leak
itself shows as the heap's steps, 128 KiB or more at a time. So a run is cut
into spans of equal time after its warm-up and each span's growth is taken
alone: memory that keeps growing grows in most spans, a one-time step lands
in one. The run fails when the median span grows faster than the limit."""

# 5 KiB a second: 18 MiB an hour, well below anything a therapy session would
# notice, and far above what the program's own pools settle at once warm.
LIMIT_KIB_PER_SECOND = 5.0
SPANS = 4


def span_rates(samples, spans=SPANS):
    """The growth of each of `spans` equal spans of time, in KiB a second,
    from samples of (seconds, KiB) in time order."""
    t0, t1 = samples[0][0], samples[-1][0]
    width = (t1 - t0) / spans
    rates = []
    for i in range(spans):
        a, b = t0 + i * width, t0 + (i + 1) * width
        inside = [kib for t, kib in samples if a <= t <= b]
        # A span without two samples of its own takes the nearest on each side.
        first = inside[0] if len(inside) >= 2 else max((s for s in samples if s[0] <= a), default=samples[0])[1]
        last = inside[-1] if len(inside) >= 2 else min((s for s in samples if s[0] >= b), default=samples[-1])[1]
        rates.append((last - first) / width)
    return rates


def judge(samples, warm_up, limit=LIMIT_KIB_PER_SECOND):
    """(passed, explanation) for samples of (seconds since start, KiB)."""
    judged = [s for s in samples if s[0] >= warm_up]
    if len(judged) < 2 or judged[-1][0] - judged[0][0] <= 0:
        return False, "too few samples after the warm-up of %.0f s to judge" % warm_up
    rates = sorted(span_rates(judged))
    middle = len(rates) // 2
    median = (rates[middle] + rates[~middle]) / 2
    text = "growth per span: %s KiB/s; median %.1f KiB/s (limit %.1f)" % (
        ", ".join("%.1f" % r for r in span_rates(judged)), median, limit)
    return median <= limit, text
