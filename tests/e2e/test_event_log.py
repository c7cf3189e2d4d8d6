"""The host and the framework end to end: the test application logs every
delegate call and input event while xdotool plays the user.

Usage: test_event_log.py EVENT_LOG_APP SEND_CLOSE SCREENSHOT_PNG"""

import subprocess
import sys
import time

from e2e_support import LoggedProcess, Xvfb, find_window, geometry, until, xdotool


def ticks_between(lines, start, end):
    return sum(1 for line in lines[start:end] if line.startswith("OnTick"))


def pixel(env, x, y):
    """The screen's colour at (x, y) as an (r, g, b) tuple of 0..255."""
    text = subprocess.run(["import", "-window", "root", "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "txt:-"],
                          env=env, check=True, capture_output=True, text=True, timeout=30).stdout
    values = text.splitlines()[1].split("(")[1].split(")")[0].split(",")
    return tuple(int(float(v)) for v in values[:3])


def check_without_app(app):
    """No application: no delegate, no window, exit status 0."""
    x = Xvfb()
    try:
        result = subprocess.run([app, "--no-app"], env=x.env, capture_output=True, text=True, timeout=20)
        assert result.returncode == 0, result
        assert result.stdout == "", result.stdout
        windows = subprocess.run(["xdotool", "search", "--name", "Grimalou"], env=x.env, capture_output=True,
                                 text=True, timeout=10).stdout
        assert windows == "", windows
    finally:
        x.stop()


def check_throw_at_start(app):
    """A throwable out of the program main: only the uncaught report, and
    status 255."""
    x = Xvfb()
    try:
        result = subprocess.run([app, "--throw"], env=x.env, capture_output=True, text=True, timeout=20)
        assert result.returncode == 255, result
        assert result.stdout == "Ravlen Runtime Error : Uncaught Ravlen Exception\n", result.stdout
    finally:
        x.stop()


def main(app, send_close, screenshot):
    check_without_app(app)
    check_throw_at_start(app)
    x = Xvfb()
    app_process = None
    other = None
    try:
        app_process = LoggedProcess([app], x.env)
        window = find_window(x.env, "Grimalou")
        app_process.wait_for(r"^OnTick")

        # The window: title, size and centred position on the 1920 x 1080 screen.
        assert geometry(x.env, window) == (560, 290, 800, 500), geometry(x.env, window)
        assert xdotool(x.env, "getwindowname", window).strip() == "Grimalou"
        # The frames drawn through the window's context cover exactly it.
        green = (64, 159, 96)

        def is_green(point):
            return all(abs(a - b) <= 2 for a, b in zip(pixel(x.env, *point), green))
        # The first frame was presented before the first update; a busy X
        # server may take a moment to show it.
        assert until(lambda: is_green((960, 540))), pixel(x.env, 960, 540)
        subprocess.run(["import", "-window", "root", screenshot], env=x.env, check=True, timeout=30)
        for corner in [(560, 290), (1359, 789), (960, 540)]:
            assert is_green(corner), (corner, pixel(x.env, *corner))
        for outside in [(559, 290), (1360, 789), (10, 10)]:
            assert pixel(x.env, *outside) == (0, 0, 0), (outside, pixel(x.env, *outside))

        # Start, then OnSetup, and a frame is drawn before the first update.
        lines = app_process.snapshot()
        start = lines.index("Start")
        setup = lines.index("OnSetup")
        first_draw = lines.index("OnDraw")
        first_tick = next(i for i, l in enumerate(lines) if l.startswith("OnTick"))
        assert start < setup < first_draw < first_tick, lines[:12]
        # Nothing reached the delegate before Start (the window's own early
        # events are dropped by the host).
        assert start == 0, lines[:5]

        # About 60 updates per second, over two seconds of the clock. The
        # loop catches up with up to four updates a pass, so even a busy
        # machine keeps the rate; the bounds leave room for one slow pass.
        mark = len(app_process.snapshot())
        began = time.time()
        time.sleep(2.0)
        lines = app_process.snapshot()
        rate = ticks_between(lines, mark, len(lines)) / (time.time() - began)
        assert 45 <= rate <= 75, rate
        print("updates per second:", round(rate, 1))

        # Mouse: a move, a press, a drag and a release, in window coordinates.
        mark = len(app_process.snapshot())
        xdotool(x.env, "mousemove", "--window", window, 100, 120)
        app_process.wait_for(r"^MouseInput 6 -1 100 120$", start=mark)
        xdotool(x.env, "mousedown", 1)
        press = app_process.wait_for(r"^MouseInput 4 0 100 120$", start=mark)
        # The next update sees the press as one hit.
        app_process.wait_for(r"^OnTick \d+ hits 1$", start=press)
        xdotool(x.env, "mousemove", "--window", window, 150, 160)
        app_process.wait_for(r"^MouseInput 6 -1 150 160$", start=press)
        xdotool(x.env, "mouseup", 1)
        app_process.wait_for(r"^MouseInput 5 0 150 160$", start=press)
        xdotool(x.env, "click", 3)
        app_process.wait_for(r"^MouseInput 4 1 150 160$", start=press)
        app_process.wait_for(r"^MouseInput 5 1 150 160$", start=press)

        # A held letter repeats its key-down; its character comes from the
        # character event, and the release ends it.
        mark = len(app_process.snapshot())
        xdotool(x.env, "keydown", "a")
        time.sleep(1.2)
        xdotool(x.env, "keyup", "a")
        release = app_process.wait_for(r"^KeyInput 2 65$", start=mark)
        keys = [l for l in app_process.snapshot()[mark:release + 1] if l.startswith("KeyInput")]
        downs = keys.count("KeyInput 1 65")
        chars = keys.count("KeyInput 3 97")
        print("key-downs of a letter held for 1.2 s:", downs)
        assert downs >= 2, keys  # the press and its auto-repeats
        assert chars == downs, keys
        assert keys[0] == "KeyInput 1 65" and keys[-1] == "KeyInput 2 65", keys

        # An arrow key types its own character with each press.
        mark = len(app_process.snapshot())
        xdotool(x.env, "key", "Left")
        end = app_process.wait_for(r"^KeyInput 2 37$", start=mark)
        keys = [l for l in app_process.snapshot()[mark:end + 1] if l.startswith("KeyInput")]
        assert keys == ["KeyInput 1 37", "KeyInput 3 65573", "KeyInput 2 37"], keys
        # Shift is a key, and typing a capital gives its character.
        mark = len(app_process.snapshot())
        xdotool(x.env, "key", "shift+b")
        app_process.wait_for(r"^KeyInput 3 66$", start=mark)
        app_process.wait_for(r"^KeyInput 1 16$", start=mark)

        # Another window takes the focus: the game suspends and updates stop;
        # frames are still drawn after each batch of events.
        other = subprocess.Popen(["xmessage", "-name", "other", "other window"], env=x.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        other_window = find_window(x.env, "other")
        mark = len(app_process.snapshot())
        xdotool(x.env, "windowfocus", "--sync", other_window)
        suspended_at = app_process.wait_for(r"^Suspend$", start=mark)
        time.sleep(1.0)
        lines = app_process.snapshot()
        assert ticks_between(lines, suspended_at + 1, len(lines)) == 0, lines[suspended_at:]
        # Events while suspended still arrive and a frame follows them.
        mark = len(lines)
        xdotool(x.env, "mousemove", "--window", window, 10, 10)
        moved = app_process.wait_for(r"^MouseInput 6 -1 10 10$", start=mark)
        app_process.wait_for(r"^OnDraw$", start=moved)

        mark = len(app_process.snapshot())
        xdotool(x.env, "windowfocus", "--sync", window)
        resumed = app_process.wait_for(r"^Resume$", start=mark)
        app_process.wait_for(r"^OnTick", start=resumed)
        # A second loss and regain behave the same.
        xdotool(x.env, "windowfocus", "--sync", other_window)
        again = app_process.wait_for(r"^Suspend$", start=resumed)
        xdotool(x.env, "windowfocus", "--sync", window)
        app_process.wait_for(r"^Resume$", start=again)

        # Resizing redraws at the new size at once.
        mark = len(app_process.snapshot())
        xdotool(x.env, "windowsize", window, 640, 400)
        redraw = app_process.wait_for(r"^Render 640 400$", start=mark)
        # The line after it may still be on its way: wait for it to come.
        app_process.wait_for(r".", start=redraw + 1)
        assert app_process.snapshot()[redraw + 1] == "OnDraw", app_process.snapshot()[redraw:redraw + 3]

        # Closing the way a window manager does: the close key, then exit 0.
        mark = len(app_process.snapshot())
        subprocess.run([send_close, window], env=x.env, check=True, timeout=10)
        status = app_process.process.wait(timeout=10)
        app_process.reader.join(timeout=5)
        tail = app_process.snapshot()[mark:]
        assert "KeyInput 1 432" in tail, tail
        assert "KeyInput 2 432" not in tail, tail  # the process ends on the press
        assert status == 0, status
        print("event log: all checks passed")
        return 0
    finally:
        if other:
            other.kill()
            other.wait()
        if app_process:
            app_process.stop()
        x.stop()


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
