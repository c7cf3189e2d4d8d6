"""The languages on the real executable: `--help` in French with a French
LANG and in English with LANG=C, and the help screen in French read back by
OCR with its accents. Screenshots of the French title, help and library are
kept in OUTPUT_FOLDER.

Usage: test_language.py GRIMALOU OUTPUT_FOLDER"""

import os
import shutil
import subprocess
import sys
import tempfile

from e2e_support import Xvfb
from grimalou_driver import Grimalou

# Words of the French help with their accents, as OCR reads them from a
# screenshot; most must be found (OCR misses a letter now and then).
FRENCH_WORDS = ["écran", "côtés", "bibliothèque", "Échap", "fenêtre", "lèvres", "départ", "répéter", "pâlit",
                "arrêt", "Flèches", "l'enregistrement"]


def environment(base, language):
    """`base` with the locale of `language` alone: nothing else chooses."""
    env = {k: v for k, v in base.items() if k not in ("LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG")}
    env["LANG"] = language
    return env


def check_usage(exe, home):
    failures = []
    for language, expected, absent in [("fr_FR.UTF-8", "Utilisation : grimalou", "Usage:"),
                                       ("C", "Usage: grimalou", "Utilisation")]:
        env = environment(dict(os.environ, XDG_CONFIG_HOME=home), language)
        out = subprocess.run([exe, "--help"], env=env, capture_output=True, text=True, timeout=60).stdout
        if expected not in out or absent in out:
            failures.append("--help with LANG=%s printed:\n%s" % (language, out))
    return failures


def read_help(picture_path, work):
    """The help's words: the screenshot enlarged, its light text made dark."""
    big = os.path.join(work, "help-ocr.png")
    subprocess.run(["convert", picture_path, "-resize", "300%", "-colorspace", "Gray", "-negate", big], check=True)
    return subprocess.run(["tesseract", big, "-", "-l", "fra"], capture_output=True, text=True, timeout=120,
                          check=True).stdout


def main():
    exe, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    home = tempfile.mkdtemp(prefix="grimalou-language-")
    failures = check_usage(exe, home)
    x = Xvfb()
    x.env = environment(dict(x.env, XDG_CONFIG_HOME=home, XDG_DATA_HOME=home), "fr_FR.UTF-8")
    try:
        g = Grimalou(exe, x)
        try:
            g.shot().save_png(os.path.join(out, "title_fr.png"))
            g.choose(girl=True)
            g.key("F1")
            g.settle()
            shot = os.path.join(out, "help_fr.png")
            g.shot().save_png(shot)
            text = read_help(shot, home)
            found = [w for w in FRENCH_WORDS if w in text]
            if "Aide" not in text or len(found) < len(FRENCH_WORDS) - 3:
                failures.append("the French help read back as:\n%s\n(found %s)" % (text, found))
            g.key("Escape")
            g.key("l")
            g.settle()
            g.shot().save_png(os.path.join(out, "library_fr.png"))
            g.assert_running()
        finally:
            g.stop()
    finally:
        x.stop()
        shutil.rmtree(home, ignore_errors=True)
    for failure in failures:
        print("FAIL:", failure)
    print("%d passed, %d failed" % (2 - min(len(failures), 2), min(len(failures), 2)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
