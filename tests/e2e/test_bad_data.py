"""Broken atlases: the executable and a copy of its data folder in a
temporary folder, one file spoiled at a time. Each case must end in the
runtime error report naming the file, or the key and the index, with status
255 within 5 s of the step that reads the atlas: "images3" at start, the
others when a child is chosen. Never a crash report, never a hang.

Usage: test_bad_data.py GRIMALOU"""

import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

from e2e_support import DEADLINE, LoggedProcess, Xvfb
from grimalou_driver import Grimalou

REPORT = "Ravlen Runtime Error : "
# A report must end the program, never leave it waiting: this bounds the
# wait, generously, since a busy machine may be slow to get there.
LIMIT_SECONDS = DEADLINE


def picture_error(atlas):
    return re.escape('Cannot load the atlas picture "%s.png" from the data folder' % atlas)


def index_error(atlas):
    return re.escape('Cannot load the atlas index "%s.txt" from the data folder' % atlas)


def key_error(atlas, key=None):
    # A key absent from the index, or a rectangle that is no area inside the
    # picture: both name the key and the index.
    name = re.escape(key) if key else '[^"]+'
    return r'The sprite "%s" (is missing from|of) the atlas index "%s\.txt"' % (name, re.escape(atlas))


# ---- ways to spoil a file ---------------------------------------------------

def remove(path):
    os.remove(path)


def truncate(path):
    with open(path, "rb") as f:
        data = f.read()
    with open(path, "wb") as f:
        f.write(data[:len(data) // 2])


def random_bytes(path):
    size = os.path.getsize(path)
    with open(path, "wb") as f:
        f.write(random.Random(size).randbytes(size))


def empty(path):
    open(path, "wb").close()


def edit_line(key, edit):
    """Rewrites the index line of `key` (the line starting with it)."""
    def spoil(path):
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
        hits = [i for i, line in enumerate(lines) if line.startswith(key + ":")]
        assert len(hits) == 1, (key, hits)
        lines[hits[0]:hits[0] + 1] = edit(lines[hits[0]].split(":"))
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines))
    return spoil


def without(key):
    return edit_line(key, lambda fields: [])


def with_field(key, number, text):
    def edit(fields):
        fields[number] = text
        return [":".join(fields)]
    return edit_line(key, edit)


# The child each atlas is read for (None: read at start).
CHILD = {"images3": None, "images2": "girl", "images1a": "girl", "images1b": "boy"}
# A key each atlas's loading step cuts, the last or nearly so.
KEY = {"images3": "titre.png", "images2": "rec.png", "images1a": "g4528.png", "images1b": "visage1.png"}
HUGE = "99999999999999999999"


def cases():
    for atlas in ["images3", "images2", "images1a", "images1b"]:
        png, txt = atlas + ".png", atlas + ".txt"
        key = KEY[atlas]
        yield atlas, png, "missing", remove, picture_error(atlas)
        yield atlas, png, "truncated", truncate, picture_error(atlas)
        yield atlas, png, "random bytes", random_bytes, picture_error(atlas)
        yield atlas, txt, "missing", remove, index_error(atlas)
        yield atlas, txt, "truncated", truncate, key_error(atlas)
        yield atlas, txt, "random bytes", random_bytes, key_error(atlas)
        yield atlas, txt, "without " + key, without(key), key_error(atlas, key)
        yield atlas, txt, "huge width for " + key, with_field(key, 3, HUGE), key_error(atlas, key)
    yield "images3", "images3.txt", "empty", empty, index_error("images3")
    yield "images2", "images2.txt", "huge negative x", with_field("joues2.png", 1, "-" + HUGE), \
        key_error("images2", "joues2.png")
    yield "images1b", "images1b.txt", "no area", with_field("path5081.png", 4, "0"), \
        key_error("images1b", "path5081.png")
    yield "images2", "images2.txt", "beyond the picture", with_field("boutonplay2.png", 1, "2047"), \
        key_error("images2", "boutonplay2.png")


def run_case(x, executable, child, expected):
    """Starts the copy, chooses the child if the atlas waits for one, and
    checks the report. The seconds from the reading step to the exit."""
    if child is None:
        start = time.time()
        log = LoggedProcess([executable], x.env)
    else:
        g = Grimalou(executable, x)
        log = g.log
        x0, y0 = (390, 400) if child == "girl" else (890, 400)
        g.move(x0, y0)
        time.sleep(0.05)
        start = time.time()
        subprocess.run(["xdotool", "click", "1"], env=x.env, check=True, timeout=10)
    try:
        status = log.process.wait(timeout=LIMIT_SECONDS + 5)
    except subprocess.TimeoutExpired:
        log.stop()
        raise AssertionError("no exit within %d s; output: %s" % (LIMIT_SECONDS + 5, log.snapshot()))
    seconds = time.time() - start
    log.reader.join(timeout=5)
    lines = log.snapshot()
    assert status == 255, (status, lines, log.errors)
    assert lines and lines[0].startswith(REPORT), lines
    message = lines[0][len(REPORT):]
    assert re.match(expected, message), (expected, message)
    return message, seconds


def main(grimalou):
    source = os.path.join(os.path.dirname(os.path.abspath(grimalou)), "data")
    failures = []
    with tempfile.TemporaryDirectory(prefix="grimalou-bad-data-") as folder:
        executable = os.path.join(folder, "grimalou")
        shutil.copy2(grimalou, executable)
        data = os.path.join(folder, "data")
        shutil.copytree(source, data)
        x = Xvfb()
        try:
            for atlas, name, how, spoil, expected in cases():
                path = os.path.join(data, name)
                spoil(path)
                try:
                    message, seconds = run_case(x, executable, CHILD[atlas], expected)
                    print("%-12s %-28s %.2f s  %s" % (name, how, seconds, message))
                except AssertionError as e:
                    failures.append("%s %s: %s" % (name, how, e))
                    print("%-12s %-28s FAILED %s" % (name, how, e))
                finally:
                    shutil.copy2(os.path.join(source, name), path)
        finally:
            x.stop()
    if failures:
        print("\n".join(["failed:"] + failures))
        return 1
    print("bad data: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
