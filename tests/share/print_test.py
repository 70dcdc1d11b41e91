#!/usr/bin/env python3
"""The players' page printed: standings on portrait A4, the bracket after
them on landscape A4, no picture cut by a page's edge, every name whole.

For 8 (finished), 30 and 100 players (mid-way), all with 30-character
names, the fixture writes tournoi.html; headless Chromium prints it to PDF
as a person would (the page's own @page sizes); Poppler reads the PDF back:
page sizes (pdfinfo), each page's text (pdftotext -layout) and each page as
a picture (pdftoppm), whose margins must stay blank: a picture taller than
the room left on a page would be sliced there, and its strokes would reach
the edge of the printable area. Before printing, the same page in print
media tells each SVG's size, which must fit a page's printable area. The
PDF and its pages as PNG land in --out/<case>/ for a person to look at.
"""
import argparse
import base64
import json
import os
import re
import shutil
import subprocess
import sys

from browser import Browser
from page_test import check, failures

MM = 96 / 25.4                  # CSS px per millimetre
A4_LANDSCAPE = (297 * MM, 210 * MM)
MARGIN = 8 * MM                 # @page paysage's margins
PORTRAIT_MARGIN = 15 * MM       # @page's
DPI = 60                        # of the PNG pages
CASES = (("eight_finished", 8, -1), ("thirty_midway", 30, 40), ("hundred_midway", 100, 150))


def run(args, timeout=60):
    return subprocess.run(args, capture_output=True, timeout=timeout, check=True).stdout


def page_sizes(pdf):
    """Each page's (width, height) in points."""
    info = run(["pdfinfo", "-f", "1", "-l", "9999", pdf]).decode()
    return [(float(w), float(h))
            for w, h in re.findall(r"Page +\d+ size: +([\d.]+) x ([\d.]+) pts", info)]


def page_text(pdf, page):
    return run(["pdftotext", "-layout", "-f", str(page), "-l", str(page), pdf, "-"]).decode()


def smallest_text(pdf, page):
    """The height in points of the shortest word box of the page."""
    xml = run(["pdftotext", "-bbox", "-f", str(page), "-l", str(page), pdf, "-"]).decode()
    heights = [float(b) - float(a) for a, b in
               re.findall(r'<word xMin="[\d.]+" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)"',
                          xml)]
    return min(heights) if heights else 0


def dark_pixels(pgm):
    """The page's size, the rows holding a dark pixel, and the leftmost and
    rightmost dark columns (a PGM from pdftoppm -gray)."""
    with open(pgm, "rb") as f:
        data = f.read()
    header = re.match(rb"P5\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
    width, height = int(header.group(1)), int(header.group(2))
    dark = bytes(1 if value < 160 else 0 for value in range(256))
    mask = data[header.end():].translate(dark)
    rows, left, right = [], width, -1
    for y in range(height):
        line = mask[y * width:(y + 1) * width]
        x = line.find(1)
        if x >= 0:
            rows.append(y)
            left, right = min(left, x), max(right, line.rfind(1))
    return width, height, rows, left, right


def svg_sizes(b):
    """Each bracket picture's title and size in CSS px, laid out for print."""
    b.call("Emulation.setEmulatedMedia", media="print")
    sizes = json.loads(b.run(
        "JSON.stringify([...document.querySelectorAll('#tableau svg')].map(s => {"
        "const r = s.getBoundingClientRect();"
        "return [s.querySelector('title').textContent, r.width, r.height];}))"))
    b.call("Emulation.setEmulatedMedia", media="")
    return sizes


def run_case(args, name, players, results):
    folder = os.path.join(args.out, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    run([args.fixture, str(players), str(results), "long", folder])
    with open(os.path.join(folder, "engine.json"), encoding="utf-8") as f:
        engine = json.load(f)
    pdf = os.path.join(folder, "tournoi.pdf")
    with Browser(1280, 900, timeout=120) as b:
        b.load("file://" + os.path.abspath(os.path.join(folder, "tournoi.html")))
        sizes = svg_sizes(b)
        data = b.call("Page.printToPDF", preferCSSPageSize=True, printBackground=True)["data"]
    with open(pdf, "wb") as f:
        f.write(base64.b64decode(data))

    room = (A4_LANDSCAPE[0] - 2 * MARGIN, A4_LANDSCAPE[1] - 2 * MARGIN)
    check(len(sizes) > 0, name + ": no bracket")
    for title, width, height in sizes:
        check(width <= room[0] and height <= room[1],
              "%s: %s is %dx%d px, a page holds %dx%d" % (name, title, width, height, *room))

    pages = page_sizes(pdf)
    texts = [page_text(pdf, i + 1) for i in range(len(pages))]
    check(len(pages) >= 2, name + ": %d page(s)" % len(pages))
    check(pages[0][0] < pages[0][1] and "Classement" in texts[0],
          name + ": the standings first, on a portrait page")
    bracket = [i for i, text in enumerate(texts) if "Places 1 à %d" % players in text]
    check(bracket != [], name + ": no bracket page")
    first = bracket[0] if bracket else len(pages)
    for i in range(len(pages)):
        landscape = pages[i][0] > pages[i][1]
        check(landscape == (i >= first), name + ": page %d %s" %
              (i + 1, "landscape" if landscape else "portrait"))
        check(texts[i].strip() != "", name + ": page %d is empty" % (i + 1))
    printed = "".join(texts[first:])
    for player in engine["players"]:
        check(player in printed, name + ": %r not printed whole" % player)
    # 13 px names and 12 px notes print at 9.75 and 9 pt; shrunk to fit a
    # page, they would print smaller. A word's box is 1.164 em tall in the
    # DejaVu fonts.
    for i in range(first, len(pages)):
        size = smallest_text(pdf, i + 1) / 1.164
        check(size >= 8.9, name + ": page %d's text at %.1f pt" % (i + 1, size))

    # Each page as a picture: nothing in the margins, whose inner edge a
    # sliced picture would reach.
    run(["pdftoppm", "-r", str(DPI), "-png", pdf, os.path.join(folder, "page")])
    run(["pdftoppm", "-r", str(DPI), "-gray", pdf, os.path.join(folder, "gray")])
    scale = DPI / 96
    grays = sorted(f for f in os.listdir(folder) if f.startswith("gray-"))
    check(len(grays) == len(pages), name + ": %d pictures of pages" % len(grays))
    for i, gray in enumerate(grays):
        width, height, rows, left, right = dark_pixels(os.path.join(folder, gray))
        margin = (MARGIN if i >= first else PORTRAIT_MARGIN) * scale
        # The standings' table may run to the edge and on; a picture never.
        edge = 2 if i >= first else -1
        top, bottom = int(margin) + edge, int(height - margin) - edge
        check(rows != [] and rows[0] >= top and rows[-1] <= bottom,
              name + ": page %d blank or printed in its top or bottom margin (rows %s of %d)"
              % (i + 1, rows[:1] + rows[-1:], height))
        # A table's rules reach the sides of the printable area, no further.
        check(left >= int(margin) - 1 and right <= int(width - margin) + 1,
              name + ": page %d printed in a side margin" % (i + 1))
        os.remove(os.path.join(folder, gray))
    print("%s: %d pages, %d pictures, checked (%s)" % (name, len(pages), len(sizes), folder))


def main():
    parser = argparse.ArgumentParser(description="The players' page printed to PDF.")
    parser.add_argument("--fixture", required=True, help="the standings_fixture program")
    parser.add_argument("--out", required=True, help="where each case's PDF and pages go")
    args = parser.parse_args()
    for case in CASES:
        run_case(args, *case)
    print("%d failure(s)" % len(failures), file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
