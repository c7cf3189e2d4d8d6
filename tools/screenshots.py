"""Screenshots of the real program for the README: each scene starts the
executable on a private X server, plays the user with xdotool and captures
the window.

    python3 tools/screenshots.py [--exe build/grimalou] [--out docs/screens]
                                 [--size 800x500] [--all] [--scene NAME]

Without --all only the README's scenes are made; --all adds the others
(the tongue's depths in the lips, cheeks, one-sided moves, a random face)."""

import argparse
import os
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))

from e2e_support import Xvfb, until  # noqa: E402
from grimalou_driver import MENU, PLAY, RANDOM, RECORD, SYMMETRY, TONGUE, Grimalou  # noqa: E402

# Where the user takes hold of the face, in virtual units.
MOUTH_CORNER = (720, 490)
MOUTH_CENTRE = (642, 495)
RIGHT_CHEEK = (860, 480)
RIGHT_EYE = (738, 370)
RIGHT_BROW_END = (785, 264)
TONGUE_IN_LIPS = (640, 525)
CHIN = (640, 640)


def smile(g):
    # Up a row, to the broadest curve, then wider step by step.
    g.drag(*MOUTH_CORNER, 0, -35)
    for _ in range(3):
        g.drag(*MOUTH_CORNER, 60, 0)


def lips(g):
    g.drag(*MOUTH_CENTRE, 0, 45, step=30)


def teeth(g):
    g.drag(*MOUTH_CENTRE, 0, 33, step=1)


def tongue(g):
    g.press_button(TONGUE)


def lips_and_tongue(g):
    lips(g)
    g.press_button(TONGUE)


def tongue_taps(taps):
    # Each tap on the tongue between the lips takes it a step on: from in
    # front to its tip just out between the lips, then a little more of it.
    def scene(g):
        lips_and_tongue(g)
        for _ in range(taps):
            g.click(*TONGUE_IN_LIPS)
    return scene


def puffed_cheeks(g):
    g.drag(*RIGHT_CHEEK, 115, 0)


def one_sided(g):
    g.press_button(MENU)
    g.press_button(SYMMETRY)
    g.drag(*RIGHT_EYE, 0, -70)
    g.drag(*RIGHT_BROW_END, 0, -20, step=2)
    g.drag(*MOUTH_CORNER, 60, 0)
    g.drag(*MOUTH_CORNER, 0, 35)


def playing(g):
    # A recording of a few drags, caught while it plays back.
    g.press_button(MENU)
    g.press_button(RECORD)
    g.drag(*RIGHT_EYE, 0, -70)
    g.drag(*MOUTH_CORNER, 0, -35)
    g.drag(*MOUTH_CORNER, 60, 0)
    g.press_button(PLAY)


def recording(g):
    # The menu's buttons (home and help among them) while a recording runs:
    # the ring around the record button shows the time left.
    g.press_button(MENU)
    g.press_button(RECORD)
    g.drag(*RIGHT_EYE, 0, -70)
    g.drag(*MOUTH_CORNER, 0, -35)
    g.drag(*MOUTH_CORNER, 60, 0)
    g.drag(*RIGHT_BROW_END, 0, -20, step=2)
    g.drag(*RIGHT_EYE, 0, 70)


def saved_exercises(g):
    # Three exercises recorded with the keys and saved; then the library.
    for make in (smile, lips_and_tongue, one_sided):
        g.key("r")
        make(g)
        g.key("r")
        g.key("ctrl+s")
        g.key("BackSpace")
    g.key("l")


def message_gone(g):
    # The line at the bottom (what was saved) has gone: the screen's last row is light.
    x, y = g.to_window(100, 790)
    return lambda p: min(p.pixel(x, y)) > 150


def library(g):
    saved_exercises(g)
    g.settle(message_gone(g))


def repeat_countdown(g):
    # Five times with a hold of 3 s, caught while the face holds its end pose
    # (the hold lasts long enough for the next screenshot).
    g.key("r")
    smile(g)
    g.drag(*RIGHT_EYE, 0, -70)
    g.key("r")
    g.key("ctrl+s")
    g.key("l")
    for name in ["Up"] * 4 + ["Left"] * 2:
        g.key(name)
    g.click(220, 215)
    box = g.to_window_box(480, 75, 800, 150)
    area = (box[2] - box[0]) * (box[3] - box[1])
    gone = message_gone(g)

    # Between repetitions a light panel covers the hair; a hold's countdown
    # is written on it in orange.
    def holding(p):
        light = p.count(box, lambda r, gr, b: min(r, gr, b) > 200)
        orange = p.count(box, lambda r, gr, b: r > 190 and 60 < gr < 130 and b < 70)
        return light > area // 2 and orange > 20 and gone(p)
    until(lambda: holding(g.shot()), 60)


def help_keys(g):
    smile(g)
    g.key("F1")


def help_title(g):
    g.key("F1")


def full_screen(g):
    lips_and_tongue(g)
    g.key("F11")


def open_mouth(g):
    # The chin down two steps: the jaw opens, the tongue lying inside.
    for _ in range(2):
        g.drag(*CHIN, 0, 40)


def open_mouth_tongue(g):
    # Wide open, the tongue's tip up at the ridge behind the upper teeth.
    for _ in range(3):
        g.drag(*CHIN, 0, 40)
    g.press_button(TONGUE)
    g.key("u")


def pressed_lips(g):
    # The chin up: the lips pressed together.
    g.drag(*CHIN, 0, -40)


def random_face(g):
    g.press_button(TONGUE)
    g.press_button(RANDOM)


# name: (child or None for the title screen, what the user does)
SCENES = {
    "title": (None, None),
    "face_smile": ("girl", smile),
    "face_lips": ("girl", lips),
    "face_teeth": ("boy", teeth),
    "face_tongue": ("boy", tongue),
    "face_open": ("girl", open_mouth),
    "face_open_tongue": ("boy", open_mouth_tongue),
    "face_pressed": ("girl", pressed_lips),
    "face_lips_tongue": ("girl", lips_and_tongue),
    "face_lips_tongue_inside": ("girl", tongue_taps(1)),
    "face_lips_tongue_between": ("boy", tongue_taps(2)),
    "face_cheeks": ("boy", puffed_cheeks),
    "face_one_sided": ("girl", one_sided),
    "face_playing": ("boy", playing),
    "face_recording": ("girl", recording),
    "face_random": ("girl", random_face),
    "help": ("girl", help_keys),
    "help_title": (None, help_title),
    "full_screen": ("boy", full_screen),
    "library": ("girl", library),
    "repeat_countdown": ("girl", repeat_countdown),
}


# The scenes the README shows.
README_SCENES = ["title", "face_smile", "face_lips", "face_teeth", "face_tongue", "face_open", "face_open_tongue",
                 "face_pressed", "help", "face_recording",
                 "library", "repeat_countdown", "full_screen"]


def main():
    parser = argparse.ArgumentParser(description="Screenshots of grimalou under Xvfb")
    parser.add_argument("--exe", default="build/grimalou")
    parser.add_argument("--out", default=os.path.join(HERE, "..", "docs", "screens"))
    parser.add_argument("--size", default="800x500", help="window size, WIDTHxHEIGHT")
    parser.add_argument("--all", action="store_true", help="every scene, not only the README's")
    parser.add_argument("--scene", action="append", choices=list(SCENES), help="only this scene (repeatable)")
    args = parser.parse_args()
    width, height = (int(v) for v in args.size.split("x"))
    names = args.scene or (list(SCENES) if args.all else README_SCENES)
    os.makedirs(args.out, exist_ok=True)
    x = Xvfb()
    # Exercises saved by the scenes go to a library of their own.
    data = tempfile.mkdtemp(prefix="grimalou-screens-")
    x.env["XDG_DATA_HOME"] = data
    try:
        for name in names:
            child, action = SCENES[name]
            g = Grimalou(args.exe, x)
            try:
                if (width, height) != g.size():
                    g.resize(width, height)
                if child:
                    g.choose(girl=child == "girl")
                if action:
                    action(g)
                g.assert_running()
                path = os.path.join(args.out, name + ".png")
                g.shot().save_png(path)
                print("wrote", os.path.normpath(path))
            finally:
                g.stop()
    finally:
        x.stop()
        shutil.rmtree(data, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
