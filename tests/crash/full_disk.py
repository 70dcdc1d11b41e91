#!/usr/bin/env python3
"""Saving that fails: the program says so, goes on, and loses nothing.

Each case runs the real program in a window (Xvfb, xdotool) in a folder on a
small tmpfs that this script mounts (root only; otherwise it prints why and
exits with 77, which CTest reports as skipped), and breaks saving at one
point: a disk full at the start (no backup possible), during the replay of a
"load", or between the two answers of a result; a read-only folder; save.txt
turned into a folder or removed by hand; a file system that refuses to force
data (fsync and fdatasync fail with EINVAL, through sync_refuser).

Each case checks: the red warning in the status band (y 780 to 799, compared
pixel for pixel with render_expected's) at the prompts while saving fails
and an empty band once it works again; the messages on standard error; exit
status 0; and at the end save.txt equal byte for byte to the answers typed
(after the loaded ones), save.txt.bak to the tournament the folder held.
The tmpfs is unmounted whatever happens.
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import driver  # noqa: E402
from driver import Failure  # noqa: E402

PAGE = 4096
PREVIOUS = b"4\nAnn\nBob\nCy\nDee\nAnn\nBob\nCy\nDee\nAnn\nCy\nBob\nDee\n"
WARNING = "ATTENTION : le tournoi n'est plus sauvegarde (%s)"
UNSAVED = "Impossible d'ecrire save.txt : le tournoi ne sera pas sauvegarde"
BACK = "save.txt est de nouveau a jour : le tournoi est sauvegarde"
BAND = slice(780 * driver.SIZE * 3, 800 * driver.SIZE * 3)
RED = bytes((255, 70, 70))
# The separator between two parts of the band is three spaces wide: the
# warning's columns plus this many are compared.
GAP = 14


def band_rows(image):
    row = driver.SIZE * 3
    return [image[BAND][y * row:(y + 1) * row] for y in range(20)]


def band_starts_as(seen, expected, warning):
    """With a warning, the band's columns up to the end of the expected text
    (and a gap) are as expected; without one, no pixel of the band is red."""
    if not warning:
        rows = band_rows(seen)
        return not any(row[x:x + 3] == RED for row in rows for x in range(0, len(row), 3))
    lit = [x for row in band_rows(expected) for x in range(0, len(row), 3)
           if row[x:x + 3] != b"\0\0\0"]
    width = min(driver.SIZE * 3, max(lit, default=0) + 3 * (GAP + 1))
    return all(a[:width] == b[:width] for a, b in zip(band_rows(seen), band_rows(expected)))


def transcript(answers):
    return b"".join(driver.latin1(a) + b"\n" for a in answers)


class Folder:
    """A tmpfs of a few pages, mounted for one case."""

    def __init__(self, path, pages):
        self.path = path
        os.makedirs(path, exist_ok=True)
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%d" % (pages * PAGE), "tmpfs", path],
                       check=True, stderr=subprocess.PIPE)
        self.filler = os.path.join(path, "filler")

    def fill(self, leave_pages=0):
        """Takes all the free space but leave_pages pages."""
        fd = os.open(self.filler, os.O_WRONLY | os.O_CREAT | os.O_APPEND)
        try:
            while os.write(fd, b"\0" * PAGE) == PAGE:
                pass
        except OSError:
            pass
        size = os.fstat(fd).st_size
        os.ftruncate(fd, max(0, size - size % PAGE - leave_pages * PAGE))
        os.close(fd)

    def free(self):
        if os.path.exists(self.filler):
            os.unlink(self.filler)

    def remount(self, mode):
        subprocess.run(["mount", "-o", "remount," + mode, self.path], check=True)

    def unmount(self):
        subprocess.run(["umount", "-l", self.path], stderr=subprocess.DEVNULL)


class Case:
    def __init__(self, args, server, name, pages=32):
        self.args, self.server, self.name = args, server, name
        self.work = os.path.join(args.out, "full-disk-work", name)
        self.failures = os.path.join(args.out, "e2e-failures", "full_disk", name)
        for path in (self.work, self.failures):
            shutil.rmtree(path, ignore_errors=True)
        self.folder = Folder(os.path.join(self.work, "cwd"), pages)
        self.cwd = self.folder.path
        # The font stays outside the small file system.
        shutil.copy(args.font, os.path.join(self.work, "font.ttf"))
        os.symlink(os.path.join(self.work, "font.ttf"), os.path.join(self.cwd, "font.ttf"))
        self.answers = []
        self.painter = driver.Painter(args.renderer, args.font, self.work)

    def write(self, name, content):
        with open(os.path.join(self.cwd, name), "wb") as out:
            out.write(content)

    def read(self, name):
        path = os.path.join(self.cwd, name)
        if not os.path.isfile(path):
            return None
        with open(path, "rb") as source:
            return source.read()

    def start(self, preload=None):
        env = dict(os.environ, DISPLAY=self.server.display)
        env.pop("SDL_VIDEODRIVER", None)
        if preload:
            env["LD_PRELOAD"] = preload
        self.err_path = os.path.join(self.work, "stderr")
        with open(self.err_path, "wb") as err:
            self.proc = subprocess.Popen([self.args.brackora], cwd=self.cwd, env=env,
                                         stdout=subprocess.DEVNULL, stderr=err,
                                         stdin=subprocess.DEVNULL)
        self.window = driver.Window(self.server.display, self.proc)

    def enter(self, text, recorded=True, typed=None):
        """Types typed (text by default) and Return; save.txt is to hold
        text. typed "" takes the opponent the loser prompt offers."""
        if recorded:
            self.answers.append(text)
        self.window.type(text if typed is None else typed)
        self.window.x("xdotool", "key", "Return")
        if text != "quit":
            self.window.settle()

    def band(self, warning):
        """The status band starts with the warning in red (None: nothing in
        the band is red). Other parts of the band (the keys of the view, say)
        may follow the warning, so only the warning's own columns, and the
        gap after them, are compared."""
        ops = "warning %s\n" % driver.latin1(WARNING % warning).hex() if warning else ""
        expected = self.painter.paint(ops)
        for _ in range(40):
            seen = self.window.capture()
            if seen is not None and band_starts_as(seen, expected, warning is not None):
                return
            self.window.settle()
        os.makedirs(self.failures, exist_ok=True)
        driver.write_png(os.path.join(self.failures, "capture.png"), driver.SIZE, seen)
        raise Failure("the status band is not %s; capture in %s"
                      % ("the warning %r" % warning if warning else "empty", self.failures))

    def end(self, stderr_lines, files):
        status = self.proc.wait(timeout=15)
        if status != 0:
            raise Failure("exit status %d" % status)
        with open(self.err_path, "rb") as err:
            seen = err.read().decode("latin-1")
        # The players' files fail on a full disk too and say so once; that is
        # checked with the page itself, not here.
        seen = re.sub(r"(?m)^Impossible d'ecrire (tournoi\.html|classement\.csv) : .*\n", "", seen)
        pattern = "".join(line + "\n" for line in stderr_lines)
        if not re.fullmatch(pattern, seen):
            raise Failure("stderr %r does not match %r" % (seen, pattern))
        for name, want in files.items():
            got = self.read(name)
            if got != want:
                raise Failure("%s holds %r, expected %r" % (name, got, want))
        leftovers = [n for n in os.listdir(self.cwd) if n.endswith(".tmp")]
        if leftovers:
            raise Failure("temporary files left: %s" % leftovers)

    def recover(self, answers, stderr_lines, files):
        """The first answer once the cause is gone empties the band; the
        rest are typed, then "quit", and the end is checked. An answer is
        its text, or (text, typed) when other keys give it."""
        def enter(answer):
            text, typed = answer if isinstance(answer, tuple) else (answer, None)
            self.enter(text, typed=typed)
        enter(answers[0])
        self.band(None)
        for answer in answers[1:] + ["quit"]:
            enter(answer)
        self.end(stderr_lines, files() if callable(files) else files)

    def close(self):
        if getattr(self, "proc", None) is not None and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.folder.unmount()


# --- the cases -------------------------------------------------------------------

def full_at_start(c):
    c.write("save.txt", PREVIOUS)
    c.write(".brackora.lock", b"")
    c.folder.fill()
    c.start()
    c.enter("", recorded=False)
    c.band("No space left on device")
    for answer in ["3", "Ann", "Bob", "Cyd"]:
        c.enter(answer)
    c.band("No space left on device")
    if c.read("save.txt") != PREVIOUS:
        raise Failure("the saved tournament was touched while the disk was full")
    c.folder.free()
    c.recover(["Ann", "Bob"], [re.escape("Impossible de copier save.txt vers save.txt.bak : "
                                         "No space left on device"), UNSAVED, BACK],
              lambda: {"save.txt": transcript(c.answers), "save.txt.bak": PREVIOUS})


def long_tournament():
    """Forty players with long names: a save of three pages."""
    names = [("%02d" % i) * 120 for i in range(40)]
    return ["40"] + names + [names[0], names[1]]


def full_during_replay(c):
    loaded = long_tournament()
    c.write("save.txt", transcript(loaded))
    pages = -(-len(transcript(loaded)) // PAGE)
    c.write(".brackora.lock", b"")
    c.folder.fill(leave_pages=pages)  # room for the backup, not for the replay
    c.start()
    c.enter("load", recorded=False)
    c.band("No space left on device")
    if c.read("save.txt") != transcript(loaded):
        raise Failure("the loaded tournament was touched by the failed replay")
    c.answers = list(loaded)
    c.enter(loaded[3])
    c.folder.free()
    c.recover([loaded[4]], [re.escape("Impossible d'ecrire save.txt.tmp : "
                                      "No space left on device"), UNSAVED, BACK],
              lambda: {"save.txt": transcript(c.answers), "save.txt.bak": transcript(loaded)})


def page_sized_start(args):
    """Answers up to a winner that fill save.txt to exactly one page: names
    of 30 bytes (the longest a player may have) but the last, whose length
    makes up the difference, then results, the first playable match each
    time. Lower case: a typed loser then takes the place of the opponent
    the prompt may offer."""
    for count in range(30, 60):
        names = [(chr(97 + i % 26) + chr(97 + i // 26)) * 15 for i in range(count - 1)]
        for length in range(30, 0, -1):
            answers = ["%d" % count] + names + ["z" * length]
            while len(transcript(answers)) < PAGE:
                winner, loser = replay(args, transcript(answers))["next"]
                if len(transcript(answers + [winner])) == PAGE:
                    return answers + [winner], loser
                answers += [winner, loser]
    raise Failure("no names and results fill exactly one page")


def replay(args, content):
    with tempfile.NamedTemporaryFile() as source:
        source.write(content)
        source.flush()
        out = subprocess.run([args.replay_state, source.name], stdout=subprocess.PIPE,
                             check=True).stdout
    return json.loads(out.decode("latin-1"))


def full_between_answers(c):
    answers, loser = page_sized_start(c.args)
    c.start()
    c.enter("", recorded=False)
    for answer in answers:
        c.enter(answer)
    c.band(None)
    c.folder.fill()
    c.enter(loser)
    c.band("No space left on device")
    if c.read("save.txt") != transcript(c.answers[:-1]):
        raise Failure("the failed answer left a part of a line in save.txt")
    c.enter("annuler")
    c.band("No space left on device")
    c.folder.free()
    c.recover([""], [re.escape("Impossible d'ecrire save.txt : No space left on device"),
                     UNSAVED, BACK], lambda: {"save.txt": transcript(c.answers)})


def read_only_folder(c):
    c.write("save.txt", PREVIOUS)
    c.folder.remount("ro")
    c.start()
    c.enter("", recorded=False)
    c.band("Read-only file system")
    for answer in ["2", "Ann", "Bob"]:
        c.enter(answer)
    c.band("Read-only file system")
    c.folder.remount("rw")
    c.recover(["Ann", ("Bob", "")], [re.escape("Impossible de copier save.txt vers save.txt.bak : "
                                         "Read-only file system"), UNSAVED, BACK],
              lambda: {"save.txt": transcript(c.answers), "save.txt.bak": PREVIOUS})


def save_turned_into_folder(c):
    c.start()
    c.enter("", recorded=False)
    for answer in ["2", "Ann", "Bob"]:
        c.enter(answer)
    save = os.path.join(c.cwd, "save.txt")
    os.unlink(save)
    os.mkdir(save)
    c.enter("Ann")
    c.band("Is a directory")
    os.rmdir(save)
    c.recover([("Bob", "")], [re.escape("Impossible d'ecrire save.txt : Is a directory"),
                        UNSAVED, BACK], lambda: {"save.txt": transcript(c.answers)})


def save_removed(c):
    c.start()
    c.enter("", recorded=False)
    for answer in ["2", "Ann", "Bob"]:
        c.enter(answer)
    os.unlink(os.path.join(c.cwd, "save.txt"))
    c.recover(["Ann", ("Bob", "")], [], lambda: {"save.txt": transcript(c.answers)})


def sync_refused(c):
    c.write("save.txt", PREVIOUS)
    c.start(preload=c.args.refuser)
    c.enter("", recorded=False)
    c.band("Invalid argument")
    for answer in ["2", "Ann", "Bob", "Ann"]:
        c.enter(answer)
    c.enter("Bob", typed="")
    c.band("Invalid argument")
    c.enter("quit")
    c.end([re.escape("Impossible de forcer save.txt sur le disque : Invalid argument"),
           UNSAVED], {"save.txt": transcript(c.answers), "save.txt.bak": PREVIOUS})


CASES = [full_at_start, full_during_replay, full_between_answers, read_only_folder,
         save_turned_into_folder, save_removed, sync_refused]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    for option in ("--brackora", "--renderer", "--replay-state", "--refuser", "--font"):
        parser.add_argument(option, required=True)
    parser.add_argument("--out", default=os.getcwd())
    parser.add_argument("--only", action="append")
    args = parser.parse_args()
    for attr in ("brackora", "renderer", "replay_state", "refuser", "font", "out"):
        setattr(args, attr, os.path.abspath(getattr(args, attr)))
    if os.geteuid() != 0:
        print("skipped: mounting a small tmpfs needs root")
        return 77
    server = driver.XServer()
    failed = []
    try:
        for case in CASES:
            if args.only and case.__name__ not in args.only:
                continue
            try:
                c = Case(args, server, case.__name__)
            except subprocess.CalledProcessError as error:
                print("skipped: cannot mount a tmpfs (%s)" % error.stderr.decode().strip())
                return 77
            try:
                case(c)
                print("ok full_disk/%s" % case.__name__)
            except (Failure, subprocess.SubprocessError, OSError) as failure:
                failed.append(case.__name__)
                print("FAIL full_disk/%s: %s" % (case.__name__, failure))
            finally:
                c.close()
    finally:
        server.stop()
    print("FAIL full_disk: %s" % ", ".join(failed) if failed else "ok full_disk")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
