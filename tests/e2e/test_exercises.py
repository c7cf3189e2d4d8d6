"""Exercises that last, on the real executable with a private XDG_DATA_HOME:
a drag and a tongue press recorded and saved with Ctrl+S; `grimalou FILE`
plays it to the face that was seen, and one cut short is named and changes
nothing; the library lists it with its picture;
repeat 3 with a hold of 1 s shows the end pose three times; a kill in the
middle of saves leaves every earlier file whole.

Usage: test_exercises.py GRIMALOU SEND_CLOSE OUTPUT_FOLDER"""

import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from e2e_support import DEADLINE, LoggedProcess, Xvfb, find_window, until, xdotool
from grimalou_driver import Grimalou

# The face picture on the virtual screen, above the message line; the
# repetition's status stands over the top of the hair.
FACE = (248, 160, 1032, 740)
EYE = (738, 370)
TONGUE = (640, 525)
# The first cell of the library's page, and its picture.
CELL = (90, 100, 350, 330)


class Run(Grimalou):
    """Grimalou started with arguments."""

    def __init__(self, argv, xvfb):
        self.env = xvfb.env
        self.log = LoggedProcess(argv, self.env)
        self.pid = self.log.process.pid
        self.window = find_window(self.env, "Grimalou")
        self.wait_until_drawn()


def face_rows(g, picture):
    box = g.to_window_box(*FACE)
    return list(picture.rows(box))


def skin(r, g, b):
    return r > 220 and 170 < g < 215 and 140 < b < 190


def main():
    grimalou, send_close, out = sys.argv[1:4]
    os.makedirs(out, exist_ok=True)
    data = tempfile.mkdtemp(prefix="grimalou-e2e-data-")
    folder = os.path.join(data, "grimalou", "exercises")
    x = Xvfb()
    x.env["XDG_DATA_HOME"] = data
    g = None
    try:
        # Record a drag and a tongue press, and save.
        g = Run([grimalou], x)
        g.choose(girl=True)
        g.key("r")
        g.drag(*EYE, 0, -40)
        g.key("t")
        g.drag(*TONGUE, 40, 0)
        g.key("r")
        live = g.settle()
        live.save_png(os.path.join(out, "live_end.png"))
        # Prescribed with the recording: 3 times, a hold of 2 s (long enough
        # for a screenshot on a busy machine to see each end pose).
        for name in ["Up", "Up", "Left", "Left", "Left"]:
            g.key(name)
        g.key("ctrl+s")
        found = until(lambda: glob.glob(os.path.join(folder, "*.grimalou")))
        if not found:
            g.shot().save_png(os.path.join(out, "not_saved.png"))
        assert found, "Ctrl+S saved nothing: %s" % g.log.errors[-3:]
        [saved] = glob.glob(os.path.join(folder, "*.grimalou"))
        text = open(saved).read()
        assert "\ntongue " in text and text.endswith("done\n"), text
        assert os.path.getsize(saved) < 10 * 1024
        assert g.close(send_close) == 0

        # The file on the command line shows what it is, then a tap starts
        # it, and it plays to the face that was seen.
        g = Run([grimalou, saved], x)
        g.settle().save_png(os.path.join(out, "homework_intro.png"))
        g.click(640, 400)
        played = g.settle(lambda p: face_rows(g, p) == face_rows(g, live))
        played.save_png(os.path.join(out, "replay_end.png"))
        assert face_rows(g, played) == face_rows(g, live), "the replay ended on another face"

        # A file cut short is named on standard error and on the screen; the
        # program goes on and the library is untouched.
        g.stop()
        cut = os.path.join(data, "cut.grimalou")
        with open(cut, "w") as out_file:
            out_file.write(text[:len(text) // 2])
        before = {path: open(path, "rb").read() for path in glob.glob(os.path.join(folder, "*"))}
        g = Run([grimalou, cut], x)
        assert until(lambda: any("cut.grimalou" in line and "cut short" in line for line in g.log.errors)), \
            g.log.errors[-3:]
        g.settle().save_png(os.path.join(out, "cut_file.png"))
        g.choose(girl=False)
        g.assert_running()
        assert {path: open(path, "rb").read() for path in glob.glob(os.path.join(folder, "*"))} == before
        g.stop()
        g = Run([grimalou, saved], x)
        g.settle()
        g.click(640, 400)
        g.settle(lambda p: face_rows(g, p) == face_rows(g, live))

        # The library lists it with a picture of that face.
        g.key("l")
        library = g.settle(lambda p: p.count(g.to_window_box(*CELL), skin) > 1000)
        library.save_png(os.path.join(out, "library.png"))
        assert library.count(g.to_window_box(*CELL), skin) > 1000, "no face in the library's cell"

        # Its prescription, 3 times with a hold of 2 s: the end pose shows
        # three times, and stays after the last.
        g.click((CELL[0] + CELL[2]) / 2, (CELL[1] + CELL[3]) / 2)
        end = face_rows(g, live)
        poses, was_end, start = 0, False, time.time()
        while time.time() - start < DEADLINE:
            g.assert_running()
            shot = g.shot()
            is_end = face_rows(g, shot) == end
            if is_end and not was_end:
                poses += 1
                shot.save_png(os.path.join(out, "repeat_%d.png" % poses))
            was_end = is_end
            if poses == 3:
                break
        assert poses == 3, "the end pose showed %d times" % poses
        stays = g.settle()
        assert face_rows(g, stays) == end, "the last repetition did not stay in its end pose"
        g.stop()

        # A kill among saves: every earlier file keeps its bytes, and the
        # folder shows only whole files. The same recording saved again
        # makes no second file: each save is of a new one (record, a random
        # face, stop, save).
        g = Run([grimalou], x)
        g.choose(girl=True)
        for _ in range(3):
            for name in ["r", "d", "r", "ctrl+s"]:
                g.key(name)
        saves = until(lambda: len(glob.glob(os.path.join(folder, "*.grimalou"))) >= 4)
        assert saves, "three saves made %s" % os.listdir(folder)
        earlier = {path: open(path, "rb").read() for path in glob.glob(os.path.join(folder, "*.grimalou"))}
        # Keys may come faster than ticks: a new recording over one not yet
        # saved asks first, and Enter answers it by saving.
        burst = subprocess.Popen(["xdotool", "key", "--window", g.window, "--delay", "15", "--repeat", "200",
                                  "r", "d", "r", "ctrl+s", "Return"], env=x.env)
        count = len(earlier)
        assert until(lambda: len(glob.glob(os.path.join(folder, "*.grimalou"))) > count + 5)
        os.kill(g.pid, signal.SIGKILL)
        burst.kill()
        burst.wait()
        g.log.process.wait(timeout=DEADLINE)
        for path, content in earlier.items():
            assert open(path, "rb").read() == content, path + " changed"
        files = glob.glob(os.path.join(folder, "*.grimalou"))
        for path in files:
            assert open(path).read().endswith("done\n"), path + " is not whole"
        print("%d files whole after the kill (%d before the burst)" % (len(files), count))
        g = None
    finally:
        if g:
            g.stop()
        x.stop()
        shutil.rmtree(data, ignore_errors=True)


if __name__ == "__main__":
    main()
