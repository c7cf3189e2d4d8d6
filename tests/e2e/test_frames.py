"""Frames end to end: the program draws only when its picture can have
changed, and still answers at once and repairs what the window system lost.

  1. After 8 s without input, a drag on the eye shows.
  2. Another window over the face and away again: the face is drawn again.
  3. Lips mode, the tongue out and tapped between the lips (clipped to
     them), the face reset, then full screen (F11): the whole letterboxed
     face is drawn, nothing of it left black.

Usage: test_frames.py GRIMALOU OUTPUT_DIR"""

import os
import subprocess
import sys
import time

from e2e_support import Xvfb, find_window, geometry, until
from grimalou_driver import TONGUE, Grimalou, letterbox
from test_app import EYE_L, EYE_R, FACE, GRAB_CENTRE, GRAB_EYE_R, MOUTH

IDLE_SECONDS = 8


def idle_then_drag(g, out_dir):
    time.sleep(IDLE_SECONDS)
    before = g.shot()
    g.drag(*GRAB_EYE_R, 0, -40)
    after = g.settle_changed(before, g.to_window_box(*EYE_R), least=40)
    after.save_png(os.path.join(out_dir, "frames_1_eye_after_idle.png"))
    for eye in (EYE_R, EYE_L):  # paired: both move
        assert before.changed(after, g.to_window_box(*eye)) >= 40, "%s did not move after the idle time" % (eye,)
    return after


def expose(g, drawn, out_dir):
    # A window over the middle of the face, then gone.
    wx, wy = geometry(g.env, g.window)[:2]
    x, y = g.to_window(FACE[0] + 150, 250)
    cover = subprocess.Popen(["xlogo", "-geometry", "400x300+%d+%d" % (wx + x, wy + y)], env=g.env,
                             stderr=subprocess.DEVNULL)
    try:
        find_window(g.env, "xlogo")
        assert until(lambda: drawn.changed(g.shot()) > 10000), "the covering window did not show"
    finally:
        cover.kill()
        cover.wait()
    again = g.settle(lambda p: drawn.changed(p) == 0)
    again.save_png(os.path.join(out_dir, "frames_2_after_expose.png"))
    assert drawn.changed(again) == 0, "%d pixels not drawn again after the expose" % drawn.changed(again)


def black_pixels(picture, box=None):
    box = box or (0, 0, picture.width, picture.height)
    return picture.count(box, lambda r, gr, b: r + gr + b == 0)


def lips_then_full_screen(g, out_dir):
    # The centre dragged down twice: the teeth, then the lips.
    g.drag(*GRAB_CENTRE, 0, 33, step=1, pause=0.05)
    g.drag(*GRAB_CENTRE, 0, 33, step=1, pause=0.05)
    before = g.settle()
    g.press_button(TONGUE)
    out = g.settle_changed(before, g.to_window_box(*MOUTH), least=40)
    tongue = before.changed_centre(out, g.to_window_box(*MOUTH))
    g.click(*g.to_virtual(*tongue))
    clipped = g.settle_changed(out, g.to_window_box(*MOUTH), least=40)
    clipped.save_png(os.path.join(out_dir, "frames_3_tongue_between_lips.png"))
    assert out.changed(clipped, g.to_window_box(*MOUTH)) >= 40, "the tap did not take the tongue between the lips"
    g.key("BackSpace")
    g.key("F11")
    full = g.settle(lambda p: (p.width, p.height) == (1920, 1080))
    full.save_png(os.path.join(out_dir, "frames_4_full_screen.png"))
    assert (full.width, full.height) == (1920, 1080), "not full screen"
    black = black_pixels(full)
    assert black < full.width * full.height // 100, "%d black pixels in full screen" % black
    # The face reaches the far corner of the letterbox: its bottom-right
    # part (the shirt) is drawn, not black.
    x, y, w, h = letterbox(full.width, full.height)
    assert black_pixels(full, (x + w * 3 // 4, y + h * 3 // 4, x + w, y + h)) == 0, "the face's bottom-right is black"


def main(grimalou, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    x = Xvfb()
    g = None
    try:
        g = Grimalou(grimalou, x)
        g.choose(girl=True)
        drawn = idle_then_drag(g, out_dir)
        expose(g, drawn, out_dir)
        lips_then_full_screen(g, out_dir)
        g.assert_running()
        print("ok")
        return 0
    finally:
        if g:
            g.stop()
        x.stop()


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
