"""Running an installed copy of the program the way a desktop starts it."""

import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e_support import LoggedProcess, Xvfb, find_window  # noqa: E402


def colour_count(env, window, screenshot):
    subprocess.run(["import", "-window", window, screenshot], env=env, check=True, timeout=30)
    return int(subprocess.run(["convert", screenshot, "-format", "%k", "info:"], check=True, capture_output=True,
                              text=True, timeout=30).stdout)


def check_runs_elsewhere(program, send_close, screenshot, icon=True):
    """Starts `program` from an empty working folder: it finds its data beside
    its real file, so its window shows pictures (not a cleared window) and
    carries the icon (without the icon pictures, none); closing the window
    ends it with status 0 and leaves the working folder empty. Returns the window's class, by which a desktop
    matches the window to its launcher."""
    x = Xvfb()
    process = None
    here = os.getcwd()
    with tempfile.TemporaryDirectory() as elsewhere:
        try:
            os.chdir(elsewhere)
            process = LoggedProcess([program], x.env)
            os.chdir(here)
            window = find_window(x.env, "Grimalou")
            deadline = time.time() + 10
            # Drawn pictures have many colours along their smoothed edges.
            while colour_count(x.env, window, screenshot) < 16:
                assert time.time() < deadline, "the window shows no picture: %s" % process.snapshot()
                time.sleep(0.2)
            shown = subprocess.run(["xprop", "-id", window, "_NET_WM_ICON"], env=x.env, check=True,
                                   capture_output=True, text=True, timeout=10).stdout
            if icon:
                assert "Icon (16 x 16)" in shown and "Icon (32 x 32)" in shown, shown[:200]
            else:
                assert "not found" in shown, shown[:200]
            wm_class = subprocess.run(["xprop", "-id", window, "WM_CLASS"], env=x.env, check=True,
                                      capture_output=True, text=True, timeout=10).stdout
            subprocess.run([send_close, window], env=x.env, check=True, timeout=10)
            status = process.process.wait(timeout=10)
            assert status == 0, (status, process.snapshot(), process.errors)
            assert os.listdir(elsewhere) == [], os.listdir(elsewhere)
            # WM_CLASS(STRING) = "instance", "class"
            return wm_class.split('"')[3]
        finally:
            os.chdir(here)
            if process:
                process.stop()
            x.stop()
