"""The installed program: `cmake --install` into a scratch prefix gives the
tree a desktop looks in, Debian's tools accept its launcher, metadata and
manual page, the desktop takes an exercise file for the exercise type and
Grimalou as its program, the link in bin/ runs from another working folder
(with or without the icon pictures), and uninstalling leaves none of it
behind, in the desktop's caches neither.

Usage: test_install.py BUILD_DIR SOURCE_DIR APP_ID SEND_CLOSE SCREENSHOT_PNG"""

import configparser
import filecmp
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

from installed_run import check_runs_elsewhere

EXERCISE_TYPE = "application/x-grimalou-exercise"
# What the desktop's hicolor theme looks for.
ICON_SIDES = {16, 32, 48, 64, 128, 256, 512}


def run(*argv, **kwargs):
    return subprocess.run(argv, check=True, capture_output=True, text=True, timeout=120, **kwargs)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", path
    return struct.unpack(">II", head[16:24])


def check_program(prefix, build):
    program = os.path.join(prefix, "lib", "grimalou", "grimalou")
    assert os.path.isfile(program) and os.access(program, os.X_OK), program
    link = os.path.join(prefix, "bin", "grimalou")
    assert os.path.islink(link), link
    assert not os.readlink(link).startswith("/"), "the link must survive moving the prefix: " + os.readlink(link)
    assert os.path.realpath(link) == os.path.realpath(program)
    # Every file the program reads from its data folder in the build tree.
    staged = os.path.join(build, "data")
    installed = os.path.join(prefix, "lib", "grimalou", "data")
    for folder, _, files in os.walk(staged):
        for name in files:
            if name.endswith(".svg"):
                continue
            relative = os.path.relpath(os.path.join(folder, name), staged)
            assert filecmp.cmp(os.path.join(staged, relative), os.path.join(installed, relative), shallow=False), \
                relative


def check_icons(prefix, app_id):
    theme = os.path.join(prefix, "share", "icons", "hicolor")
    sides = set()
    for size in os.listdir(theme):
        if size == "scalable":
            root = ET.parse(os.path.join(theme, size, "apps", app_id + ".svg")).getroot()
            assert root.tag.endswith("svg"), root.tag
            continue
        side = int(size.split("x")[0])
        assert size == "%dx%d" % (side, side), size
        assert png_size(os.path.join(theme, size, "apps", app_id + ".png")) == (side, side), size
        sides.add(side)
    assert sides >= ICON_SIDES, sorted(sides)


def check_launcher(prefix, app_id, window_class):
    path = os.path.join(prefix, "share", "applications", app_id + ".desktop")
    run("desktop-file-validate", path)
    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(path)
    entry = entry["Desktop Entry"]
    assert entry["Icon"] == app_id, entry["Icon"]
    # A prefix of one's own is on no desktop session's PATH: the full path.
    assert entry["Exec"].split() == [os.path.join(prefix, "bin", "grimalou"), "%f"], entry["Exec"]
    assert EXERCISE_TYPE in entry["MimeType"].split(";"), entry["MimeType"]
    assert {"Education", "MedicalSoftware"} <= set(entry["Categories"].split(";")), entry["Categories"]
    assert {"speech", "mouth", "face", "exercise", "therapy"} <= set(entry["Keywords"].split(";")), entry["Keywords"]
    assert entry["StartupWMClass"] == window_class, (entry["StartupWMClass"], window_class)


def check_metadata(prefix, app_id, source):
    path = os.path.join(prefix, "share", "metainfo", app_id + ".metainfo.xml")
    run("appstreamcli", "validate", "--no-net", path)
    root = ET.parse(path).getroot()
    assert root.findtext("id") == app_id
    launchable = root.findtext("launchable")
    assert os.path.exists(os.path.join(prefix, "share", "applications", launchable)), launchable
    assert root.find("content_rating") is not None
    assert [m.text for m in root.iter("mediatype")] == [EXERCISE_TYPE]
    # The screenshots are the README's pictures.
    with open(os.path.join(source, "README.md")) as f:
        readme = f.read()
    images = [i.text for i in root.iter("image")]
    assert len(images) >= 2, images
    for url in images:
        picture = re.match(r"https://\S+/(docs/\S+\.png)$", url).group(1)
        assert os.path.isfile(os.path.join(source, picture)), picture
        assert "(%s)" % picture in readme, picture + " is not shown in the README"


def check_manual(prefix):
    page = os.path.join(prefix, "share", "man", "man6", "grimalou.6.gz")
    shown = run("man", "--warnings", "-l", page, env=dict(os.environ, MANWIDTH="80"))
    assert shown.stderr == "", shown.stderr
    assert re.search(r"grimalou\s+-\s+face and mouth exercises", shown.stdout), shown.stdout[:400]
    assert re.search(r"grimalou \[--fullscreen\] \[FILE\]", shown.stdout), shown.stdout[:400]
    assert "~/.local/share/grimalou/exercises/" in shown.stdout


def check_exercise_type(prefix, source, app_id):
    """After the caches are refreshed as `make install` does, an exercise file
    (by its name, or by its first line when it has no usual name) has the
    exercise type, and Grimalou opens it. The GNOME mode of xdg-mime asks
    GLib, which reads the MIME database; its plain mode only asks file(1)."""
    run("cmake", "-DPREFIX=" + prefix, "-P", os.path.join(source, "tools", "desktop-caches.cmake"))
    with tempfile.TemporaryDirectory() as scratch:
        exercise = os.path.join(source, "tests", "fuzz", "fuzz_exercise", "plain")
        for name in ("2026-12-07_16-31-02_girl.grimalou", "homework"):
            shutil.copy(exercise, os.path.join(scratch, name))
        env = dict(os.environ, XDG_DATA_DIRS=os.path.join(prefix, "share") + ":/usr/share",
                   XDG_DATA_HOME=os.path.join(scratch, "home"), XDG_CURRENT_DESKTOP="GNOME", GIO_USE_VFS="local")
        for name in ("2026-12-07_16-31-02_girl.grimalou", "homework"):
            found = run("xdg-mime", "query", "filetype", os.path.join(scratch, name), env=env).stdout.strip()
            assert found == EXERCISE_TYPE, (name, found)
        env.pop("XDG_CURRENT_DESKTOP")
        program = run("xdg-mime", "query", "default", EXERCISE_TYPE, env=env).stdout.strip()
        assert program == app_id + ".desktop", program


def check_uninstall(prefix, build, source):
    run("cmake", "-DBUILD=" + build, "-DPREFIX=" + prefix, "-P", os.path.join(source, "tools", "uninstall.cmake"))
    left = [os.path.join(folder, name) for folder, folders, files in os.walk(prefix) for name in files + folders
            if "grimalou" in name or "Grimalou" in name]
    assert left == [], left
    # The rebuilt caches no longer name the program or its type.
    for folder, _, files in os.walk(prefix):
        for name in files:
            with open(os.path.join(folder, name), "rb") as f:
                assert b"grimalou" not in f.read(), os.path.join(folder, name)


def main(build, source, app_id, send_close, screenshot):
    with tempfile.TemporaryDirectory() as prefix:
        run("cmake", "--install", build, "--prefix", prefix)
        check_program(prefix, build)
        check_icons(prefix, app_id)
        window_class = check_runs_elsewhere(os.path.join(prefix, "bin", "grimalou"), send_close, screenshot)
        check_launcher(prefix, app_id, window_class)
        check_metadata(prefix, app_id, source)
        check_manual(prefix)
        check_exercise_type(prefix, source, app_id)
        # Without its icon pictures the program still starts.
        shutil.rmtree(os.path.join(prefix, "lib", "grimalou", "data", "icons"))
        check_runs_elsewhere(os.path.join(prefix, "bin", "grimalou"), send_close, screenshot, icon=False)
        check_uninstall(prefix, build, source)
    print("install: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:6]))
