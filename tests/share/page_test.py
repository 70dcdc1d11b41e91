#!/usr/bin/env python3
"""The players' page and the room's screen in a real browser, and the sheet
and JSON read back.

For each tournament the fixture plays through the engine (a 5-player one
mid-way, a finished 16-player one, and a finished one whose names hold
markup, quotes, Latin-1 accents and formulas), headless Chromium loads
tournoi.html and ecran.html from the disk and from the fixture's server on
127.0.0.1; the text it renders is checked section by section against
engine.json, the engine's value as the fixture wrote it. The JSON is parsed
back and the sheet read back with the csv module.

The screen is then measured at 1920x1080 and 1280x720 for 8 and 30
players mid-way with tables, 30 at the end and 100 mid-way with tables,
one player of each having left (30-character names from 30 players on,
half of them a single word): every page of it fits the
window, its type is large enough, no name is cut, every item shows on some
page, and its pages turn by themselves. Each player's own view on the page
is picked at phone width and must survive the page's reload; the page at
400 and 1280 px is no wider than the window. Screenshots land in --out for
a person to look at.
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

from browser import Browser

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
        # In words ("vainqueur de A – B"), never a generated name.
        check("(" not in item[3].replace(player, ""), where + ": waiting in words %r" % item[3])

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


def expected_screen(engine, data):
    """The screen's lists as the engine's value and the JSON's tables say."""
    playable = [m for m in data["a_jouer"] if m["jouable"]]
    seated = sorted((m for m in playable if m["table"]), key=lambda m: m["table"])
    free = [m for m in playable if not m["table"]]
    matches = [("Table %d : %s contre %s" % (m["table"], m["joueur1"], m["joueur2"]), None)
               for m in seated]
    if free and data["tables"] > 0:
        matches.append(("En attente d'une table", "titre"))
    matches += [("%s contre %s" % (m["joueur1"], m["joueur2"]), None) for m in free]
    used = [e for e in engine["log"] if e["use"] == "used"]
    results = [("%s bat %s" % (e["winner"], e["loser"]), None) for e in reversed(used)][:5]
    left = engine.get("withdrawn", [])
    standings = [("%s %s" % (place(i + 1), "à décider" if name is None else
                             name + " (forfait)" if name in left else name), None)
                 for i, name in enumerate(engine["placement"])]
    lists = {"a-jouer": matches, "resultats": results, "classement": standings}
    if engine["finished"]:
        del lists["a-jouer"]
    return lists


def check_screen_dom(dom_text, engine, data, where):
    dom = Dom()
    dom.feed(dom_text)
    expected_lists = expected_screen(engine, data)
    check(('id="a-jouer"' in dom_text) == ("a-jouer" in expected_lists), where + ": matches section")
    for section, expected in expected_lists.items():
        items = [(i[3], i[2]) for i in dom.items if i[0] == section]
        if not expected:
            check(len(items) == 1 and items[0][1] == "vide", where + ": empty %s %r" % (section, items))
            continue
        check(items == expected, where + ": screen %s %r" % (section, items))


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
        with open(os.path.join(folder, "tournoi.json"), encoding="utf-8") as f:
            data = json.load(f)
        screen = "file://" + os.path.abspath(os.path.join(folder, "ecran.html"))
        check_screen_dom(chromium(["--dump-dom", screen]).decode("utf-8"), engine, data,
                         name + " (screen file)")
        check_screen_dom(chromium(["--dump-dom", url + "ecran"]).decode("utf-8"), engine, data,
                         name + " (screen server)")
        for path, file in (("", "tournoi.html"), ("classement.csv", "classement.csv"),
                           ("tournoi.json", "tournoi.json"), ("ecran", "ecran.html"),
                           ("ecran.html", "ecran.html")):
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


# What the screen shows now: for each list, the positions of the items shown
# and the section's page mark, and whatever does not fit the window.
MEASURE_SCREEN = r"""(() => {
  const root = document.documentElement, out = {lists: {}, problems: [], fonts: []};
  if (root.scrollHeight > innerHeight || root.scrollWidth > innerWidth)
    out.problems.push("scrolls: " + root.scrollWidth + "x" + root.scrollHeight);
  for (const list of document.querySelectorAll("ol.pages")) {
    const box = list.getBoundingClientRect(), shown = [];
    Array.from(list.children).forEach((item, i) => {
      if (getComputedStyle(item).display === "none") return;
      shown.push(i);
      out.fonts.push(parseFloat(getComputedStyle(item).fontSize));
      const at = item.getBoundingClientRect();
      if (at.top < box.top - 1 || at.bottom > box.bottom + 1 || at.left < box.left - 1 ||
          at.right > box.right + 1)
        out.problems.push("cut: " + item.textContent);
    });
    for (const name of list.querySelectorAll(".nom")) {
      if (name.offsetParent === null) continue;
      const at = name.getBoundingClientRect();
      if (name.scrollWidth > name.clientWidth || at.right > box.right + 1 ||
          getComputedStyle(name).textOverflow !== "clip")
        out.problems.push("name not whole: " + name.textContent);
      // A name may wrap between its words or after a hyphen, never inside
      // a word.
      const text = name.firstChild, words = /[^\s-]+/g;
      for (let word; text && (word = words.exec(text.data));) {
        const range = document.createRange();
        range.setStart(text, word.index);
        range.setEnd(text, word.index + word[0].length);
        if (range.getClientRects().length > 1)
          out.problems.push("word broken: " + word[0]);
      }
    }
    out.lists[list.parentNode.id] = {shown: shown, items: list.children.length,
                                     mark: list.parentNode.querySelector(".suite").textContent};
  }
  return out;
})()"""


def open_fresh(browser, url):
    """A new document even when only the fragment differs."""
    browser.load("about:blank")
    browser.load(url)


def screen_pages(measure):
    marks = [m["mark"] for m in measure["lists"].values() if m["mark"]]
    return max([int(mark.split("/")[1]) for mark in marks] + [1])


def check_screen_fits(browser, folder, where):
    """Every page at each size: nothing cut, type large enough, and every
    item shown on some page."""
    screen = "file://" + os.path.abspath(os.path.join(folder, "ecran.html"))
    for width, height in ((1920, 1080), (1280, 720)):
        browser.resize(width, height)
        at = "%s %dx%d" % (where, width, height)
        seen, pages, page = {}, 1, 0
        while page < pages:
            # A pause long enough that no turn comes while measuring.
            open_fresh(browser, screen + "#page=%d&delai=600" % page)
            measure = browser.run(MEASURE_SCREEN)
            pages = screen_pages(measure)
            check(not measure["problems"], at + " page %d: %r" % (page, measure["problems"][:3]))
            smallest = 28 * height / 1080 - 0.5
            check(min(measure["fonts"]) >= smallest,
                  at + ": type of %.1f px" % min(measure["fonts"]))
            for section, shown in measure["lists"].items():
                seen.setdefault(section, set()).update(shown["shown"])
                check(shown["shown"], at + " page %d: nothing in %s" % (page, section))
            if page == 0:
                browser.screenshot(os.path.join(folder, "ecran-%d.png" % width))
            page += 1
        for section, shown in measure["lists"].items():
            check(seen[section] == set(range(shown["items"])),
                  at + ": %s items never shown %r" % (section, set(range(shown["items"])) - seen[section]))
        print("%s: %d page(s)" % (at, pages))
    return pages


def check_screen_turns(browser, url, where):
    """The screen's own timer reloads it showing the next page."""
    open_fresh(browser, url + "#page=0&delai=1")
    before = browser.run(MEASURE_SCREEN)["lists"]["classement"]
    if browser.wait_event("Page.loadEventFired", 8) is None:
        check(False, where + ": no turn within 8 s")
        return
    after = browser.run(MEASURE_SCREEN)["lists"]["classement"]
    check(browser.run("location.hash") == "#page=1&delai=1", where + ": next page in the address")
    check(after["mark"].startswith("2/") and after["shown"] != before["shown"],
          where + ": the standings turned from %r to %r" % (before["mark"], after["mark"]))
    browser.load("about:blank")


SHOWN_FICHES = """Array.from(document.querySelectorAll('.fiche')).filter(f => !f.hidden)
  .map(f => [f.getAttribute('data-nom'), f.innerText])"""


def pick_player(browser, player_id):
    browser.run("""(() => { const c = document.getElementById('choix-joueur');
        c.value = '%d'; c.dispatchEvent(new Event('change')); })()""" % player_id)


def check_player_views(browser, folder, engine, where, own_refresh):
    """At phone width: nobody shown until picked; a player with a match at a
    table and one who waits, each picked, shown alone, in words, kept over
    a reload: the page's own refresh (about 10 s) when own_refresh, else one
    asked for."""
    page = "file://" + os.path.abspath(os.path.join(folder, "tournoi.html"))
    names = engine["players"]
    with open(os.path.join(folder, "tournoi.json"), encoding="utf-8") as f:
        seated = next(m for m in json.load(f)["a_jouer"] if m["table"])
    playing = {"first": seated["joueur1"], "second": seated["joueur2"]}
    table = seated["table"]
    waiting = next(m for m in engine["toPlay"] if not m["playable"])
    waiter = waiting["first"] if waiting["firstIsPlayer"] else waiting["second"]
    browser.resize(400, 900)
    open_fresh(browser, page)
    # The pick of an earlier case (the same names) stays in the browser.
    browser.run("localStorage.clear()")
    browser.reload()
    check(browser.run("!document.getElementById('joueur').hidden"), where + ": the section shows")
    check(browser.run(SHOWN_FICHES) == [], where + ": nobody shown before a pick")
    cases = ((playing["first"], "Table %d : contre %s" % (table, playing["second"]), "joue"),
             (waiter, "En attente : contre le ", "attend"))
    for name, words, shot in cases:
        pick_player(browser, names.index(name))
        shown = browser.run(SHOWN_FICHES)
        check(len(shown) == 1 and shown[0][0] == name, where + ": shown for %s: %r" % (name, shown))
        text = shown[0][1] if shown else ""
        check(words in text, where + ": %r not in %r" % (words, text))
        check("(" not in text.replace(name, ""), where + ": a generated name in %r" % text)
        browser.screenshot(os.path.join(folder, "joueur-%s-400.png" % shot))
    if not own_refresh:
        browser.reload()
    elif browser.wait_event("Page.loadEventFired", 13) is None:
        check(False, where + ": the page did not reload itself")
    shown = browser.run(SHOWN_FICHES)
    check([s[0] for s in shown] == [waiter], where + ": after the reload %r" % shown)
    check(browser.run("document.getElementById('choix-joueur').selectedOptions[0].text") == waiter,
          where + ": the list shows the pick after the reload")


def check_page_widths(browser, folder, where):
    """The page at phone and laptop widths, its own view shown: nothing
    wider than the window."""
    page = "file://" + os.path.abspath(os.path.join(folder, "tournoi.html"))
    for width in (400, 1280):
        browser.resize(width, 900)
        open_fresh(browser, page)
        check(browser.run("!document.getElementById('joueur').hidden"),
              where + " %d: the players' own views show" % width)
        wide = browser.run("document.documentElement.scrollWidth")
        check(wide <= width, where + " %d: the page is %d px wide" % (width, wide))
        browser.screenshot(os.path.join(folder, "page-%d.png" % width))


def run_screen_case(args, browser, name, players, results, names, tables, withdrawn):
    folder = os.path.join(args.out, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    server = subprocess.Popen([args.fixture, str(players), str(results), names, folder, "60",
                               str(tables), str(withdrawn)],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        port = int(server.stdout.readline().split()[1])
        with open(os.path.join(folder, "engine.json"), encoding="utf-8") as f:
            engine = json.load(f)
        with open(os.path.join(folder, "tournoi.json"), encoding="utf-8") as f:
            data = json.load(f)
        screen = "file://" + os.path.abspath(os.path.join(folder, "ecran.html"))
        browser.resize(1920, 1080)
        open_fresh(browser, screen)
        check_screen_dom(browser.run("document.documentElement.outerHTML"), engine, data,
                         name + " (screen)")
        pages = check_screen_fits(browser, folder, name)
        if players >= 100:
            check(pages > 1, name + ": more than one page")
            check_screen_turns(browser, screen, name + " (file)")
            check_screen_turns(browser, "http://127.0.0.1:%d/ecran" % port, name + " (server)")
        if tables > 0:
            check_page_widths(browser, folder, name)
            check_player_views(browser, folder, engine, name, own_refresh=players < 100)
    finally:
        server.stdin.close()
        server.wait(timeout=10)
    print("%s: checked (%s)" % (name, folder))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--fixture", required=True)
    parser.add_argument("--out", required=True)
    # Two CTest cases, each within its time: the page, and the screen with
    # the own views (which wait for the page's own reloads).
    parser.add_argument("--part", choices=("page", "screen"))
    args = parser.parse_args()
    if args.part != "screen":
        run_case(args, "five_midway", 5, 4, "plain")
        run_case(args, "sixteen_finished", 16, -1, "plain")
        run_case(args, "tricky_names_finished", 10, -1, "tricky")
    if args.part != "page":
        with Browser(1920, 1080) as browser:
            # Each with a player who left from the start: his matches are
            # forfeits.
            run_screen_case(args, browser, "screen_8", 8, 5, "plain", 2, 7)
            run_screen_case(args, browser, "screen_30", 30, 20, "long", 6, 29)
            run_screen_case(args, browser, "screen_30_finished", 30, -1, "long", 0, 12)
            run_screen_case(args, browser, "screen_100", 100, 30, "long", 12, 99)
    if failures:
        print("%d failure(s)" % len(failures), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
