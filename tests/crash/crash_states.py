#!/usr/bin/env python3
"""Crash states: every disk a power cut could leave behind is loadable.

Types real runs of brackora in a window (Xvfb, xdotool) with fs_recorder
preloaded, which writes down each file-system operation the program makes in
its working folder. The driver adds a line "mark K" each time the question
after the K-th answer is on the screen.

Then, for a cut after every operation, it builds every state the disk could
be in under the conservative model:
  - data written to a file since its last fsync/fdatasync may be lost, or
    present only as a prefix (cut at a sector boundary, --sector bytes);
  - a create, rename or unlink is durable only once its folder is forced;
    until then any prefix of those folder operations may have happened;
  - nothing else is reordered.
Each state's save.txt is replayed by replay_state (the program's own load,
headless). It must bring back the tournament as it stood at some answer no
earlier than the last one whose next question had been shown, and
save.txt.bak must be a whole earlier save: the one this run started from
whenever save.txt no longer holds it, never a mix.

Runs: "load" (an 8-player tournament typed with a cancel, the window closed
in the middle, then loaded and played on), "backup" (a new tournament
started over a saved one and an older backup) and "rebuild" (save.txt
removed by hand in the middle of the run).

  crash_states.py --brackora B --recorder R --replay-state S --font F --out D
      [--run NAME]... [--skip STEP] [--sector N]

--skip STEP starts the program with BRACKORA_SKIP_FORCING=STEP (a tree built
with BRACKORA_FORCING_SWITCHES=ON) and expects bad states instead: this
shows that each forcing step matters. --removals does that for every step,
over the runs that use it, and prints what broke.
"""
import argparse
import itertools
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import driver  # noqa: E402
from crash_consistency import wait_until_no_window  # noqa: E402
from driver import Failure  # noqa: E402

PLAYERS = ["Ann", "Bob", "Cyd", "Dan", "Eve", "Fay", "Gus", "Hal"]
# A finished four-player tournament, and an older two-player one: what the
# "backup" run starts over.
PREVIOUS = b"4\nAnn\nBob\nCy\nDee\nAnn\nBob\nCy\nDee\nAnn\nCy\nBob\nDee\nquit\n"
OLDER = b"2\nX\nY\nX\nY\n"

# Each forcing step and the run that depends on it.
STEPS = {
    "answer": "backup", "truncate": "backup", "backup-data": "backup",
    "backup-folder": "backup", "replay-data": "load", "replay-folder": "load",
    "rewrite-data": "rebuild", "rewrite-folder": "rebuild",
}


# --- recording a run ------------------------------------------------------------

class Recording:
    """One working folder, its log, and the answers given so far."""

    def __init__(self, args, server, name, files):
        self.args, self.server, self.name = args, server, name
        self.work = os.path.join(args.out, "crash-work", name)
        shutil.rmtree(self.work, ignore_errors=True)
        self.cwd = os.path.join(self.work, "cwd")
        os.makedirs(self.cwd)
        shutil.copy(args.font, os.path.join(self.cwd, "font.ttf"))
        for file_name, content in files.items():
            with open(os.path.join(self.cwd, file_name), "wb") as out:
                out.write(content)
        self.log = os.path.join(self.work, "ops.log")
        self.answers = []
        self.proc = self.window = None

    def note(self, line):
        with open(self.log, "a") as log:
            log.write(line + "\n")

    def start(self):
        """Starts the program; the log first gets what the folder holds."""
        for file_name in sorted(os.listdir(self.cwd)):
            path = os.path.join(self.cwd, file_name)
            if file_name.startswith("save.txt") and os.path.isfile(path):
                with open(path, "rb") as source:
                    self.note("init %s %d %s" % (file_name, os.stat(path).st_ino,
                                                  source.read().hex() or "-"))
        self.note("start")
        env = dict(os.environ, DISPLAY=self.server.display, LD_PRELOAD=self.args.recorder,
                   BRACKORA_RECORD_DIR=os.path.realpath(self.cwd), BRACKORA_RECORD_LOG=self.log)
        env.pop("SDL_VIDEODRIVER", None)
        if self.args.skip:
            env["BRACKORA_SKIP_FORCING"] = self.args.skip
        self.out = open(os.path.join(self.work, "program.out"), "ab")
        self.proc = subprocess.Popen([self.args.brackora], cwd=self.cwd, env=env,
                                     stdout=self.out, stderr=subprocess.STDOUT,
                                     stdin=subprocess.DEVNULL)
        self.window = driver.Window(self.server.display, self.proc)
        self.window.settle()

    def shown(self):
        """The question after the answers given so far is on the screen."""
        self.window.settle()
        self.note("mark %d" % len(self.answers))

    def enter(self, text):
        self.window.type(text)
        self.window.x("xdotool", "key", "Return")

    def type_choice(self, choice):
        self.enter(choice)
        self.shown()

    def answer(self, text, typed=None):
        """Types typed (text by default); save.txt is to hold text."""
        self.answers.append(text)
        self.enter(text if typed is None else typed)
        if text != "quit":
            self.shown()

    def next_match(self):
        """The first playable match once the answers so far are loaded."""
        return replay_states(self.args, [transcript(self.answers)])[0]["next"]

    def play(self, results):
        for _ in range(results):
            match = self.next_match()
            if not match:
                return
            self.answer(match[0])
            # In lower case, the loser's name takes the place of the opponent
            # the prompt may offer; it is saved as the player's own name.
            self.answer(match[1], typed=match[1].lower())

    def end(self, how):
        if how == "close":
            driver.send_delete_window(self.server.display, self.window.wid)
        status = self.proc.wait(timeout=15)
        self.out.close()
        if status != 0:
            raise Failure("%s: the program ended with status %d" % (self.name, status))
        wait_until_no_window(dict(os.environ, DISPLAY=self.server.display))


def record_load(args, server):
    """8 players, results, a cancel; closed; loaded and played on."""
    rec = Recording(args, server, "load", {})
    rec.start()
    rec.type_choice("")
    rec.answer("8")
    for name in PLAYERS:
        rec.answer(name)
    rec.play(4)
    rec.answer("annuler")
    rec.answer("")
    rec.play(2)
    rec.end("close")
    rec.start()
    rec.type_choice("load")
    rec.play(4)
    rec.answer("quit")
    rec.end("quit")
    return rec


def record_backup(args, server):
    """A new tournament started over a saved one and an older backup."""
    rec = Recording(args, server, "backup", {"save.txt": PREVIOUS, "save.txt.bak": OLDER})
    rec.start()
    rec.type_choice("")
    rec.answer("4")
    for name in PLAYERS[:4]:
        rec.answer(name)
    rec.play(2)
    rec.answer("quit")
    rec.end("quit")
    return rec


def record_rebuild(args, server):
    """save.txt removed by hand between two answers, then rebuilt whole."""
    rec = Recording(args, server, "rebuild", {})
    rec.start()
    rec.type_choice("")
    rec.answer("3")
    for name in PLAYERS[:3]:
        rec.answer(name)
    rec.play(1)
    os.unlink(os.path.join(rec.cwd, "save.txt"))
    rec.note("hand-unlink save.txt")
    rec.play(1)
    rec.answer("quit")
    rec.end("quit")
    return rec


RUNS = {"load": record_load, "backup": record_backup, "rebuild": record_rebuild}


# --- the states a cut can leave ---------------------------------------------------

def transcript(answers):
    return b"".join(driver.latin1(a) + b"\n" for a in answers)


def apply_data(content, op):
    if op[0] == "trunc":
        return content[:op[1]]
    _, offset, data = op
    content = content.ljust(offset, b"\0")
    return content[:offset] + data + content[offset + len(data):]


def data_options(durable, pending, sector):
    """Every content a file can hold after a cut: a prefix of its pending
    operations, the last write perhaps cut at a sector boundary."""
    options = [durable]
    content = durable
    for op in pending:
        if op[0] == "write":
            _, offset, data = op
            for cut in range(1, len(data)):
                if (offset + cut) % sector == 0:
                    options.append(apply_data(content, ("write", offset, data[:cut])))
        content = apply_data(content, op)
        options.append(content)
    return options


def apply_folder(names, op):
    names = dict(names)
    if op[0] == "link":
        names[op[1]] = op[2]
    elif op[0] == "rename":
        if op[1] in names:
            names[op[2]] = names.pop(op[1])
    elif op[0] == "unlink":
        names.pop(op[1], None)
    return names


class Disk:
    """What is durable, and what was done since."""

    def __init__(self):
        self.names, self.data = {}, {}          # durable
        self.pending_folder, self.pending = [], {}
        self.current_names, self.current = {}, {}  # as the program sees it

    def content(self, name):
        ino = self.current_names.get(name)
        return None if ino is None else self.current.get(ino, b"")

    def do(self, op):
        kind = op[0]
        if kind == "init":
            _, name, ino, content = op
            self.names[name] = self.current_names[name] = ino
            self.data[ino] = self.current[ino] = content
        elif kind == "open":
            _, ino, truncated, created, name = op
            if name == ".":
                return
            if created:
                self.folder(("link", name, ino))
                self.data.setdefault(ino, b"")
                self.current.setdefault(ino, b"")
            if truncated and not created:
                self.write(ino, ("trunc", 0))
        elif kind in ("write", "trunc"):
            self.write(op[1], (kind,) + op[2:])
        elif kind == "sync":
            ino = op[1]
            for pending in self.pending.pop(ino, []):
                self.data[ino] = apply_data(self.data.get(ino, b""), pending)
        elif kind == "syncdir":
            for pending in self.pending_folder:
                self.names = apply_folder(self.names, pending)
            self.pending_folder = []
        elif kind in ("rename", "unlink"):
            self.folder(op)

    def write(self, ino, op):
        self.pending.setdefault(ino, []).append(op)
        self.current[ino] = apply_data(self.current.get(ino, b""), op)

    def folder(self, op):
        self.pending_folder.append(op)
        self.current_names = apply_folder(self.current_names, op)

    def cut_states(self, sector):
        """(save.txt, save.txt.bak) for every state a cut now can leave."""
        states = []
        names = self.names
        prefixes = [names]
        for op in self.pending_folder:
            names = apply_folder(names, op)
            prefixes.append(names)
        for names in prefixes:
            choices = []
            for name in ("save.txt", "save.txt.bak"):
                ino = names.get(name)
                if ino is None:
                    choices.append([None])
                else:
                    choices.append(data_options(self.data.get(ino, b""),
                                                self.pending.get(ino, []), sector))
            states += itertools.product(*choices)
        return states


def parse(line):
    words = line.split()
    kind = words[0]
    if kind == "init":
        return ("init", words[1], int(words[2]), bytes.fromhex(words[3].strip("-")))
    if kind == "open":
        return ("open", int(words[2]), words[3] == "1", words[4] == "1", words[5])
    if kind == "write":
        return ("write", int(words[1]), int(words[2]), bytes.fromhex(words[3].strip("-")))
    if kind == "trunc":
        return ("trunc", int(words[1]), int(words[2]))
    if kind == "sync":
        return ("sync", int(words[1]))
    if kind == "rename":
        return ("rename", words[1], words[2])
    if kind == "unlink":
        return ("unlink", words[1])
    if kind == "mark":
        return ("mark", int(words[1]))
    if kind == "hand-unlink":
        return ("hand-unlink", words[1])
    return (kind,)


def replay_states(args, contents):
    """replay_state's verdict on each content (None: no file)."""
    with tempfile.TemporaryDirectory() as scratch:
        paths = []
        for i, content in enumerate(contents):
            path = os.path.join(scratch, "%d.txt" % i)
            if content is not None:
                with open(path, "wb") as out:
                    out.write(content)
            paths.append(path)
        found = []
        for start in range(0, len(paths), 500):
            out = subprocess.run([args.replay_state] + paths[start:start + 500],
                                 stdout=subprocess.PIPE, check=True).stdout
            found += [json.loads(line) for line in out.decode("latin-1").splitlines()]
        return found


def key(verdict):
    return json.dumps(verdict, sort_keys=True)


def explore(args, rec):
    """Builds and checks every cut state of the recorded run."""
    with open(rec.log) as log:
        ops = [parse(line) for line in log if line.strip()]
    disk = Disk()
    answers = rec.answers
    shown = None                  # answers before the last question shown
    start_save = start_backup = None
    recorded = built = 0
    cases = {}                    # (save, bak, shown, start_save, start_backup) -> where
    by_hand = False               # save.txt removed by hand, not yet rebuilt
    for index, op in enumerate(ops):
        if op[0] == "mark":
            shown, by_hand = op[1], False
            continue
        if op[0] == "init":
            disk.do(op)
            continue
        if op[0] == "start":
            start_save, start_backup = disk.content("save.txt"), disk.content("save.txt.bak")
        elif op[0] == "hand-unlink":
            by_hand = True
            disk.do(("unlink", op[1]))
        else:
            recorded += 1
            disk.do(op)
        states = disk.cut_states(args.sector)
        built += len(states)
        for save, bak in states:
            # Until the next answer, a file removed by hand cannot be back.
            if by_hand and save is None:
                continue
            cases.setdefault((save, bak, shown, start_save, start_backup), index)

    saves = sorted({c[0] for c in cases} | {c[3] for c in cases}, key=lambda c: (c is None, c))
    verdicts = dict(zip(saves, map(key, replay_states(args, saves))))
    # The tournament after each answer k: its first k answers replayed. A
    # file never replays a lone final line feed (the line of a last empty
    # answer), so each prefix gets one more byte without a line feed, which
    # is itself never replayed: every one of the k lines then is.
    reached = [key(v) for v in replay_states(args, [transcript(answers[:k]) + b"\0"
                                                   for k in range(len(answers) + 1)])]
    bad = []
    for (save, bak, shown, start_save, start_backup), index in cases.items():
        problem = check(verdicts, reached, save, bak, shown, start_save, start_backup)
        if problem:
            bad.append((index, ops[index], problem, save, bak))
    return recorded, built, len(cases), bad


def check(verdicts, reached, save, bak, shown, start_save, start_backup):
    verdict = verdicts[save]
    lowest = 0 if shown is None else shown
    fine = verdict in reached[lowest:]
    if shown is None and start_save is not None and verdict == verdicts[start_save]:
        fine = True  # no question of this run shown yet: the old save may stay
    if not fine:
        return "save.txt replays to no tournament reached since answer %d" % lowest
    if not start_save:
        allowed = [start_backup]
    elif save is not None and save.startswith(start_save):
        allowed = [start_save, start_backup]
    else:
        allowed = [start_save]
    if bak not in allowed:
        return "save.txt.bak is not a whole earlier save"
    return None


# --- main ------------------------------------------------------------------------

def run_one(args, server, name):
    rec = RUNS[name](args, server)
    recorded, built, checked, bad = explore(args, rec)
    torn = sum(1 for b in bad if b[3] and not b[3].endswith(b"\n"))
    print("%s: %d operations recorded, %d answers, %d states built, %d distinct states "
          "checked, %d bad (%d with a half last line)"
          % (name, recorded, len(rec.answers), built, checked, len(bad), torn))
    for index, op, problem, save, bak in sorted(bad, key=lambda b: b[0])[:args.show]:
        print("  cut after operation %d %r: %s\n    save.txt %r\n    save.txt.bak %r"
              % (index, op[:2], problem, save, bak))
    shutil.rmtree(rec.work, ignore_errors=True)
    return len(bad)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--brackora", required=True)
    parser.add_argument("--recorder", required=True)
    parser.add_argument("--replay-state", required=True)
    parser.add_argument("--font", required=True)
    parser.add_argument("--out", default=os.getcwd())
    parser.add_argument("--run", action="append", choices=sorted(RUNS))
    parser.add_argument("--skip", help="forcing step(s) to leave out; bad states expected")
    parser.add_argument("--removals", action="store_true",
                        help="leave out each forcing step in turn over the run that uses it")
    parser.add_argument("--sector", type=int, default=1,
                        help="a write reaches the disk whole within each sector of this "
                             "size (1: any prefix of unforced data may be there)")
    parser.add_argument("--show", type=int, default=3, help="bad states shown per run")
    args = parser.parse_args()
    for attr in ("brackora", "recorder", "replay_state", "font", "out"):
        setattr(args, attr, os.path.abspath(getattr(args, attr)))

    server = driver.XServer()
    failed = False
    try:
        if args.removals:
            for step, run in STEPS.items():
                args.skip = step
                print("without %s:" % step, end=" ")
                sys.stdout.flush()
                if run_one(args, server, run) == 0:
                    print("FAIL: leaving out %s went unnoticed" % step)
                    failed = True
        else:
            for name in args.run or sorted(RUNS):
                bad = run_one(args, server, name)
                failed |= (bad == 0) if args.skip else (bad > 0)
    except (Failure, subprocess.SubprocessError) as failure:
        print("FAIL crash_states: %s" % failure)
        failed = True
    finally:
        server.stop()
    print("FAIL crash_states" if failed else "ok crash_states")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
