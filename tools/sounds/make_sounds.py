#!/usr/bin/env python3
"""Synthesises the program's short interface sounds and writes them as Ogg
Vorbis files (press, record_start, record_stop, tick, chime, message).

    make_sounds.py OUT_DIR
    make_sounds.py --check DIR   fails unless DIR holds exactly a fresh run's files

Only the standard library and Debian's vorbis-tools (oggenc, oggdec) are
used. Everything is computed from the recipes below, and oggenc gets a fixed
stream serial number, so two runs write the same bytes.

Every sound is quiet by design: after Vorbis decoding (which can overshoot the
encoded waveform a little) no sample goes above PEAK_LIMIT_DBFS. Every sound
starts and ends at zero through its envelope, so none clicks."""

import math
import os
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 44100
# The loudest a decoded sample may be, in dB below full scale.
PEAK_LIMIT_DBFS = -14.0
# Where the synthesised waveform's peak is put, leaving room for the codec's
# overshoot; a sound whose decoded peak still passes the limit is turned down
# by the excess and encoded again.
TARGET_PEAK_DBFS = -16.0
QUALITY = "4"
SERIAL = "1804"


def db_to_gain(db):
    return 10.0 ** (db / 20.0)


def envelope(t, attack, decay, length):
    """A raised-cosine attack, an exponential decay with time constant
    `decay`, and a raised-cosine fade over the last 15 ms so that the sound
    ends at exactly zero."""
    if t < 0 or t >= length:
        return 0.0
    rise = 0.5 - 0.5 * math.cos(math.pi * t / attack) if t < attack else 1.0
    fall_len = min(0.015, length / 3)
    tail = length - t
    fall = 0.5 - 0.5 * math.cos(math.pi * tail / fall_len) if tail < fall_len else 1.0
    return rise * fall * math.exp(-max(0.0, t - attack) / decay)


def bell(freq, start, length, attack=0.004, decay=0.18, partials=((1.0, 1.0), (2.0, 0.25), (3.0, 0.08))):
    """A soft struck note: a few harmonic partials, the higher ones dying
    faster, under one envelope. Returns a function of time."""
    def voice(t):
        u = t - start
        if u < 0 or u >= length:
            return 0.0
        s = 0.0
        for ratio, level in partials:
            s += level * math.exp(-u * (ratio - 1.0) * 6.0) * math.sin(2 * math.pi * freq * ratio * u)
        return s * envelope(u, attack, decay, length)
    return voice


def pop(start_freq, end_freq, length, decay):
    """A short round 'pop': a sine gliding down in pitch, quickly damped."""
    def voice(t):
        if t < 0 or t >= length:
            return 0.0
        # The phase of an exponential glide from start_freq to end_freq.
        k = math.log(end_freq / start_freq) / length
        phase = 2 * math.pi * start_freq * (math.exp(k * t) - 1) / k
        return math.sin(phase) * envelope(t, 0.006, decay, length)
    return voice


C5, E5, G5, A5, C6, E6 = 523.25, 659.26, 783.99, 880.0, 1046.5, 1318.5

# name: (length in seconds, voices summed, level relative to the others in dB).
# The tick sounds every second of a hold, so it is the softest; the chime
# rewards, so it rings longest.
SOUNDS = {
    "press": (0.09, [pop(900, 600, 0.09, 0.025)], 0.0),
    "record_start": (0.34, [bell(C5, 0.0, 0.16, decay=0.08), bell(G5, 0.13, 0.21, decay=0.09)], 0.0),
    "record_stop": (0.34, [bell(G5, 0.0, 0.16, decay=0.08), bell(C5, 0.13, 0.21, decay=0.09)], 0.0),
    "tick": (0.05, [pop(1500, 1100, 0.05, 0.010)], -5.0),
    "chime": (1.0, [bell(C5, 0.00, 0.9, decay=0.30), bell(E5, 0.09, 0.81, decay=0.30),
                    bell(G5, 0.18, 0.72, decay=0.28), bell(C6, 0.27, 0.73, decay=0.25)], 0.0),
    "message": (0.45, [bell(E5, 0.0, 0.45, attack=0.02, decay=0.16, partials=((1.0, 1.0), (2.0, 0.12))),
                       bell(A5, 0.0, 0.45, attack=0.02, decay=0.14, partials=((1.0, 0.5),))], -2.0),
}


# Silence before every sound: the codec spreads a sharp start over a few
# milliseconds before it, and this keeps that spread from beginning the file
# with a step.
LEAD_IN = 0.006


def render(length, voices):
    lead = int(round(LEAD_IN * RATE))
    n = int(round(length * RATE))
    return [0.0] * lead + [sum(v(i / RATE) for v in voices) for i in range(n)]


def write_wav(path, samples, gain):
    frames = bytearray()
    for s in samples:
        v = int(round(s * gain * 32767))
        frames += struct.pack("<h", max(-32767, min(32767, v)))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


def decoded_peak_dbfs(ogg_path, scratch):
    raw = os.path.join(scratch, "decoded.raw")
    subprocess.run(["oggdec", "--quiet", "--raw", "--bits=16", "--endianness=0", "--sign=1",
                    "-o", raw, ogg_path], check=True)
    with open(raw, "rb") as f:
        data = f.read()
    peak = max((abs(v) for (v,) in struct.iter_unpack("<h", data)), default=0)
    return 20 * math.log10(peak / 32768) if peak else -math.inf


def make(name, out_dir, scratch):
    length, voices, level_db = SOUNDS[name]
    samples = render(length, voices)
    peak = max(abs(s) for s in samples)
    gain = db_to_gain(TARGET_PEAK_DBFS + level_db) / peak
    wav = os.path.join(scratch, name + ".wav")
    ogg = os.path.join(out_dir, name + ".ogg")
    for _ in range(5):
        write_wav(wav, samples, gain)
        subprocess.run(["oggenc", "--quiet", "-q", QUALITY, "--serial", SERIAL, "-o", ogg, wav], check=True)
        decoded = decoded_peak_dbfs(ogg, scratch)
        if decoded <= PEAK_LIMIT_DBFS - 0.5:
            return decoded
        gain *= db_to_gain(PEAK_LIMIT_DBFS - 1.0 - decoded)
    sys.exit(f"make_sounds: {name} stays above {PEAK_LIMIT_DBFS} dBFS after decoding")


def write_all(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    with tempfile.TemporaryDirectory() as scratch:
        for name in SOUNDS:
            peak = make(name, out_dir, scratch)
            print(f"{name}.ogg: {SOUNDS[name][0]:.2f} s, decoded peak {peak:.1f} dBFS")


def check(committed):
    with tempfile.TemporaryDirectory() as fresh:
        write_all(fresh)
        stale = []
        for name in sorted(set(os.listdir(fresh)) | set(os.listdir(committed))):
            paths = [os.path.join(fresh, name), os.path.join(committed, name)]
            contents = [open(p, "rb").read() if os.path.exists(p) else None for p in paths]
            if contents[0] != contents[1]:
                stale.append(name)
    if stale:
        sys.exit(f"{committed}: {', '.join(stale)} differ from a fresh run: run `make sounds` and commit")
    print("1 passed, 0 failed")


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--check":
        check(sys.argv[2])
    elif len(sys.argv) == 2:
        write_all(sys.argv[1])
    else:
        sys.exit("usage: make_sounds.py OUT_DIR | --check DIR")


if __name__ == "__main__":
    main()
