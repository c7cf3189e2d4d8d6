"""The interface's sounds on the real executable, heard through OpenAL
Soft's wave output writing to a file: a button press and a hold's countdown
leave sound in it; with the sound turned off by its key, nothing does.

Usage: test_sounds.py GRIMALOU SEND_CLOSE OUTPUT_FOLDER"""

import os
import shutil
import struct
import sys
import tempfile
from array import array

from e2e_support import DEADLINE, Xvfb, until
from grimalou_driver import Grimalou

# A burst of sound ends after this much silence (a tenth of a second at
# 48 kHz; less at lower rates is still far shorter than a second).
GAP_FRAMES = 4800


def samples(path):
    """The file's samples as floats in [-1, 1], and its channel count: a
    wave file is read while it is written, so its data runs to the file's
    end whatever its header says."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 12 or data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        return [], 1
    at, channels, bits, kind = 12, 1, 16, 1
    while at + 8 <= len(data):
        name, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
        body = data[at + 8:]
        if name == b"fmt ":
            kind, channels, _, _, _, bits = struct.unpack("<HHIIHH", body[:16])
            if kind == 0xFFFE:
                kind = struct.unpack("<H", body[24:26])[0]
        elif name == b"data":
            width = bits // 8
            body = body[:len(body) - len(body) % (width * channels)]
            if kind == 3:
                return array("f", body), channels
            if width == 2:
                return [v / 32768 for v in array("h", body)], channels
            return [(v - 128) / 128 for v in body], channels
        at += 8 + size + (size & 1)
    return [], 1


def bursts(path, from_frame=0, level=1 / 256):
    """The separate sounds of the file from a frame on: runs of frames
    louder than `level`, split by GAP_FRAMES of quiet."""
    values, channels = samples(path)
    found, last_loud = 0, None
    for i in range(from_frame * channels, len(values)):
        if abs(values[i]) > level:
            frame = i // channels
            if last_loud is None or frame - last_loud > GAP_FRAMES:
                found += 1
            last_loud = frame
    return found


def frames(path):
    values, channels = samples(path)
    return len(values) // channels


def run(grimalou, send_close, x, wave, sound_on):
    """A press of the title's card, a recording of a pout, then a set of two
    with a hold of 2 s; returns the frame at which play was pressed."""
    g = Grimalou(grimalou, x)
    try:
        if not sound_on:
            title = g.shot()
            g.key("v")
            # "Sound off." shows, then goes.
            g.settle_changed(title)
            g.settle(lambda p: p.pixels == title.pixels, timeout=DEADLINE + 10)
        g.choose(girl=True)
        face = g.settle()
        g.key("r")
        armed = g.settle_changed(face)
        g.key("p")
        posed = g.settle_changed(armed)
        g.key("r")
        live = g.settle_changed(posed)
        # Twice, a hold of 2 s; the message of the choice shows, then goes.
        for name in ["Up", "Left", "Left", "Left"]:
            g.key(name)
        g.settle_changed(live)
        g.settle(lambda p: p.pixels == live.pixels, timeout=DEADLINE + 10)
        played = frames(wave)
        g.key("space")
        g.settle_changed(live)
        ended = g.settle(lambda p: p.pixels == live.pixels, timeout=DEADLINE + 20)
        assert ended.pixels == live.pixels, "the set did not end in the recording's last pose"
        # What the device has mixed by now reaches the file.
        now = frames(wave)
        until(lambda: frames(wave) > now + 2 * GAP_FRAMES)
        status = g.close(send_close)
        assert status == 0, (status, g.log.errors)
        return played, g.log.errors
    finally:
        g.stop()


def main():
    grimalou, send_close, out = sys.argv[1:4]
    os.makedirs(out, exist_ok=True)
    home = tempfile.mkdtemp(prefix="grimalou-sounds-")
    x = Xvfb()
    try:
        results = {}
        for sound_on in [True, False]:
            wave = os.path.join(out, "sound_on.wav" if sound_on else "sound_off.wav")
            if os.path.exists(wave):
                os.remove(wave)
            conf = os.path.join(home, "alsoft.conf")
            with open(conf, "w") as f:
                f.write("[general]\ndrivers=wave\n[wave]\nfile=%s\n" % wave)
            x.env.update(ALSOFT_DRIVERS="wave", ALSOFT_CONF=conf, XDG_DATA_HOME=os.path.join(home, "data"),
                         XDG_CONFIG_HOME=os.path.join(home, "config"))
            played, errors = run(grimalou, send_close, x, wave, sound_on)
            assert not [e for e in errors if "sound" in e], errors
            results[sound_on] = (bursts(wave), bursts(wave, played), frames(wave))

        whole, after_play, length = results[True]
        # Before play: the card, record and stop, and the choice's messages.
        assert whole - after_play >= 3, results
        # After it: the press, the hold's two ticks, the chime.
        assert after_play >= 4, results
        silent, _, length = results[False]
        assert length > 0, "the wave output wrote nothing"
        assert silent == 0, results
        with open(os.path.join(home, "config", "grimalou", "settings")) as f:
            assert f.read() == "sound off\n"
    finally:
        x.stop()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
