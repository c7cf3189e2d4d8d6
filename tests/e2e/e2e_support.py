"""Helpers for the end-to-end tests: a private X server, a process whose
output lines are collected as they come, and xdotool."""

import os
import re
import subprocess
import threading
import time

# A sanitized program runs several times slower: every deadline scales.
TIME_FACTOR = 3 if os.environ.get("GRIMALOU_SANITIZED") == "1" else 1
# Generous: a deadline only bounds a wait for something that should come much
# sooner, on a machine whose cores are all busy with something else.
DEADLINE = 20 * TIME_FACTOR


def until(check, timeout=DEADLINE, pause=0.05):
    """Polls until check() gives a true value, which it returns; None after
    the deadline."""
    deadline = time.time() + timeout
    while True:
        value = check()
        if value:
            return value
        if time.time() > deadline:
            return None
        time.sleep(pause)


class Xvfb:
    """A private 1920x1080x24 X server; Xvfb picks a free display number."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1920x1080x24", "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.process.kill()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        self.env = dict(os.environ, DISPLAY=self.display, ALSOFT_DRIVERS="null")

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


class LoggedProcess:
    """A process whose standard output lines are gathered by a thread. Its
    standard input is empty: a runtime error's debugger prompt then ends at
    once instead of waiting for the test's terminal."""

    def __init__(self, argv, env, cwd=None):
        self.process = subprocess.Popen(argv, env=env, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, text=True)
        self.lines = []
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        self.errors = []
        self.error_reader = threading.Thread(target=self._read_errors, daemon=True)
        self.error_reader.start()

    def _read(self):
        for line in self.process.stdout:
            with self.lock:
                self.lines.append(line.rstrip("\n"))

    def _read_errors(self):
        for line in self.process.stderr:
            self.errors.append(line.rstrip("\n"))

    def snapshot(self):
        with self.lock:
            return list(self.lines)

    def wait_for(self, pattern, timeout=DEADLINE, start=0):
        """Index of the first line from `start` on matching the pattern."""
        regex = re.compile(pattern)
        deadline = time.time() + timeout
        while time.time() < deadline:
            lines = self.snapshot()
            for i in range(start, len(lines)):
                if regex.search(lines[i]):
                    return i
            if self.process.poll() is not None and not self.reader.is_alive():
                break
            time.sleep(0.02)
        raise AssertionError("no line matching %r within %ss; last lines: %s"
                             % (pattern, timeout, self.snapshot()[-15:]))

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=10)


def xdotool(env, *args):
    return subprocess.run(["xdotool"] + [str(a) for a in args], env=env, check=True, capture_output=True,
                          text=True, timeout=20).stdout


def find_window(env, name, timeout=DEADLINE):
    """A mapped window with this exact name. A window is created hidden and
    placed before it is shown, so an unmapped one is not ready to look at."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name], env=env, capture_output=True,
                               text=True, timeout=10).stdout.split()
        if found:
            return found[0]
        time.sleep(0.05)
    raise AssertionError("no window named %s" % name)


def geometry(env, window):
    text = xdotool(env, "getwindowgeometry", window)
    position = re.search(r"Position: (-?\d+),(-?\d+)", text)
    size = re.search(r"Geometry: (\d+)x(\d+)", text)
    return (int(position.group(1)), int(position.group(2)), int(size.group(1)), int(size.group(2)))


def cpu_seconds(pid):
    """User plus system time of a process, from /proc."""
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    ticks = int(fields[11]) + int(fields[12])
    return ticks / os.sysconf("SC_CLK_TCK")
