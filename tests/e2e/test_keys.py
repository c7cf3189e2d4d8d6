"""The keyboard on the real executable: the help over the face and a click
closing it, every key with the menu closed, a recording made and played with
keys, full screen and back, Home and the other child.

Usage: test_keys.py GRIMALOU SEND_CLOSE OUTPUT_FOLDER"""

import os
import sys
import time

from e2e_support import DEADLINE, Xvfb, geometry, until, xdotool
from grimalou_driver import Grimalou


def key(g, name):
    xdotool(g.env, "key", "--window", g.window, name)


def drag(g, x, y, dx, dy, steps=10):
    """A drag in window pixels, paced so that ticks see its samples."""
    xdotool(g.env, "mousemove", "--window", g.window, x, y)
    xdotool(g.env, "mousedown", "1")
    for i in range(1, steps + 1):
        xdotool(g.env, "mousemove", "--window", g.window, x + dx * i // steps, y + dy * i // steps)
        time.sleep(0.03)
    time.sleep(0.1)
    xdotool(g.env, "mouseup", "1")


def dark_panel(picture):
    # Bottom right of the panel, where it shows no drawing or text.
    r, gr, b = picture.pixel(770, 470)
    return r < 80 and gr < 80 and b < 110


def main():
    grimalou, send_close, out = sys.argv[1:4]
    os.makedirs(out, exist_ok=True)
    x = Xvfb()
    g = None
    try:
        g = Grimalou(grimalou, x)
        title = g.shot()
        face = g.choose(girl=True)
        face.save_png(os.path.join(out, "keys_face.png"))

        # The help: a dark panel over the face's middle; a click closes it
        # and does nothing else.
        key(g, "F1")
        helped = g.settle(dark_panel)
        helped.save_png(os.path.join(out, "keys_help.png"))
        assert dark_panel(helped), ("no help panel", helped.pixel(770, 470))
        xdotool(x.env, "mousemove", "--window", g.window, 37, 100, "click", "1")
        closed = g.settle(lambda p: p.pixels == face.pixels)
        closed.save_png(os.path.join(out, "keys_closed.png"))
        assert closed.pixels == face.pixels, "the click that closed the help changed the face"

        # With the menu closed every key acts as its hidden button would.
        for name, back in [("d", "BackSpace"), ("t", "t")]:
            key(g, name)
            assert g.settle_changed(face).pixels != face.pixels, name
            key(g, back)
            assert g.settle(lambda p: p.pixels == face.pixels).pixels == face.pixels, back

        # The mouth's renderings by key: teeth, lips, and the smile again.
        previous = face
        for name in ["e", "p", "g"]:
            key(g, name)
            now = g.settle_changed(previous)
            now.save_png(os.path.join(out, "keys_mouth_%s.png" % name))
            assert now.pixels != previous.pixels, name
            previous = now
        assert previous.pixels == face.pixels, "G did not bring the smile back"

        # Record a drag of the right eye with R, play it with Space, the menu
        # still closed. Each step waits for the one before to show, so that a
        # slow program does not see the drag and the keys around it in one
        # tick.
        key(g, "r")
        armed = g.settle_changed(face)
        drag(g, 460, 228, 0, -45)
        live = g.settle_changed(armed, g.to_window_box(467, 310, 813, 406))
        key(g, "r")
        live = g.settle_changed(live)
        live.save_png(os.path.join(out, "keys_live.png"))
        assert live.changed(face, g.to_window_box(467, 310, 813, 406)) > 0, "the drag did not move the eye"
        key(g, "space")
        # The picture moves while it plays: no waiting for a settled one here.
        started = until(lambda: g.shot().changed(live) > 0)
        assert started, "space did not start the playback from the snapshot"
        played = g.settle(lambda p: p.pixels == live.pixels, timeout=DEADLINE + 10)
        played.save_png(os.path.join(out, "keys_played.png"))
        assert played.pixels == live.pixels, "the playback ended elsewhere than the live drag"

        # Full screen and back to the same place and size.
        before = geometry(x.env, g.window)
        key(g, "F11")
        assert until(lambda: geometry(x.env, g.window)[2:] == (1920, 1080)), geometry(x.env, g.window)
        g.settle().save_png(os.path.join(out, "keys_fullscreen.png"))
        key(g, "F11")
        assert until(lambda: geometry(x.env, g.window) == before), (geometry(x.env, g.window), before)

        # Home: the recording is no file's, so the program asks first;
        # Discard, and the title as at start-up, then the boy's face.
        key(g, "Home")
        asked = g.settle_changed(played)
        asked.save_png(os.path.join(out, "keys_keep.png"))
        g.click(640, 485)
        home = g.settle(lambda p: p.pixels == title.pixels)
        home.save_png(os.path.join(out, "keys_home.png"))
        assert home.pixels == title.pixels, "Home did not show the title"
        boy = g.choose(girl=False)
        boy.save_png(os.path.join(out, "keys_boy.png"))
        assert boy.pixels != face.pixels, "the girl again"

        status = g.close(send_close)
        assert status == 0, (status, g.log.snapshot(), g.log.errors)
    finally:
        if g:
            g.stop()
        x.stop()
    print("keys: help, recording by keys, full screen: ok")


if __name__ == "__main__":
    main()
