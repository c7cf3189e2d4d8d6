"""Measures the processor time the executable uses over ten seconds while
running (60 updates per second, nothing drawn) and over ten seconds while
suspended (another window has the focus). Run on demand:

    python3 tests/e2e/measure_cpu.py build/grimalou"""

import subprocess
import sys
import time

from e2e_support import LoggedProcess, Xvfb, cpu_seconds, find_window, xdotool

SECONDS = 10


def measure(pid):
    before = cpu_seconds(pid)
    time.sleep(SECONDS)
    return cpu_seconds(pid) - before


def main(grimalou):
    x = Xvfb()
    process = other = None
    try:
        process = LoggedProcess([grimalou], x.env)
        find_window(x.env, "Grimalou")
        time.sleep(1)
        running = measure(process.process.pid)
        other = subprocess.Popen(["xmessage", "-name", "other", "other window"], env=x.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        xdotool(x.env, "windowfocus", "--sync", find_window(x.env, "other"))
        time.sleep(1)
        suspended = measure(process.process.pid)
        print("running:   %.2f s of processor time in %d s (%.1f%%)" % (running, SECONDS, 100 * running / SECONDS))
        print("suspended: %.2f s of processor time in %d s (%.1f%%)" % (suspended, SECONDS,
                                                                        100 * suspended / SECONDS))
        return 0
    finally:
        if other:
            other.kill()
            other.wait()
        if process:
            process.stop()
        x.stop()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
