"""The keyboard on the real executable: the help over the face and a click
closing it, every key with the menu closed, a recording made and played with
keys, full screen and back, Home and the other child.

Usage: test_keys.py GRIMALOU SEND_CLOSE OUTPUT_FOLDER"""

import os
import subprocess
import sys
import time

from e2e_support import LoggedProcess, Xvfb, find_window, geometry, xdotool


def shot(env, window, path):
    subprocess.run(["import", "-window", window, path], env=env, check=True, timeout=30)
    return path


def pixel(env, path, x, y):
    """The (r, g, b) of one pixel of a PNG, through ImageMagick."""
    text = subprocess.run(["convert", path, "-format", "%%[fx:int(255*p{%d,%d}.r)] %%[fx:int(255*p{%d,%d}.g)] "
                           "%%[fx:int(255*p{%d,%d}.b)]" % (x, y, x, y, x, y), "info:"],
                          env=env, check=True, capture_output=True, text=True, timeout=30).stdout
    return tuple(int(v) for v in text.split())


def same_pictures(env, a, b):
    result = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], env=env, capture_output=True, text=True,
                            timeout=30)
    return result.stderr.strip() == "0"


def until(check, timeout=8):
    """Polls until check() holds: a slow (sanitized) program may take several
    frames to show what it was told."""
    deadline = time.time() + timeout
    while True:
        if check():
            return True
        if time.time() > deadline:
            return False
        time.sleep(0.2)


def key(env, window, name):
    xdotool(env, "key", "--window", window, name)
    time.sleep(0.3)


def drag(env, window, x, y, dx, dy, steps=10):
    xdotool(env, "mousemove", "--window", window, x, y)
    xdotool(env, "mousedown", "1")
    for i in range(1, steps + 1):
        xdotool(env, "mousemove", "--window", window, x + dx * i // steps, y + dy * i // steps)
        time.sleep(0.03)
    time.sleep(0.1)
    xdotool(env, "mouseup", "1")


def main():
    grimalou, send_close, out = sys.argv[1:4]
    os.makedirs(out, exist_ok=True)
    x = Xvfb()
    process = None
    try:
        process = LoggedProcess([grimalou], x.env)
        window = find_window(x.env, "Grimalou")
        title = os.path.join(out, "keys_title.png")
        # The girl's picture stands at (243, 249), neither white nor black.
        assert until(lambda: pixel(x.env, shot(x.env, window, title), 243, 249) not in [(255,) * 3, (0,) * 3]), \
            "the title never showed"
        xdotool(x.env, "mousemove", "--window", window, 240, 220, "click", "1")
        time.sleep(1)

        # The help: a dark panel over the face's middle; a click closes it
        # and does nothing else.
        face = shot(x.env, window, os.path.join(out, "keys_face.png"))
        helped = os.path.join(out, "keys_help.png")
        key(x.env, window, "F1")

        def panel():
            r, g, b = pixel(x.env, shot(x.env, window, helped), 400, 250)
            return r < 80 and g < 80 and b < 110
        assert until(panel), ("no help panel", pixel(x.env, helped, 400, 250))
        xdotool(x.env, "mousemove", "--window", window, 37, 100, "click", "1")
        closed = os.path.join(out, "keys_closed.png")
        assert until(lambda: same_pictures(x.env, face, shot(x.env, window, closed))), \
            "the click that closed the help changed the face"

        # With the menu closed every key acts as its hidden button would.
        face = shot(x.env, window, face)
        changed = os.path.join(out, "keys_changed.png")
        for name, back in [("d", "BackSpace"), ("t", "t")]:
            key(x.env, window, name)
            assert until(lambda: not same_pictures(x.env, face, shot(x.env, window, changed))), name
            key(x.env, window, back)
            assert until(lambda: same_pictures(x.env, face, shot(x.env, window, changed))), back

        # Record a drag of the right eye with R, play it with Space, the
        # menu still closed.
        key(x.env, window, "r")
        drag(x.env, window, 460, 228, 0, -45)
        time.sleep(0.5)
        key(x.env, window, "r")
        live = os.path.join(out, "keys_live.png")
        assert until(lambda: not same_pictures(x.env, face, shot(x.env, window, live))), \
            "the drag did not move the eye"
        time.sleep(0.5)
        shot(x.env, window, live)
        key(x.env, window, "space")
        started = os.path.join(out, "keys_playing.png")
        assert until(lambda: not same_pictures(x.env, live, shot(x.env, window, started))), \
            "space did not start the playback from the snapshot"
        played = os.path.join(out, "keys_played.png")
        assert until(lambda: same_pictures(x.env, live, shot(x.env, window, played)), timeout=20), \
            "the playback ended elsewhere than the live drag"

        # Full screen and back to the same place and size.
        before = geometry(x.env, window)
        key(x.env, window, "F11")
        assert until(lambda: geometry(x.env, window)[2:] == (1920, 1080)), geometry(x.env, window)
        shot(x.env, window, os.path.join(out, "keys_fullscreen.png"))
        key(x.env, window, "F11")
        assert until(lambda: geometry(x.env, window) == before), (geometry(x.env, window), before)

        # Home: the title as at start-up, then the boy's face.
        key(x.env, window, "Home")
        home = os.path.join(out, "keys_home.png")
        assert until(lambda: same_pictures(x.env, title, shot(x.env, window, home))), "Home did not show the title"
        xdotool(x.env, "mousemove", "--window", window, 556, 249, "click", "1")
        boy = os.path.join(out, "keys_boy.png")
        assert until(lambda: not same_pictures(x.env, title, shot(x.env, window, boy))), "the boy was not chosen"
        time.sleep(0.5)
        assert not same_pictures(x.env, face, shot(x.env, window, boy)), "the girl again"

        subprocess.run([send_close, window], env=x.env, check=True, timeout=10)
        status = process.process.wait(timeout=10)
        assert status == 0, (status, process.snapshot(), process.errors)
    finally:
        if process:
            process.stop()
        x.stop()
    print("keys: help, recording by keys, full screen: ok")


if __name__ == "__main__":
    main()
