"""The real executable: its command line, its window, closing it, starting
without a display, and the run script.

Usage: test_executable.py GRIMALOU SEND_CLOSE RUN_SCRIPT SCREENSHOT_PNG"""

import os
import re
import subprocess
import sys
import threading
import time

from e2e_support import LoggedProcess, Xvfb, find_window, geometry, until


def colours(env, window):
    """How many colours the window shows."""
    return int(subprocess.run(["convert", "x:" + window, "-format", "%k", "info:"], env=env, check=True,
                              capture_output=True, text=True, timeout=30).stdout or 0)


def check_command_line(grimalou):
    # Answered before any window: no display is needed.
    env = dict(os.environ)
    env.pop("DISPLAY", None)

    def run(*arguments):
        return subprocess.run([grimalou, *arguments], env=env, capture_output=True, text=True, timeout=20)
    shown = run("--help")
    assert shown.returncode == 0 and shown.stderr == "", shown
    assert shown.stdout.startswith("Usage: grimalou") and "--fullscreen" in shown.stdout, shown.stdout
    version = run("--version")
    assert version.returncode == 0 and re.fullmatch(r"grimalou \d+\.\d+\.\d+\n", version.stdout), version
    for wrong, says in [(["--colour"], "unknown option '--colour'"), (["--fullscreen", "-x"], "unknown option '-x'"),
                        (["a.grimalou", "b.grimalou"], "one file at a time: unexpected argument 'b.grimalou'")]:
        refused = run(*wrong)
        assert refused.returncode == 2 and refused.stdout == "", refused
        assert refused.stderr.startswith("grimalou: " + says) and shown.stdout in refused.stderr, refused.stderr


def check_window_and_close(grimalou, send_close, screenshot):
    x = Xvfb()
    process = None
    try:
        process = LoggedProcess([grimalou], x.env)
        window = find_window(x.env, "Grimalou")
        assert geometry(x.env, window) == (560, 290, 800, 500), geometry(x.env, window)
        # The first frame: the window no longer shows one colour.
        assert until(lambda: colours(x.env, window) > 1), "the window shows nothing"
        subprocess.run(["import", "-window", "root", screenshot], env=x.env, check=True, timeout=30)
        assert process.process.poll() is None, "grimalou ended by itself"
        subprocess.run([send_close, window], env=x.env, check=True, timeout=10)
        status = process.process.wait(timeout=10)
        assert status == 0, (status, process.snapshot(), process.errors)
        # The errors the window system reported, if any, are printed on
        # standard output; a clean start has none.
        assert not [l for l in process.snapshot() if l.startswith("GLFW Error")], process.snapshot()
    finally:
        if process:
            process.stop()
        x.stop()


def check_no_display(grimalou):
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    result = subprocess.run([grimalou], env=env, capture_output=True, text=True, timeout=20)
    assert result.returncode == 255, result
    assert "glfwInit failed" in result.stdout.splitlines(), result.stdout


def check_run_script(run_script, grimalou):
    # Without a display the script starts a virtual one; grimalou then keeps
    # running until it is stopped.
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    process = subprocess.Popen(["bash", run_script, grimalou], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True, start_new_session=True)
    lines = []
    reader = threading.Thread(target=lambda: lines.extend(process.stdout), daemon=True)
    reader.start()
    try:
        assert until(lambda: any("starting Grimalou on a virtual display" in l for l in lines)), lines
        # Then it stays up: a program that failed on the virtual display
        # would end within moments of starting.
        time.sleep(2)
        assert process.poll() is None, lines
    finally:
        os.killpg(process.pid, 15)
        process.wait(timeout=20)


def main(grimalou, send_close, run_script, screenshot):
    check_command_line(grimalou)
    check_no_display(grimalou)
    check_window_and_close(grimalou, send_close, screenshot)
    check_run_script(run_script, grimalou)
    print("executable: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
