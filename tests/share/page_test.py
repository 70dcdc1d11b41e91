#!/usr/bin/env python3
"""The players' page in a real browser, and its sheet and JSON read back.

For each tournament the fixture plays through the engine (a 5-player one
mid-way, a finished 16-player one, and a finished one whose names hold
markup, quotes, Latin-1 accents and formulas), headless Chromium loads
tournoi.html from the disk and from the fixture's server on 127.0.0.1; the
text it renders is checked section by section against engine.json, the
engine's value as the fixture wrote it. The JSON is parsed back and the
sheet read back with the csv module. Screenshots at phone and projector
widths land in --out for a person to look at.
"""
import argparse
import csv
import html.parser
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.request

CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                  "--no-first-run", "--disable-background-networking",
                  "--disable-component-update", "--disable-sync"]
FORMULA_STARTS = "=+-@"
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)


def chromium(args, timeout=60):
    profile = tempfile.mkdtemp(prefix="brackora_chromium_")
    try:
        return subprocess.run(["chromium"] + CHROMIUM_FLAGS + ["--user-data-dir=" + profile] + args,
                              capture_output=True, timeout=timeout, check=True).stdout
    finally:
        shutil.rmtree(profile, ignore_errors=True)


class Dom(html.parser.HTMLParser):
    """Text of every element, keyed by section id, element and class."""

    def __init__(self):
        super().__init__()
        self.stack = []   # (tag, attrs)
        self.items = []   # (section, list class, li class, text, struck)
        self.rows = {}    # section -> list of row cells
        self.compte = None
        self.refresh = False
        self._text = None
        self._cell = None
        self._struck = False

    def section(self):
        for tag, attrs in reversed(self.stack):
            if tag == "section":
                return attrs.get("id")
        return None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "meta" and attrs.get("http-equiv") == "refresh":
            self.refresh = attrs.get("content") == "10"
        if tag in ("meta", "link", "br"):
            return
        self.stack.append((tag, attrs))
        if tag == "li":
            self._text, self._struck = "", False
        if tag == "s":
            self._struck = True
        if tag == "tr":
            self.rows.setdefault(self.section(), []).append([])
        if tag in ("td", "th"):
            self._cell = ""
        if tag == "p" and attrs.get("id") == "compte":
            self.compte = ""

    def handle_endtag(self, tag):
        if not self.stack:
            return
        open_tag, attrs = self.stack.pop()
        if open_tag == "li":
            lists = [a.get("class") for t, a in self.stack if t in ("ol", "ul")]
            self.items.append((self.section(), lists[-1] if lists else None,
                               attrs.get("class"), self._text, self._struck))
            self._text = None
        if open_tag in ("td", "th"):
            self.rows[self.section()][-1].append(self._cell)
            self._cell = None

    def handle_data(self, data):
        if self._text is not None:
            self._text += data
        if self._cell is not None:
            self._cell += data
        if self.compte is not None and self.stack and self.stack[-1][1].get("id") == "compte":
            self.compte += data


def place(n):
    return "%d%s" % (n, "er" if n == 1 else "e")


def places_text(places):
    parts, i = [], 0
    while i < len(places):
        j = i
        while j + 1 < len(places) and places[j + 1] == places[j] + 1:
            j += 1
        parts.append(place(places[i]) + (" à " + place(places[j]) if j > i else ""))
        i = j + 1
    return ", ".join(parts)


def total_matches(n, last_two_met=False):
    """New matches of a group: the two a three-way group sends up meet again
    at the next level, settled by their earlier result."""
    if n < 2:
        return 0
    rematch = 1 if last_two_met else 0
    if n % 2 == 0:
        return n // 2 - rematch + 2 * total_matches(n // 2)
    pairs = (n - 3) // 2
    return pairs + 3 - rematch + total_matches(pairs + 2, True) + total_matches(pairs + 1)


def check_dom(dom_text, engine, where):
    dom = Dom()
    dom.feed(dom_text)
    check(dom.refresh == (not engine["finished"]), where + ": reload only while running")

    playable = [i for i in dom.items if i[0] == "a-jouer" and i[1] == "jouables"]
    waiting = [i for i in dom.items if i[0] == "a-jouer" and i[1] == "attente"]
    expected = [m for m in engine["toPlay"] if m["playable"]]
    check([i[3] for i in playable] == ["%s contre %s" % (m["first"], m["second"]) for m in expected],
          where + ": playable matches %r" % [i[3] for i in playable])
    pending = [m for m in engine["toPlay"] if not m["playable"]]
    check(len(waiting) == len(pending), where + ": waiting matches")
    for item, m in zip(waiting, pending):
        player = m["first"] if m["firstIsPlayer"] else m["second"]
        check(player in item[3] and " contre " in item[3], where + ": waiting %r" % item[3])

    standings = dom.rows.get("classement", [])[1:]
    check(standings == [[place(i + 1), name if name is not None else "à décider"]
                        for i, name in enumerate(engine["placement"])],
          where + ": standings %r" % standings)

    # A finished page shows neither matches to play nor places to reach.
    reach = dom.rows.get("places", [])[1:]
    order = sorted(range(len(engine["players"])), key=lambda i: (engine["reachable"][i][0], i))
    expected = [] if engine["finished"] else order
    check(reach == [[engine["players"][i], places_text(engine["reachable"][i])] for i in expected],
          where + ": reachable places %r" % reach)
    check(('id="a-jouer"' in dom_text) == (not engine["finished"]), where + ": matches section")

    results = [i for i in dom.items if i[0] == "resultats"]
    notes = {"used": "", "cancelled": "annulé", "unused": "sans objet"}
    classes = {"used": "compte", "cancelled": "annule", "unused": "sans-objet"}
    check(len(results) == len(engine["log"]), where + ": result count")
    for item, entry in zip(results, engine["log"]):
        text = "%s bat %s%s" % (entry["winner"], entry["loser"], notes[entry["use"]])
        check(item[3] == text and item[2] == classes[entry["use"]], where + ": result %r" % (item,))
        check(item[4] == (entry["use"] == "cancelled"), where + ": struck through %r" % item[3])

    played = sum(1 for e in engine["log"] if e["use"] == "used")
    left = total_matches(len(engine["players"])) - played
    check(dom.compte == "Matchs joués : %d · restants : %d" % (played, left),
          where + ": count %r" % dom.compte)
    check(left == 0 or not engine["finished"], where + ": matches left once finished")


def check_names_read_back(folder, engine, where):
    """JSON and CSV give every name as typed (a formula gets its guard)."""
    with open(os.path.join(folder, "tournoi.json"), encoding="utf-8") as f:
        data = json.load(f)
    check([p["joueur"] for p in data["places_possibles"]] == engine["players"], where + ": JSON names")
    check([p["joueur"] for p in data["classement"]] == engine["placement"], where + ": JSON standings")
    with open(os.path.join(folder, "classement.csv"), "rb") as f:
        raw = f.read()
    check(raw.startswith(b"\xef\xbb\xbf"), where + ": CSV byte order mark")
    rows = list(csv.reader(io.StringIO(raw[3:].decode("utf-8"), newline=""), delimiter=";"))
    check(rows[0] == ["Place", "Joueur"], where + ": CSV heading")
    for i, (row, name) in enumerate(zip(rows[1:], engine["placement"])):
        shown = "" if name is None else ("'" + name if name[:1] in FORMULA_STARTS else name)
        check(row == [str(i + 1), shown], where + ": CSV row %r" % row)
    check(len(rows) == len(engine["placement"]) + 1, where + ": CSV rows")


def run_case(args, name, players, results, names):
    folder = os.path.join(args.out, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    server = subprocess.Popen([args.fixture, str(players), str(results), names, folder, "60"],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        port = int(server.stdout.readline().split()[1])
        with open(os.path.join(folder, "engine.json"), encoding="utf-8") as f:
            engine = json.load(f)
        page = "file://" + os.path.abspath(os.path.join(folder, "tournoi.html"))
        check_dom(chromium(["--dump-dom", page]).decode("utf-8"), engine, name + " (file)")
        url = "http://127.0.0.1:%d/" % port
        check_dom(chromium(["--dump-dom", url]).decode("utf-8"), engine, name + " (server)")
        for path, file in (("", "tournoi.html"), ("classement.csv", "classement.csv"),
                           ("tournoi.json", "tournoi.json")):
            with urllib.request.urlopen(url + path, timeout=10) as answer:
                with open(os.path.join(folder, file), "rb") as f:
                    check(answer.read() == f.read(), name + ": /%s equals %s" % (path, file))
        check_names_read_back(folder, engine, name)
        if names == "plain":
            for width, height in ((400, 1800), (1280, 1000)):
                shot = os.path.join(folder, "page-%d.png" % width)
                chromium(["--screenshot=" + shot, "--window-size=%d,%d" % (width, height),
                          "--hide-scrollbars", page])
                check(os.path.getsize(shot) > 1000, name + ": screenshot " + shot)
    finally:
        server.stdin.close()
        server.wait(timeout=10)
    print("%s: checked (%s)" % (name, folder))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--fixture", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    run_case(args, "five_midway", 5, 4, "plain")
    run_case(args, "sixteen_finished", 16, -1, "plain")
    run_case(args, "tricky_names_finished", 10, -1, "tricky")
    if failures:
        print("%d failure(s)" % len(failures), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
