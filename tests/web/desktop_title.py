"""Saves the desktop program's title screen at 800 x 500 as a PNG, for the
browser test to compare with: desktop_title.py EXECUTABLE OUT.png"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from e2e_support import Xvfb  # noqa: E402
from grimalou_driver import Grimalou  # noqa: E402


def main():
    executable, out = sys.argv[1:3]
    x = Xvfb()
    try:
        g = Grimalou(executable, x)
        try:
            g.shot().save_png(out)
        finally:
            g.stop()
    finally:
        x.stop()


if __name__ == "__main__":
    main()
