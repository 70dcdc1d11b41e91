#!/usr/bin/env python3
"""Crash consistency: save.txt survives a run cut short at any moment.

One four-player tournament (Ann, Bob, Cy, Dee, every result, one cancel in
the middle, each loser taken as offered) is typed again and again, each time
in a fresh working directory, and the run is cut at a different moment:
right after an answer, or with an answer half typed; by SIGKILL, or at a few
points by closing the window.
Before the cut, the window is captured once it has settled after the last
completed answer. After the cut:

  1. save.txt holds whole lines only, and they are exactly the answers
     completed so far (a half-typed answer never appears);
  2. a new run that answers "load" ends its replay on the very window that
     was captured, also where the last completed answer is an empty
     acknowledgement (a line feed alone, last in the file);
  3. that new run keeps the cut run's save.txt in save.txt.bak (an empty one
     leaves no backup) and rebuilds save.txt with the same lines.

A closed window must also end the cut run with status 0.

Uses the helpers of driver.py (Xvfb, the window, captures, PNG output).
On a failure the captures and a difference image land in
<out>/e2e-failures/crash_consistency/<point>/.
"""
import argparse
import os
import shutil
import signal
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import driver  # noqa: E402
from driver import Failure  # noqa: E402

NAME = "crash_consistency"

# Every answer after the start choice, in order: the count, the names, then
# Ann beats Bob, Cy beats Dee, that result cancelled and acknowledged, Dee
# beats Cy, and the second round (Ann beats Dee, Bob beats Cy).
ANSWERS = ["4", "Ann", "Bob", "Cy", "Dee",
           "Ann", "Bob", "Cy", "Dee", "annuler", "",
           "Dee", "Cy", "Ann", "Dee", "Bob", "Cy"]
ACKNOWLEDGEMENT = 10  # index in ANSWERS of the empty answer after "annuler"
# Indexes in ANSWERS of the losers: each is the winner's only opponent, which
# the loser prompt offers in the input strip, so Return alone answers it (as
# an operator does) and save.txt holds the name.
OFFERED = {6, 8, 12, 14, 16}

# Where each run is cut: (name, answers completed, letters of the next answer
# typed without Return, how the run ends).
POINTS = [
    ("after_start_choice", 0, "", "kill"),
    ("after_count", 1, "", "kill"),
    ("mid_names", 3, "", "kill"),
    ("typing_a_name", 3, "De", "kill"),
    ("after_last_name", 5, "", "kill"),
    ("after_first_result", 7, "", "kill"),
    ("typing_a_loser", 8, "de", "kill"),
    ("after_cancel_word", 10, "", "kill"),
    ("after_acknowledgement", ACKNOWLEDGEMENT + 1, "", "kill"),
    ("after_a_winner", 12, "", "kill"),
    ("typing_a_winner", 13, "An", "kill"),
    ("after_all_results", len(ANSWERS), "", "kill"),
    ("closed_after_a_winner", 6, "", "close"),
    ("closed_after_acknowledgement", ACKNOWLEDGEMENT + 1, "", "close"),
    ("closed_typing_a_winner", 15, "Bo", "close"),
]

# A settled window: unchanged over this many seconds of captures.
QUIET = 0.25
TIMEOUT = 8.0


def transcript(answers):
    return b"".join(driver.latin1(a) + b"\n" for a in answers)


def keystrokes(count):
    """The keys of the first count answers; xdotool type sends "\\r" as the
    Return key, which ends an answer."""
    return "".join(("" if i in OFFERED else ANSWERS[i]) + "\r" for i in range(count))


def read_file(path):
    if not os.path.isfile(path):
        return None
    with open(path, "rb") as source:
        return source.read()


class Program:
    """One run of brackora in cwd, with its window on the shared Xvfb."""

    def __init__(self, args, server, cwd, tag):
        env = dict(os.environ, DISPLAY=server.display)
        env.pop("SDL_VIDEODRIVER", None)
        self.env, self.display = env, server.display
        wait_until_no_window(env)
        self.out = open(os.path.join(cwd, "..", tag + ".stdout"), "wb")
        self.proc = subprocess.Popen([args.brackora], cwd=cwd, env=env, stdout=self.out,
                                     stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        try:
            self.window = driver.Window(server.display, self.proc)
        except Failure:
            self.stop()
            raise

    def type(self, text):
        if text:
            subprocess.run(["xdotool", "type", "--delay", "8", "--", text], env=self.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=30, check=True)

    def settled(self):
        """The capture once it has stayed the same for QUIET seconds."""
        deadline = time.time() + TIMEOUT
        last, since = self.window.capture(), time.time()
        while time.time() < deadline:
            time.sleep(0.05)
            now = self.window.capture()
            if now is None or now != last:
                last, since = now, time.time()
            elif time.time() - since >= QUIET:
                return now
        raise Failure("the window never settled")

    def settled_unlike(self, before):
        """The settled capture once it differs from before."""
        deadline = time.time() + TIMEOUT
        while time.time() < deadline:
            now = self.settled()
            if now != before:
                return now
        raise Failure("the typed letters never showed in the window")

    def kill(self):
        self.proc.send_signal(signal.SIGKILL)
        status = self.proc.wait(timeout=15)
        if status != -signal.SIGKILL:
            raise Failure("the program ended with status %d before SIGKILL" % status)

    def close(self):
        driver.send_delete_window(self.display, self.window.wid)
        try:
            status = self.proc.wait(timeout=15)
        except subprocess.TimeoutExpired:
            raise Failure("the program still runs after its window was closed")
        if status != 0:
            raise Failure("closing the window ended the program with status %d" % status)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.out.close()


def wait_until_no_window(env):
    """A killed client's window can outlive it briefly; never mistake it for
    the next run's window."""
    deadline = time.time() + TIMEOUT
    while time.time() < deadline:
        found = subprocess.run(["xdotool", "search", "--name", "^Brackora"], env=env,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
        if not found.split():
            return
        time.sleep(0.05)
    raise Failure("a window of an earlier run is still open")


def wait_for_file(path, expected, when):
    """Waits until save.txt holds exactly the expected bytes."""
    deadline = time.time() + TIMEOUT
    while True:
        seen = read_file(path)
        if seen == expected:
            return
        if time.time() > deadline:
            raise Failure("%s, save.txt holds %r, expected %r" % (when, seen, expected))
        time.sleep(0.02)


def check_cut_transcript(seen, completed):
    """Whole lines only, and exactly the completed answers."""
    if seen is None:
        raise Failure("save.txt is missing after the cut")
    if seen and not seen.endswith(b"\n"):
        raise Failure("save.txt ends in the middle of a line: %r" % seen)
    lines = seen.split(b"\n")[:-1]
    given = [driver.latin1(a) for a in ANSWERS]
    if lines != given[:len(lines)]:
        raise Failure("save.txt %r is not a prefix of the answers given" % seen)
    if len(lines) != completed:
        raise Failure("save.txt holds %d of the %d completed answers: %r"
                      % (len(lines), completed, seen))


class Point:
    """One cut: its own working directory, the cut run and the load run."""

    def __init__(self, args, server, name, completed, partial, end):
        self.args, self.server = args, server
        self.name, self.completed, self.partial, self.end = name, completed, partial, end
        self.work = os.path.join(args.out, "e2e-work", NAME, name)
        self.failures = os.path.join(args.out, "e2e-failures", NAME, name)
        for path in (self.work, self.failures):
            shutil.rmtree(path, ignore_errors=True)
        self.cwd = os.path.join(self.work, "cwd")
        os.makedirs(self.cwd)
        shutil.copy(args.font, os.path.join(self.cwd, "font.ttf"))
        self.save = os.path.join(self.cwd, "save.txt")
        self.backup = self.save + ".bak"

    def expect_window(self, program, expected, what):
        seen, ok = program.window.wait_for(expected)
        if ok:
            return
        os.makedirs(self.failures, exist_ok=True)
        driver.write_png(os.path.join(self.failures, "expected.png"), driver.SIZE, expected)
        if seen is None:
            raise Failure("%s: no capture of the window" % what)
        driver.write_png(os.path.join(self.failures, "capture.png"), driver.SIZE, seen)
        driver.write_png(os.path.join(self.failures, "diff.png"), driver.SIZE,
                         driver.difference_image(seen, expected))
        x, y, got, want = driver.first_difference(seen, expected)
        raise Failure("%s: first differing pixel at (%d, %d): seen %s, expected %s; images in %s"
                      % (what, x, y, got, want, self.failures))

    def cut_run(self):
        """Types up to the point, captures the settled window, cuts."""
        program = Program(self.args, self.server, self.cwd, "cut")
        try:
            upto = self.completed
            program.type("\r" + keystrokes(upto))
            wait_for_file(self.save, transcript(ANSWERS[:upto]), "with %d answers given" % upto)
            shots = [program.settled()]
            if self.partial:
                program.type(self.partial)
                program.settled_unlike(shots[-1])
            if self.end == "kill":
                program.kill()
            else:
                program.close()
        finally:
            program.stop()
        return shots

    def load_run(self, shots, cut):
        program = Program(self.args, self.server, self.cwd, "load")
        try:
            program.type("load\r")
            self.expect_window(program, shots[0], "after the replay")
            wait_for_file(self.save, cut, "after the replay")
        finally:
            program.stop()
        backup = read_file(self.backup)
        if cut and backup != cut:
            raise Failure("save.txt.bak holds %r, expected the cut run's %r" % (backup, cut))
        if not cut and backup is not None:
            raise Failure("an empty save.txt was backed up: save.txt.bak holds %r" % backup)

    def run(self):
        shots = self.cut_run()
        cut = read_file(self.save)
        check_cut_transcript(cut, self.completed)
        self.load_run(shots, cut)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--brackora", required=True)
    parser.add_argument("--font", required=True)
    parser.add_argument("--out", default=os.getcwd(), help="where work and failure folders go")
    parser.add_argument("--only", action="append", help="run only the named point(s)")
    args = parser.parse_args()
    args.out = os.path.abspath(args.out)
    args.brackora, args.font = os.path.abspath(args.brackora), os.path.abspath(args.font)

    started = time.time()
    failed = []
    try:
        server = driver.XServer()
    except Failure as failure:
        print("FAIL %s: %s" % (NAME, failure))
        return 1
    try:
        for name, completed, partial, end in POINTS:
            if args.only and name not in args.only:
                continue
            point = Point(args, server, name, completed, partial, end)
            try:
                point.run()
            except (Failure, subprocess.SubprocessError) as failure:
                failed.append(name)
                print("FAIL %s/%s: %s" % (NAME, name, failure))
                print("  working directory kept in %s" % point.work)
                continue
            shutil.rmtree(point.work, ignore_errors=True)
            print("ok %s/%s" % (NAME, name))
    finally:
        server.stop()
    if failed:
        print("FAIL %s: %d of the cut points failed: %s"
              % (NAME, len(failed), ", ".join(failed)))
        return 1
    shutil.rmtree(os.path.join(args.out, "e2e-work", NAME), ignore_errors=True)
    print("ok %s (%.1f s)" % (NAME, time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
