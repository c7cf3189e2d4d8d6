"""The icon set: the art generator draws the same pictures as those committed
in data/icons, and the scalable picture shows what the largest PNG shows.

Usage: test_icon.py ART_GENERATOR SOURCE_DIR"""

import os
import subprocess
import sys
import tempfile


def rgba(picture, side=None):
    """The picture's pixels as RGBA bytes; an SVG is rendered at `side`."""
    if picture.endswith(".svg"):
        png = subprocess.run(["rsvg-convert", "-w", str(side), "-h", str(side), picture], check=True,
                             capture_output=True, timeout=60).stdout
        picture = "png:-"
    else:
        png = None
    return subprocess.run(["convert", picture, "-depth", "8", "rgba:-"], input=png, check=True,
                          capture_output=True, timeout=60).stdout


def main(generator, source):
    committed = os.path.join(source, "data", "icons")
    with tempfile.TemporaryDirectory() as scratch:
        fresh = os.path.join(scratch, "icons")
        subprocess.run([generator, os.path.join(scratch, "data"), os.path.join(scratch, "docs"), fresh],
                       check=True, timeout=120)
        names = sorted(os.listdir(fresh))
        assert names == sorted(os.listdir(committed)), (names, "run `make art` and commit")
        for name in names:
            a, b = os.path.join(committed, name), os.path.join(fresh, name)
            if name.endswith(".svg"):
                same = open(a, "rb").read() == open(b, "rb").read()
            else:
                same = rgba(a) == rgba(b)
            assert same, name + " differs from a fresh run: run `make art` and commit"

    largest = max((n for n in names if n.endswith(".png")), key=lambda n: int(n.split(".")[0]))
    side = int(largest.split(".")[0])
    drawn, scaled = rgba(os.path.join(committed, largest)), rgba(os.path.join(committed, "scalable.svg"), side)
    assert len(drawn) == len(scaled) == side * side * 4
    # Both renderers are cairo's, so the same picture matches to a fraction
    # of a level on average; even the mirrored face is more than one level off.
    mean = sum(abs(p - q) for p, q in zip(drawn, scaled)) / len(drawn)
    assert mean < 0.25, "the SVG does not show the %s picture (mean difference %.2f)" % (largest, mean)
    print("icon: all checks passed (SVG against %s: mean difference %.3f)" % (largest, mean))
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
