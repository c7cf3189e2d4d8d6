"""The application end to end: the real executable on a private X server,
driven with real pointer input, read back through screenshots.

Two runs. The girl: every part of the face dragged, paired and one-sided,
the mouth through its three renderings, the tongue. The boy: a recording
replayed to the same face, the window resized, and closing it.

Usage: test_app.py GRIMALOU SEND_CLOSE OUTPUT_DIR"""

import os
import sys

from e2e_support import DEADLINE, Xvfb, until
from grimalou_driver import (BOY, GIRL, MENU, PLAY, RECORD, SYMMETRY, TONGUE, Grimalou, letterbox)

# Boxes of the face's parts in virtual units (x0, y0, x1, y1). The face
# picture is 784 x 800, centred: its top-left corner is at (248, 0).
EYE_R, EYE_L = (663, 310, 813, 406), (467, 310, 617, 406)
BROW_R, BROW_L = (666, 215, 806, 305), (473, 215, 613, 305)
CHEEK_R, CHEEK_L = (770, 420, 960, 550), (320, 420, 510, 550)
MOUTH = (540, 440, 740, 580)
MOUTH_R, MOUTH_L = (645, 440, 740, 580), (540, 440, 635, 580)
FACE = (248, 0, 1032, 800)
# Where the drags take hold: inside one grab zone each and no other that
# takes precedence. The mouth's centre zone is narrowest with the lips at
# their first step; x 642 lies inside it in every rendering.
GRAB_EYE_R, GRAB_EYE_L = (738, 370), (542, 370)
GRAB_BROW_R = {"outer": (785, 264), "inner": (688, 264), "middle": (736, 264)}
GRAB_BROW_L = {"outer": (485, 264), "inner": (600, 264), "middle": (543, 264)}
GRAB_CHEEK_R, GRAB_CHEEK_L = (860, 480), (420, 480)
GRAB_CORNER_R, GRAB_CORNER_L = (720, 490), (570, 490)
GRAB_CENTRE = (642, 495)


class Steps:
    """Actions checked by what they change on the screen: each named box
    must change in at least `least` pixels, each kept box not at all."""

    def __init__(self, grimalou, out_dir, prefix):
        self.g, self.out_dir, self.prefix = grimalou, out_dir, prefix
        self.before = grimalou.shot()
        self.number = 0

    def check(self, name, action, changes=(), keeps=(), least=40):
        action()
        boxes = [self.g.to_window_box(*box) for box in changes]
        # Waits for every named box to change, on a settled picture: a busy
        # machine may take a while to show what the action did.
        after = self.g.settle(lambda p: all(self.before.changed(p, box) >= least for box in boxes))
        self.number += 1
        after.save_png(os.path.join(self.out_dir, "%s_%02d_%s.png" % (self.prefix, self.number, name)))
        counts = {}
        for box in changes:
            counts[box] = self.before.changed(after, self.g.to_window_box(*box))
            assert counts[box] >= least, "%s: %s changed in %d pixels only" % (name, box, counts[box])
        for box in keeps:
            n = self.before.changed(after, self.g.to_window_box(*box))
            assert n == 0, "%s: %s changed in %d pixels" % (name, box, n)
        print("%-28s %s" % (name, " ".join(str(counts[b]) for b in changes)))
        previous, self.before = self.before, after
        return previous, after


def white_pixels(g, picture):
    """The teeth's white in the mouth: the lips and the smile have none."""
    return picture.count(g.to_window_box(*MOUTH), lambda r, gr, b: min(r, gr, b) > 235)


def drag_brow(g, grab, dy):
    # Brow ends turn 2 degrees per 5 units: small steps, so that each tick
    # sees one.
    g.drag(grab[0], grab[1], 0, dy, step=2)


def girl_run(grimalou, out_dir):
    x = Xvfb()
    g = None
    try:
        g = Grimalou(grimalou, x)
        title = g.shot()
        title.save_png(os.path.join(out_dir, "girl_00_title.png"))
        # The two pictures and the title show on white.
        for box in [GIRL, BOY]:
            vx, vy, w, h = box
            window_box = g.to_window_box(vx + 20, vy + 20, vx + w - 20, vy + h - 20)
            coloured = title.count(window_box, lambda r, gr, b: min(r, gr, b) < 200)
            assert coloured > 2000, (box, coloured)
        s = Steps(g, out_dir, "girl")
        s.check("choose_girl", lambda: g.choose(girl=True), changes=[FACE], least=20000)

        # Paired at start: one eye drags both.
        s.check("eyes_up_paired", lambda: g.drag(*GRAB_EYE_R, 0, -40), changes=[EYE_R, EYE_L], keeps=[MOUTH])
        s.check("menu", lambda: g.press_button(MENU), changes=[(1184, 120, 1270, 500)], keeps=[FACE])
        s.check("unpaired", lambda: g.press_button(SYMMETRY), changes=[(1184, 220, 1264, 300)], keeps=[FACE])
        s.check("left_eye_up", lambda: g.drag(*GRAB_EYE_L, 0, -40), changes=[EYE_L], keeps=[EYE_R])
        s.check("right_eye_down", lambda: g.drag(*GRAB_EYE_R, 0, 40), changes=[EYE_R], keeps=[EYE_L])

        for end, dy in [("outer", -20), ("inner", 20), ("middle", 15)]:
            s.check("right_brow_" + end, lambda: drag_brow(g, GRAB_BROW_R[end], dy), changes=[BROW_R],
                    keeps=[BROW_L, EYE_R])
            s.check("left_brow_" + end, lambda: drag_brow(g, GRAB_BROW_L[end], dy), changes=[BROW_L],
                    keeps=[BROW_R, EYE_L])

        # A puffed cheek and back: the face returns exactly to where it was.
        rest, _ = s.check("right_cheek_out", lambda: g.drag(*GRAB_CHEEK_R, 115, 0), changes=[CHEEK_R, MOUTH])
        _, back = s.check("right_cheek_in", lambda: g.drag(*GRAB_CHEEK_R, -115, 0), changes=[CHEEK_R])
        assert rest.changed(back) == 0, "the cheek did not come back to rest"
        s.check("left_cheek_out", lambda: g.drag(*GRAB_CHEEK_L, -115, 0), changes=[CHEEK_L, MOUTH])
        # Hollow cheeks show no puffed picture: inward from rest.
        s.check("left_cheek_back", lambda: g.drag(*GRAB_CHEEK_L, 115, 0), changes=[CHEEK_L])

        # The smiling mouth's corners, one-sided.
        s.check("mouth_right_corner", lambda: g.drag(*GRAB_CORNER_R, 60, 0), changes=[MOUTH_R], keeps=[MOUTH_L])
        s.check("mouth_left_corner", lambda: g.drag(*GRAB_CORNER_L, -60, 0), changes=[MOUTH_L], keeps=[MOUTH_R])
        s.check("mouth_corner_row", lambda: g.drag(*GRAB_CORNER_R, 0, 35), changes=[MOUTH_R], keeps=[MOUTH_L])
        # The centre: down by 31 to 35 units shows the teeth, beyond 35 the
        # lips. One-pixel steps (1.6 units), slow enough that a busy machine
        # does not merge them, land within the narrow band.
        _, teeth = s.check("teeth_mode", lambda: g.drag(*GRAB_CENTRE, 0, 33, step=1, pause=0.05),
                           changes=[MOUTH_R, MOUTH_L])
        white = white_pixels(g, teeth)
        assert white > 100, "no teeth show: %d white pixels" % white
        s.check("teeth_corner", lambda: g.drag(*GRAB_CORNER_R, 60, 0), changes=[MOUTH_R], keeps=[MOUTH_L])
        # From the teeth, down by more than 30: the lips.
        _, lips = s.check("lips_mode", lambda: g.drag(*GRAB_CENTRE, 0, 33, step=1, pause=0.05),
                          changes=[MOUTH_R, MOUTH_L])
        white = white_pixels(g, lips)
        assert white < 10, "the teeth still show: %d white pixels" % white
        s.check("lips_corner", lambda: g.drag(*GRAB_CORNER_R, 60, 0), changes=[MOUTH_R], keeps=[MOUTH_L])

        # Tongue mode with the lips: the tongue shows in front of them.
        before, after = s.check("tongue_out_lips", lambda: g.press_button(TONGUE), changes=[MOUTH])
        tongue = before.changed_centre(after, g.to_window_box(*MOUTH))
        vx, vy = g.to_virtual(*tongue)
        s.check("tongue_lips_up", lambda: g.drag(vx, vy, 0, -40), changes=[MOUTH])
        # Taps on the tongue take it between the lips, then inside.
        before, after = s.check("tongue_lips_right", lambda: g.drag(vx, vy - 10, 20, 0, step=4), changes=[MOUTH])
        tongue = before.changed_centre(after, g.to_window_box(*MOUTH))
        tap = g.to_virtual(*tongue)
        s.check("tongue_tap_depth", lambda: g.click(*tap), changes=[MOUTH])
        s.check("tongue_in", lambda: g.press_button(TONGUE), changes=[MOUTH])
        # Up by more than 35 from the lips: the smiling mouth again.
        s.check("smile_mode", lambda: g.drag(*GRAB_CENTRE, 0, -45, step=30), changes=[MOUTH])
        before, after = s.check("tongue_out_smile", lambda: g.press_button(TONGUE), changes=[MOUTH])
        tongue = before.changed_centre(after, g.to_window_box(*MOUTH))
        vx, vy = g.to_virtual(*tongue)
        s.check("tongue_smile_down", lambda: g.drag(vx, vy, 0, 40), changes=[MOUTH], keeps=[EYE_R, EYE_L])
        g.assert_running()
        assert not g.log.snapshot(), g.log.snapshot()
    finally:
        if g:
            g.stop()
        x.stop()


def boy_run(grimalou, send_close, out_dir):
    x = Xvfb()
    g = None
    try:
        g = Grimalou(grimalou, x)
        s = Steps(g, out_dir, "boy")
        s.check("choose_boy", lambda: g.choose(girl=False), changes=[FACE], least=20000)
        s.check("menu", lambda: g.press_button(MENU), changes=[(1184, 120, 1270, 500)], keeps=[FACE])
        _, armed = s.check("record_armed", lambda: g.press_button(RECORD), changes=[(1190, 320, 1270, 400)],
                           keeps=[FACE])
        start = armed

        # About two seconds of exercise, one tongue press among the drags.
        def exercise():
            g.drag(*GRAB_EYE_R, 0, -40)
            g.drag(*GRAB_CORNER_R, 60, 0)
            g.press_button(TONGUE)
            g.drag(*GRAB_BROW_R["outer"], 0, -20, step=2)
            g.drag(*GRAB_CORNER_L, -60, 0)
        s.check("recorded_exercise", exercise, changes=[EYE_R, BROW_R, MOUTH])
        live = s.before
        play_box = g.to_window_box(1190, 420, 1270, 500)
        face_box = g.to_window_box(*FACE)
        # Play starts from the face as it was when recording was armed, and
        # the play button shows its playing picture until the end.
        g.press_button(PLAY)
        # The picture moves while it plays: no waiting for a settled one here.
        assert until(lambda: g.shot().changed(live, play_box) > 0), "the playback did not start"
        # Played back, the button shows its first picture again.
        replayed = g.settle(lambda p: p.changed(live, play_box) == 0, timeout=DEADLINE + 15)
        assert replayed.changed(live, play_box) == 0, "the playback did not end"
        replayed.save_png(os.path.join(out_dir, "boy_replayed.png"))
        assert start.changed(live, face_box) > 1000, "the recorded exercise changed nothing"
        differ = replayed.changed(live, face_box)
        assert differ == 0, "the replayed face differs from the live one in %d pixels" % differ

        # A larger window: the virtual screen is letterboxed (1440 x 900 at
        # x 80), and the buttons answer at their drawn places.
        g.resize(1600, 900)
        assert letterbox(1600, 900) == (80, 0, 1440, 900)
        wide = Steps(g, out_dir, "boy_1600x900")
        _, shot = wide.check("tongue_in", lambda: g.press_button(TONGUE), changes=[MOUTH])
        # Nothing is drawn in the letterbox bars.
        for bar in [(0, 0, 79, 900), (1521, 0, 1600, 900)]:
            assert shot.count(bar, lambda r, gr, b: (r, gr, b) != (255, 255, 255)) == 0, bar
        wide.check("menu_hides", lambda: g.press_button(MENU), changes=[(1184, 120, 1270, 500)], keeps=[FACE])
        wide.check("eyes_down", lambda: g.drag(*GRAB_EYE_R, 0, 40), changes=[EYE_R, EYE_L])

        status = g.close(send_close)
        assert status == 0, (status, g.log.snapshot(), g.log.errors)
        assert not g.log.snapshot(), g.log.snapshot()
    finally:
        if g:
            g.stop()
        x.stop()


def main(grimalou, send_close, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    girl_run(grimalou, out_dir)
    boy_run(grimalou, send_close, out_dir)
    print("application: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
