#!/usr/bin/env python3
"""Fails when a file of brackora_core includes an SDL header.

brackora_core must build and run without SDL. It is compiled without SDL's
include path, but SDL 1.2's headers also sit under /usr/include/SDL/, so an
include such as <SDL/SDL.h> would still compile; this check closes that gap.

Usage: core_without_sdl.py SRC_DIR SOURCE...   checks the sources and every
                                               header they include from SRC_DIR
       core_without_sdl.py --self-test         checks the pattern itself
"""
import os
import re
import sys

# Any include whose file name (after an optional folder) starts with SDL,
# in either bracket style and any letter case: <SDL.h>, <SDL/SDL.h>,
# "SDL_ttf.h", < sdl/SDL_video.h >.
SDL_INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]\s*(?:[^<>"]*/)?SDL[^<>"]*[>"]',
                         re.IGNORECASE | re.MULTILINE)
LOCAL_INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def offending(text):
    return [m.group(0).strip() for m in SDL_INCLUDE.finditer(text)]


def check(src_dir, sources):
    seen, pending, found = set(), list(sources), []
    while pending:
        path = os.path.normpath(pending.pop())
        if path in seen or not os.path.isfile(path):
            continue
        seen.add(path)
        with open(path, encoding="latin-1") as f:
            text = f.read()
        found += [f"{path}: {line}" for line in offending(text)]
        for header in LOCAL_INCLUDE.findall(text):
            pending.append(os.path.join(src_dir, header))
    return seen, found


def self_test():
    caught = ["#include <SDL.h>", "#include <SDL/SDL.h>", '#include "SDL_ttf.h"',
              "  #  include < sdl/SDL_video.h >", "#include <sdl/sdl_ttf.h>"]
    passed = ["#include <string>", '#include "engine/match_log.h"',
              "// #include <SDL.h> is not for this folder", '#include "display/window_sdl_free.h"']
    bad = [c for c in caught if not offending(c)] + [p for p in passed if offending(p)]
    for line in bad:
        print(f"pattern wrong for: {line}")
    return 1 if bad else 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    src_dir, sources = sys.argv[1], sys.argv[2:]
    seen, found = check(src_dir, sources)
    for line in found:
        print(f"SDL included in brackora_core: {line}")
    print(f"{len(seen)} files of brackora_core read, {len(found)} SDL includes")
    return 1 if found or not sources else 0


if __name__ == "__main__":
    sys.exit(main())
