"""Homework on the real executable with a private XDG_DATA_HOME: a recording
that no file holds is asked about before Home and before the window's close;
Ctrl+S twice keeps one file; that file, given a title, repeat 2 and hold 1
by hand and opened with `grimalou FILE`, shows its intro, plays twice with
the hold countdown, and leaves one row in the practice log.

Usage: test_homework.py GRIMALOU SEND_CLOSE OUTPUT_FOLDER"""

import csv
import glob
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from e2e_support import DEADLINE, Xvfb, until
from test_exercises import EYE, FACE, Run, face_rows

# The message line under the face; the homework panel over the hair; the
# repetition's countdown under its status.
MESSAGE = (0, 742, 1280, 800)
PANEL = (340, 40, 940, 140)
COUNTDOWN = (480, 80, 800, 140)
TITLE = "Eye up, twice"


def ink(r, g, b):
    return r < 80 and g < 90 and b < 110


def hold_orange(r, g, b):
    return r > 195 and 50 < g < 130 and b < 70


def record_drag(g):
    g.key("r")
    g.drag(*EYE, 0, -40)
    g.key("r")
    return g.settle()


def files(folder):
    return glob.glob(os.path.join(folder, "*.grimalou"))


def main():
    grimalou, send_close, out = sys.argv[1:4]
    os.makedirs(out, exist_ok=True)
    data = tempfile.mkdtemp(prefix="grimalou-e2e-homework-")
    folder = os.path.join(data, "grimalou", "exercises")
    log = os.path.join(data, "grimalou", "practice-log.csv")
    x = Xvfb()
    x.env["XDG_DATA_HOME"] = data
    g = None
    try:
        # Home asks about the unsaved recording; Escape stays on that face.
        g = Run([grimalou], x)
        g.choose(girl=True)
        recorded = record_drag(g)
        g.key("Home")
        asked = g.settle(lambda p: p.changed(recorded, g.to_window_box(*FACE)) > 10000)
        asked.save_png(os.path.join(out, "keep_question.png"))
        assert asked.changed(recorded, g.to_window_box(*FACE)) > 10000, "Home with a recording asked nothing"
        g.key("Escape")
        back = g.settle(lambda p: face_rows(g, p) == face_rows(g, recorded))
        back.save_png(os.path.join(out, "after_escape.png"))
        assert face_rows(g, back) == face_rows(g, recorded), "Escape did not give back the face as it was"

        # Ctrl+S twice: the second save says so and makes no second file.
        g.key("ctrl+s")
        assert until(lambda: files(folder)), "Ctrl+S saved nothing: %s" % g.log.errors[-3:]
        first = g.settle(lambda p: p.changed(back, g.to_window_box(*MESSAGE)) > 0)
        g.key("ctrl+s")
        g.settle_changed(first, g.to_window_box(*MESSAGE))
        [saved] = files(folder)
        text = open(saved).read()
        assert text.startswith("grimalou-exercise 3\n"), text[:40]
        for key in ("title", "repeat", "hold"):
            assert re.search(r"^%s \S" % key, text, re.M), "no %s line in:\n%s" % (key, text)
        g.stop()

        # Its prescription edited by hand, as a therapist may.
        text = re.sub(r"^title .*$", "title " + TITLE, text, flags=re.M)
        text = re.sub(r"^repeat .*$", "repeat 2", text, flags=re.M)
        text = re.sub(r"^hold .*$", "hold 1", text, flags=re.M)
        homework = os.path.join(data, "homework.grimalou")
        with open(homework, "w") as edited:
            edited.write(text)

        # The intro stands over the face until a click starts it; it plays
        # twice, the face holding its pose with a countdown in between, then
        # says well done.
        g = Run([grimalou, homework], x)
        intro = g.settle()
        intro.save_png(os.path.join(out, "intro.png"))
        panel = g.to_window_box(*PANEL)
        assert intro.count(panel, ink) > 50, "no intro over the face"
        g.click(640, 400)
        countdowns, was_hold, start = 0, False, time.time()
        while time.time() - start < DEADLINE and not os.path.exists(log):
            g.assert_running()
            shot = g.shot()
            is_hold = shot.count(g.to_window_box(*COUNTDOWN), hold_orange) > 200
            if is_hold and not was_hold:
                countdowns += 1
                shot.save_png(os.path.join(out, "hold_%d.png" % countdowns))
            was_hold = is_hold
        assert os.path.exists(log), "no practice log after the homework: %s" % g.log.errors[-3:]
        assert countdowns == 1, "the hold countdown showed %d times" % countdowns
        ended = g.settle(lambda p: p.changed(intro, panel) > 1000)
        ended.save_png(os.path.join(out, "well_done.png"))

        # One row, written when the practice ended, and printed as it is.
        with open(log, newline="") as csv_file:
            rows = list(csv.DictReader(csv_file))
        assert [(r["title"], r["file"], r["asked"], r["done"]) for r in rows] == \
            [(TITLE, "homework.grimalou", "2", "2")], rows
        printed = subprocess.run([grimalou, "--practice-log"], env=x.env, capture_output=True, check=True,
                                 timeout=DEADLINE).stdout
        assert printed == open(log, "rb").read(), printed
        assert next(csv.DictReader(io.StringIO(printed.decode())))["title"] == TITLE
        g.stop()

        # The window's close with an unsaved recording asks first; Escape
        # keeps the program; Enter saves and the program ends well.
        g = Run([grimalou], x)
        g.choose(girl=False)
        recorded = record_drag(g)
        count = len(files(folder))
        subprocess.run([send_close, g.window], env=x.env, check=True, timeout=10)
        asked = g.settle(lambda p: p.changed(recorded, g.to_window_box(*FACE)) > 10000)
        assert asked.changed(recorded, g.to_window_box(*FACE)) > 10000, "the close asked nothing"
        g.key("Escape")
        kept = g.settle(lambda p: face_rows(g, p) == face_rows(g, recorded))
        assert face_rows(g, kept) == face_rows(g, recorded), "Escape at the close did not give back the face"
        g.assert_running()
        assert len(files(folder)) == count
        subprocess.run([send_close, g.window], env=x.env, check=True, timeout=10)
        g.settle(lambda p: p.changed(recorded, g.to_window_box(*FACE)) > 10000)
        g.key("Return")
        assert g.log.process.wait(timeout=DEADLINE) == 0, g.log.errors[-3:]
        assert len(files(folder)) == count + 1, "Enter at the close did not save"
        g = None
    finally:
        if g:
            g.stop()
        x.stop()
        shutil.rmtree(data, ignore_errors=True)


if __name__ == "__main__":
    main()
