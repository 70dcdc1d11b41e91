#!/usr/bin/env python3
"""Fails when a file of src/ includes across a boundary the layers forbid.

The program is built in layers: the engine computes the tournament's value,
the views turn that value into what is shown, the outputs (the window's
drawing, the files and the page server) show what they are handed, and
control reads answers and drives the rest. A layer includes only the layers
below it; none but control includes control.

Usage: fences.py SRC_DIR        checks every file under SRC_DIR
       fences.py --self-test    plants one forbidden include per fence in a
                                copy of src/ and checks that each is caught
"""
import os
import re
import shutil
import sys
import tempfile

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])\s*([^<>"]+?)\s*[>"]', re.MULTILINE)

# Headers that mean talking to the outside world: a window, the network,
# the disk, the console.
SDL = re.compile(r'^(?:[^/]*/)?sdl', re.IGNORECASE)
SERVER = re.compile(r'^httplib\.h$')
X11 = re.compile(r'^X11/')
IO = re.compile(r'^(fstream|iostream|unistd\.h|fcntl\.h|sys/.*|dirent\.h|cstdio)$')

# For each folder: the program's folders it may include, and the system
# headers it must not.
RULES = {
    "engine": ({"engine"}, [SDL, SERVER, X11, IO]),
    "views": ({"engine", "views"}, [SDL, SERVER, X11, re.compile(r'^(fstream|iostream|unistd\.h|fcntl\.h|sys/.*)$')]),
    "display": ({"engine", "views", "display"}, [SERVER]),
    "files": ({"files"}, [SDL, SERVER, X11]),
    "share": ({"engine", "views", "files", "share"}, [SDL, X11]),
    "control": ({"engine", "views", "files", "share", "display", "control"}, []),
}


def violations(src_dir):
    found = []
    for folder, (allowed, forbidden) in sorted(RULES.items()):
        root = os.path.join(src_dir, folder)
        if not os.path.isdir(root):
            continue
        for dirpath, _, names in os.walk(root):
            for name in sorted(names):
                path = os.path.join(dirpath, name)
                with open(path, encoding="latin-1") as f:
                    text = f.read()
                shown = os.path.relpath(path, src_dir)
                for bracket, header in INCLUDE.findall(text):
                    top = header.split("/")[0]
                    if bracket == '"' and top in RULES and top not in allowed:
                        found.append(f"{shown}: {folder}/ may not include {header}")
                    elif bracket == "<" and any(p.search(header) for p in forbidden):
                        found.append(f"{shown}: {folder}/ may not include <{header}>")
    return found


# One planted include per fence, in a file of the folder it crosses from.
PLANTS = [
    ("engine/match_log.cpp", '#include "views/text_panel.h"'),
    ("engine/bracket.cpp", "#include <fstream>"),
    ("views/page.cpp", '#include "control/dialogue.h"'),
    ("views/panel_rows.cpp", "#include <SDL.h>"),
    ("views/json.cpp", '#include "share/standings_files.h"'),
    ("views/sheet.cpp", '#include "files/durable_file.h"'),
    ("display/window.cpp", '#include "control/answer_source.h"'),
    ("share/standings_files.cpp", '#include "control/transcript.h"'),
    ("share/share_server.cpp", '#include "display/window.h"'),
    ("files/durable_file.cpp", '#include "control/transcript.h"'),
]


def self_test(src_dir):
    failures = 0
    if violations(src_dir):
        print("the tree itself crosses a fence")
        return 1
    for target, line in PLANTS:
        with tempfile.TemporaryDirectory() as scratch:
            copy = os.path.join(scratch, "src")
            shutil.copytree(src_dir, copy)
            path = os.path.join(copy, target)
            with open(path, encoding="latin-1") as f:
                text = f.read()
            with open(path, "w", encoding="latin-1") as f:
                f.write(line + "\n" + text)
            found = violations(copy)
            print(f"planted {line} in {target}: " + ("; ".join(found) if found else "NOT CAUGHT"))
            failures += 0 if found else 1
    return 1 if failures else 0


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--self-test":
        return self_test(sys.argv[2])
    found = violations(sys.argv[1])
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
