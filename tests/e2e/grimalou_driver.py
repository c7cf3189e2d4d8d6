"""Drives the real grimalou window the way a user does, in the application's
virtual units (1280 x 800, letterboxed into the window), and reads it back
through screenshots. Shared by the end-to-end tests, the soak, the
benchmarks and the screenshot script."""

import os
import struct
import subprocess
import time
import zlib

from e2e_support import DEADLINE, LoggedProcess, find_window, geometry, until, xdotool

VIRTUAL_WIDTH, VIRTUAL_HEIGHT = 1280, 800
# The application reads the pointer once per tick, 60 times a second. The
# pauses between the steps of a press or a drag pace the input so that ticks
# see its samples; whether the program has done what it was told is never
# assumed from time, but waited for on the screen (Grimalou.settle).
TICK = 1.0 / 60
SETTLE = 0.15
# A touch of fewer than 20 ticks is a tap; a drag lasts longer.
DRAG_TICKS = 27

# Where the title screen's pictures stand (top-left corner and size).
GIRL = (240, 209, 300, 380)
BOY = (740, 209, 300, 380)
# The face-screen buttons: top-left corners, 80 units a side.
BUTTON_SIZE = 80
RANDOM, TONGUE, MENU = (20, 20), (20, 120), (1190, 20)
RESET, SYMMETRY, RECORD, PLAY = (1184, 120), (1184, 220), (1190, 320), (1190, 420)


def letterbox(width, height):
    """The viewport (x, y, w, h) of the virtual screen in a window."""
    aspect = VIRTUAL_WIDTH / VIRTUAL_HEIGHT
    if aspect < width / height:
        w = int(height * aspect)
        return ((width - w) // 2, 0, w, height)
    h = int(width / aspect)
    return (0, (height - h) // 2, width, h)


class Picture:
    """An RGB screenshot of a window."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    @staticmethod
    def from_ppm(data):
        # P6, width, height, maxval, one white-space byte, then the samples.
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        assert fields[0] == b"P6" and fields[3] == b"255", fields
        width, height = int(fields[1]), int(fields[2])
        return Picture(width, height, data[pos + 1:pos + 1 + 3 * width * height])

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def rows(self, box):
        x0, y0, x1, y1 = box
        for y in range(max(0, y0), min(self.height, y1)):
            start = 3 * (y * self.width + max(0, x0))
            yield self.pixels[start:3 * (y * self.width + min(self.width, x1))]

    def changed(self, other, box=None):
        """How many pixels of the box differ between two pictures of one size."""
        assert (self.width, self.height) == (other.width, other.height)
        box = box or (0, 0, self.width, self.height)
        count = 0
        for a, b in zip(self.rows(box), other.rows(box)):
            if a != b:
                count += sum(1 for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3])
        return count

    def changed_centre(self, other, box):
        """The mean position of the pixels of the box that differ, or None."""
        x0, y0 = max(0, box[0]), max(0, box[1])
        n = sx = sy = 0
        for dy, (a, b) in enumerate(zip(self.rows(box), other.rows(box))):
            if a == b:
                continue
            for i in range(0, len(a), 3):
                if a[i:i + 3] != b[i:i + 3]:
                    n, sx, sy = n + 1, sx + x0 + i // 3, sy + y0 + dy
        return (sx / n, sy / n) if n else None

    def count(self, box, predicate):
        return sum(1 for row in self.rows(box) for i in range(0, len(row), 3) if predicate(row[i], row[i + 1], row[i + 2]))

    def save_png(self, path):
        raw = b"".join(b"\0" + self.pixels[3 * y * self.width:3 * (y + 1) * self.width] for y in range(self.height))

        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
                      chunk(b"IEND", b""))


class Grimalou:
    """One run of the executable on an X server, driven in virtual units."""

    def __init__(self, executable, xvfb, cwd=None):
        self.env = xvfb.env
        self.log = LoggedProcess([executable], self.env, cwd=cwd)
        self.pid = self.log.process.pid
        self.window = find_window(self.env, "Grimalou")
        self.wait_until_drawn()

    # ---- the window ------------------------------------------------------

    def size(self):
        return geometry(self.env, self.window)[2:]

    def resize(self, width, height):
        # Moved to the screen's corner first: a part beyond the screen's edge
        # can neither be captured nor reached by the pointer.
        xdotool(self.env, "windowmove", "--sync", self.window, 0, 0)
        xdotool(self.env, "windowsize", "--sync", self.window, width, height)
        assert until(lambda: self.size() == (width, height)), (self.size(), width, height)
        self.settle(lambda p: (p.width, p.height) == (width, height))

    def to_window(self, vx, vy):
        """Window pixel of a virtual point, through the letterbox."""
        x, y, w, h = letterbox(*self.size())
        return (x + int(vx * w / VIRTUAL_WIDTH), y + int(vy * h / VIRTUAL_HEIGHT))

    def to_virtual(self, x, y):
        bx, by, w, h = letterbox(*self.size())
        return ((x - bx) * VIRTUAL_WIDTH / w, (y - by) * VIRTUAL_HEIGHT / h)

    def to_window_box(self, vx0, vy0, vx1, vy1):
        x0, y0 = self.to_window(vx0, vy0)
        x1, y1 = self.to_window(vx1, vy1)
        return (x0, y0, x1 + 1, y1 + 1)

    def shot(self):
        data = subprocess.run(["import", "-window", self.window, "-depth", "8", "ppm:-"], env=self.env, check=True,
                              capture_output=True, timeout=30).stdout
        return Picture.from_ppm(data)

    def wait_until_drawn(self, timeout=DEADLINE):
        """Waits for the first frame: until the window is no longer one colour."""
        def drawn():
            self.assert_running()
            picture = self.shot()
            return len(set(picture.pixels[i:i + 3] for i in range(0, len(picture.pixels), 3 * 97))) > 1 and picture
        picture = until(drawn, timeout)
        assert picture, "the window stayed one colour for %ss" % timeout
        return picture

    def settle(self, condition=None, timeout=DEADLINE):
        """Waits until the window shows a picture that `condition` accepts
        (any, without one) and that the next screenshot repeats: the program
        has done what it was told and drawn it. After the deadline, the last
        picture, for the caller's checks to report on."""
        last = [self.shot()]

        def stable():
            self.assert_running()
            now = self.shot()
            previous, last[0] = last[0], now
            same = (now.width, now.height) == (previous.width, previous.height) and now.pixels == previous.pixels
            return same and (condition is None or condition(now)) and now
        return until(stable, timeout) or last[0]

    def settle_changed(self, before, box=None, least=1, timeout=DEADLINE):
        """The settled picture once at least `least` pixels of the window box
        differ from `before`."""
        return self.settle(lambda p: p.changed(before, box) >= least, timeout)

    # ---- the user --------------------------------------------------------

    def move(self, vx, vy):
        x, y = self.to_window(vx, vy)
        xdotool(self.env, "mousemove", "--window", self.window, x, y)

    def click(self, vx, vy):
        self.move(vx, vy)
        time.sleep(3 * TICK)
        xdotool(self.env, "mousedown", "1")
        time.sleep(4 * TICK)
        xdotool(self.env, "mouseup", "1")
        time.sleep(SETTLE)

    def key(self, name):
        """A key pressed and released on the window, then time for a tick."""
        xdotool(self.env, "key", "--window", self.window, name)
        time.sleep(SETTLE)

    def press_button(self, corner):
        self.click(corner[0] + BUTTON_SIZE / 2, corner[1] + BUTTON_SIZE / 2)

    def drag(self, vx, vy, dvx, dvy, step=8, pause=0.02):
        """Presses at a virtual point and moves by (dvx, dvy) units in small
        steps (`step` window pixels every `pause` seconds) so that every tick sees a
        sample, holds, then releases. The finger stays down for at least
        DRAG_TICKS ticks: a shorter touch is also a tap, and a tap on the
        tongue between the lips changes its depth."""
        x0, y0 = self.to_window(vx, vy)
        x1, y1 = self.to_window(vx + dvx, vy + dvy)
        xdotool(self.env, "mousemove", "--window", self.window, x0, y0)
        time.sleep(3 * TICK)
        xdotool(self.env, "mousedown", "1")
        pressed = time.time()
        time.sleep(4 * TICK)
        steps = max(1, (max(abs(x1 - x0), abs(y1 - y0)) + step - 1) // step)
        for i in range(1, steps + 1):
            xdotool(self.env, "mousemove", "--window", self.window, x0 + (x1 - x0) * i // steps,
                    y0 + (y1 - y0) * i // steps)
            time.sleep(pause)
        time.sleep(max(0.05, pressed + DRAG_TICKS * TICK - time.time()))
        xdotool(self.env, "mouseup", "1")
        time.sleep(SETTLE)

    def choose(self, girl=True):
        """Chooses a child on the title screen and waits for the face: the
        face picture's area changes in most of its pixels."""
        x, y, w, h = GIRL if girl else BOY
        title = self.shot()
        self.click(x + w / 2, y + h / 2)
        face = self.to_window_box(248, 0, 1032, 800)
        return self.settle_changed(title, face, least=(face[2] - face[0]) * (face[3] - face[1]) // 4)

    # ---- the process -----------------------------------------------------

    def assert_running(self):
        status = self.log.process.poll()
        assert status is None, "grimalou ended with status %s: %s %s" % (status, self.log.snapshot()[-10:],
                                                                          self.log.errors[-10:])

    def rss_kib(self):
        with open("/proc/%d/status" % self.pid) as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        raise AssertionError("no VmRSS for %d" % self.pid)

    def close(self, send_close, timeout=10):
        """Asks the window to close as a window manager does; the exit status.
        A recording that no file holds makes the program ask first, "Keep
        this exercise?": then Enter keeps it, and the program ends."""
        subprocess.run([send_close, self.window], env=self.env, check=True, timeout=10)
        try:
            return self.log.process.wait(timeout=DEADLINE / 5)
        except subprocess.TimeoutExpired:
            subprocess.run(["xdotool", "key", "--window", self.window, "Return"], env=self.env, timeout=10)
            return self.log.process.wait(timeout=timeout)

    def stop(self):
        self.log.stop()
