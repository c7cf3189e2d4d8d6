"""The Debian package: CPack builds it from the build tree under its Debian
name, it depends on the package of every shared library the program links
(GLFW and OpenAL among them), lintian finds no error in it, and unpacked
into an empty folder the program runs.

Usage: test_deb.py BUILD_DIR VERSION SEND_CLOSE SCREENSHOT_PNG"""

import os
import re
import subprocess
import sys
import tempfile

from installed_run import check_runs_elsewhere


def run(*argv):
    return subprocess.run(argv, check=True, capture_output=True, text=True, timeout=240).stdout


def linked_packages(program):
    """The package of each shared library the program names, as dpkg knows it."""
    needed = re.findall(r"\(NEEDED\)\s+Shared library: \[(.*)\]", run("readelf", "-d", program))
    resolved = {}
    for line in run("ldd", program).splitlines():
        # "libname => /path (address)", or "/path (address)" for the loader.
        path = re.search(r"(/\S+) \(", line)
        if path:
            name = line.split("=>")[0].strip() if "=>" in line else os.path.basename(path.group(1))
            resolved[name] = path.group(1)
    packages = {}
    for library in needed:
        path = resolved[library]
        # On a merged /usr a library may be registered under either path.
        owners = subprocess.run(["dpkg", "-S", path], capture_output=True, text=True).stdout or \
            run("dpkg", "-S", os.path.realpath(path))
        packages[library] = owners.split(":")[0]
    return packages


def declared_packages(deb):
    depends = run("dpkg-deb", "-f", deb, "Depends")
    return {alternative.split()[0] for clause in depends.split(",") for alternative in clause.split("|")}


def main(build, version, send_close, screenshot):
    architecture = run("dpkg", "--print-architecture").strip()
    with tempfile.TemporaryDirectory() as scratch:
        run("cpack", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", scratch)
        deb = os.path.join(scratch, "grimalou_%s_%s.deb" % (version, architecture))
        assert os.path.isfile(deb), os.listdir(scratch)

        lint = subprocess.run(["lintian", "--fail-on", "error", deb], capture_output=True, text=True, timeout=240)
        print(lint.stdout)
        assert lint.returncode == 0 and not re.search(r"^E: ", lint.stdout, re.M), lint.stdout + lint.stderr

        root = os.path.join(scratch, "root")
        run("dpkg-deb", "-x", deb, root)
        program = os.path.join(root, "usr", "lib", "grimalou", "grimalou")
        linked = linked_packages(program)
        assert any("glfw" in library for library in linked), linked
        assert any("openal" in library for library in linked), linked
        declared = declared_packages(deb)
        missing = {library: package for library, package in linked.items() if package not in declared}
        assert not missing, "linked but not declared: %s; Depends: %s" % (missing, sorted(declared))

        check_runs_elsewhere(os.path.join(root, "usr", "bin", "grimalou"), send_close, screenshot)
    print("deb: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
