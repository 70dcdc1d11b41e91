#!/usr/bin/env python3
"""Checks the installed program.

  install_test.py files --build B --out O --version V
      cmake --install into O/prefix: the exact file list, which files are
      executable, every PNG icon's size against its folder, and the
      installed launcher running the installed program (--version).
  install_test.py launcher --build B --out O --font F
      the installed launcher under Xvfb: the window appears with its title
      and the data folder gets the font, and once more with --partager, the
      page asked for on 127.0.0.1; then the launcher's edge cases, with a
      stub in place of the program.

Standard library only; the X helpers come from tests/e2e/driver.py.
"""
import argparse
import os
import re
import select
import shutil
import struct
import subprocess
import urllib.request
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import driver  # noqa: E402

APP = "org.brackora.Brackora"
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
EXPECTED_FILES = sorted(
    ["bin/brackora", "libexec/brackora/brackora", "libexec/brackora/brackora-share.so",
     "share/applications/%s.desktop" % APP, "share/metainfo/%s.metainfo.xml" % APP,
     "share/icons/hicolor/scalable/apps/%s.svg" % APP, "share/man/man6/brackora.6.gz"]
    + ["share/icons/hicolor/%dx%d/apps/%s.png" % (s, s, APP) for s in ICON_SIZES])
EXECUTABLES = {"bin/brackora", "libexec/brackora/brackora"}


def install(build, out):
    prefix = os.path.join(out, "prefix")
    shutil.rmtree(out, ignore_errors=True)
    subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                   stdout=subprocess.DEVNULL)
    return prefix


def clean_env(**changes):
    env = {k: v for k, v in os.environ.items()
           if k not in ("HOME", "XDG_DATA_HOME", "BRACKORA_PROGRAM", "BRACKORA_FONT", "DISPLAY")}
    env.update(changes)
    return env


def check_files(args):
    prefix = install(args.build, args.out)
    problems = []
    found = sorted(os.path.relpath(os.path.join(d, f), prefix)
                   for d, _, files in os.walk(prefix) for f in files)
    if found != EXPECTED_FILES:
        problems.append("missing %s, unexpected %s" % (sorted(set(EXPECTED_FILES) - set(found)),
                                                      sorted(set(found) - set(EXPECTED_FILES))))
    for name in found:
        if os.access(os.path.join(prefix, name), os.X_OK) != (name in EXECUTABLES):
            problems.append("%s: executable bit is wrong" % name)
        if name.endswith(".png"):
            with open(os.path.join(prefix, name), "rb") as png:
                width, height = struct.unpack(">II", png.read(24)[16:24])
            folder = name.split("/")[3]
            if "%dx%d" % (width, height) != folder:
                problems.append("%s is %dx%d" % (name, width, height))
    # The launcher finds the program relative to itself, whatever the prefix.
    home = os.path.join(args.out, "home")
    os.makedirs(home)
    run = subprocess.run([os.path.join(prefix, "bin/brackora"), "--version"],
                         env=clean_env(HOME=home), capture_output=True)
    if (run.returncode, run.stdout, run.stderr) != (0, b"brackora %s\n" % args.version.encode(), b""):
        problems.append("installed launcher --version: %r" % (run,))
    if not os.path.isfile(os.path.join(home, ".local/share/brackora/font.ttf")):
        problems.append("--version through the launcher left no font.ttf")
    return problems


def check_window(prefix, home, font, sharing=False):
    """The real program through the installed launcher, in a real window;
    with sharing, the page is asked for on 127.0.0.1 while the window is
    open, so the installed module must load and serve it."""
    options = ["--partager", "0"] if sharing else []
    announced = rb"Tournoi en ligne : http://[0-9.]+:([0-9]+)/.*\n"
    served = None
    server = driver.XServer()
    try:
        proc = subprocess.Popen([os.path.join(prefix, "bin/brackora")] + options, cwd="/",
                                env=clean_env(HOME=home, DISPLAY=server.display),
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            window = driver.Window(server.display, proc)  # checks the title
            # The address is printed once the server listens; a failure
            # goes to standard error instead, so the wait is bounded.
            first = b""
            if sharing and select.select([proc.stdout], [], [], 10)[0]:
                first = proc.stdout.readline()
            port = re.fullmatch(announced, first)
            if port:
                served = fetch_page(int(port.group(1)))
            driver.send_delete_window(server.display, window.wid)
            out, err = proc.communicate(timeout=15)
            out = first + out
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
    finally:
        server.stop()
    problems = []
    expected_out = announced if sharing else b""
    if (proc.returncode, err) != (0, b"") or not re.fullmatch(expected_out, out):
        problems.append("window run %s: status %d, stdout %r, stderr %r"
                        % (options, proc.returncode, out, err))
    if sharing and (served is None or not served.startswith(b"<!DOCTYPE html>")):
        problems.append("window run %s: the page served was %r" % (options, served))
    copied = os.path.join(home, ".local/share/brackora/font.ttf")
    if not os.path.isfile(copied) or open(copied, "rb").read() != open(font, "rb").read():
        problems.append("window run: font.ttf is not the installed font")
    return problems


def fetch_page(port):
    """The body of / on 127.0.0.1:port, or None; one request of at most 5 s."""
    try:
        with urllib.request.urlopen("http://127.0.0.1:%d/" % port, timeout=5) as answer:
            return answer.read()
    except OSError:
        return None


# Each case: its name, what to prepare under its own folder (a dict of
# paths relative to it: None a folder, bytes a file), the environment (paths
# relative to the case folder; "=" starts a value taken as it is), the
# expected status, standard output from the
# stub (its working folder and arguments) and standard error, and the
# font.ttf expected afterwards (None: there must be none).
FONT = b"installed font"
CASES = [
    ("spaces in XDG_DATA_HOME", {"data home": None}, {"XDG_DATA_HOME": "data home"},
     0, "{case}/data home/brackora\na b\n\n", "", FONT),
    ("XDG_DATA_HOME made on the way", {}, {"XDG_DATA_HOME": "new/deeper"},
     0, "{case}/new/deeper/brackora\na b\n\n", "", FONT),
    ("relative XDG_DATA_HOME ignored", {"home": None}, {"HOME": "home", "XDG_DATA_HOME": "=rel"},
     0, "{case}/home/.local/share/brackora\na b\n\n", "", FONT),
    ("a different font.ttf is kept", {"home/.local/share/brackora/font.ttf": b"my own font"},
     {"HOME": "home"}, 0, "{case}/home/.local/share/brackora\na b\n\n", "", b"my own font"),
    ("no font installed", {"home": None}, {"HOME": "home", "BRACKORA_FONT": "none.ttf"},
     1, "", "brackora : police introuvable : {case}/none.ttf (installez le paquet "
     "fonts-dejavu-core)\n", None),
    ("data folder cannot be made", {"home/.local": b"a file, not a folder"}, {"HOME": "home"},
     1, "", "brackora : impossible de créer ou d'écrire le dossier des données "
     "{case}/home/.local/share/brackora\n", None),
    ("home folder missing", {}, {"HOME": "gone"},
     1, "", "brackora : le dossier personnel {case}/gone n'existe pas\n", None),
    ("neither HOME nor XDG_DATA_HOME", {}, {},
     1, "", "brackora : ni HOME ni XDG_DATA_HOME ne sont définis : impossible de choisir "
     "le dossier des données\n", None),
]


def check_edge_cases(prefix, out):
    problems = []
    stub = os.path.join(out, "stub")
    with open(stub, "w") as script:
        script.write('#!/bin/sh\npwd\nprintf "%s\\n" "$@"\n')
    os.chmod(stub, 0o755)
    installed_font = os.path.join(out, "installed.ttf")
    with open(installed_font, "wb") as font:
        font.write(FONT)
    for number, (name, files, env, status, stdout, stderr, font_after) in enumerate(CASES):
        case = os.path.join(out, "case%d" % number)
        for path, content in files.items():
            target = os.path.join(case, path)
            os.makedirs(target if content is None else os.path.dirname(target), exist_ok=True)
            if content is not None:
                with open(target, "wb") as f:
                    f.write(content)
        os.makedirs(case, exist_ok=True)
        full = {k: v[1:] if v.startswith("=") else os.path.join(case, v)
                for k, v in env.items()}
        full.setdefault("BRACKORA_FONT", installed_font)
        run = subprocess.run([os.path.join(prefix, "bin/brackora"), "a b", ""], cwd=case,
                             env=clean_env(BRACKORA_PROGRAM=stub, **full), capture_output=True)
        seen = (run.returncode, run.stdout.decode(), run.stderr.decode())
        want = (status, stdout.format(case=case), stderr.format(case=case))
        if seen != want:
            problems.append("%s: got %r, expected %r" % (name, seen, want))
        fonts = [os.path.join(d, f) for d, _, fs in os.walk(case) for f in fs if f == "font.ttf"]
        found = open(fonts[0], "rb").read() if fonts else None
        if found != font_after or len(fonts) > 1:
            problems.append("%s: font.ttf files %s hold %r, expected %r"
                            % (name, fonts, found, font_after))
    return problems


def check_launcher(args):
    prefix = install(args.build, args.out)
    home = os.path.join(args.out, "home")
    os.makedirs(home)
    return (check_window(prefix, home, args.font) + check_window(prefix, home, args.font, True)
            + check_edge_cases(prefix, args.out))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("what", choices=["files", "launcher"])
    parser.add_argument("--build", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--version")
    parser.add_argument("--font")
    args = parser.parse_args()
    args.out = os.path.abspath(args.out)
    problems = check_files(args) if args.what == "files" else check_launcher(args)
    for problem in problems:
        print("FAIL", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
