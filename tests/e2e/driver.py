#!/usr/bin/env python3
"""Runs one end-to-end case: brackora in a real X window, typed at like a user.

Each case (cases/<name>.json) gets a fresh working directory holding font.ttf
and the files it prepares, and its own Xvfb. The driver starts the program
there, finds its window, types the answers with xdotool and, where a step
says so, compares the window pixel for pixel with the picture that
render_expected paints from the texts the case lists. At the end of each run
it checks the exit status, standard output and error, and the files left in
the working directory. The case format is described in README.md.

Standard library only. On a failure the capture, the expectation and a
difference image land in <out>/e2e-failures/<case>/.
"""
import argparse
import ctypes
import ctypes.util
import fcntl
import json
import os
import re
import select
import shutil
import struct
import subprocess
import sys
import time
import zlib

TITLE = "Brackora 1.0 by Vandrell - Korvath"
SIZE = 800
PANEL_ROWS = 50
LEFT_WIDTH, RIGHT_WIDTH = 60, 40
# The status band, y 780 to 799: compared only for screens that list what it
# shows (a "status" or "warning" strip, "" for a black band).
BAND_TOP = 780
BAND_KINDS = ("status", "warning")


class Failure(Exception):
    pass


def latin1(text):
    return text.encode("latin-1")


def file_bytes(entry):
    """A file's content from a case: text, list of lines, or {lines, eol}."""
    if isinstance(entry, str):
        return latin1(entry)
    if isinstance(entry, list):
        entry = {"lines": entry}
    eol = entry.get("eol", "\n")
    return b"".join(latin1(line + eol) for line in entry["lines"])


# --- images -----------------------------------------------------------------

def rgb_from_xwd(data):
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    masks, ncolors = fields[14:17], fields[19]
    if bits_per_pixel != 32 or masks != (0xFF0000, 0xFF00, 0xFF):
        raise Failure("unexpected capture format: %d bpp, masks %s" % (bits_per_pixel, masks))
    start = header_size + 12 * ncolors
    rows = bytearray()
    for y in range(height):
        rows += data[start + y * bytes_per_line:start + y * bytes_per_line + 4 * width]
    rgb = bytearray(3 * width * height)
    red, green, blue = (2, 1, 0) if byte_order == 0 else (1, 2, 3)
    rgb[0::3], rgb[1::3], rgb[2::3] = rows[red::4], rows[green::4], rows[blue::4]
    return width, height, bytes(rgb)


def rgb_from_ppm(data):
    magic, width, height, maxval, pixels = data.split(maxsplit=4)
    if magic != b"P6" or maxval != b"255":
        raise Failure("unexpected reference image format")
    return int(width), int(height), pixels[:3 * int(width) * int(height)]


def write_png(path, width, rgb):
    height = len(rgb) // (3 * width)
    raw = b"".join(b"\0" + rgb[y * 3 * width:(y + 1) * 3 * width] for y in range(height))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n"
                  + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                  + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def first_difference(seen, expected, rows=SIZE):
    for y in range(rows):
        row = slice(3 * SIZE * y, 3 * SIZE * (y + 1))
        if seen[row] != expected[row]:
            for x in range(SIZE):
                i = 3 * (SIZE * y + x)
                if seen[i:i + 3] != expected[i:i + 3]:
                    return x, y, tuple(seen[i:i + 3]), tuple(expected[i:i + 3])
    return None


def difference_image(seen, expected):
    """Dimmed expectation, with every differing pixel in magenta."""
    out = bytearray(b // 3 for b in expected)
    for i in range(0, len(seen), 3):
        if seen[i:i + 3] != expected[i:i + 3]:
            out[i:i + 3] = b"\xff\x00\xff"
    return bytes(out)


# --- the X server and the window ----------------------------------------------

class XServer:
    """A private Xvfb; the server itself picks a free display number."""

    def __init__(self):
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x1024x24",
                                      "-nolisten", "tcp", "-noreset"],
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        ready, _, _ = select.select([self.proc.stdout], [], [], 15)
        number = self.proc.stdout.readline().strip() if ready else b""
        if not number.isdigit():
            self.stop()
            raise Failure("Xvfb did not start")
        self.display = ":" + number.decode()
        if subprocess.run(["xdpyinfo", "-display", self.display], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode != 0:
            self.stop()
            raise Failure("Xvfb on %s does not answer" % self.display)

    def map_keys(self, texts):
        """Binds each non-ASCII Latin-1 character of texts to a key of its own.

        xdotool types a character missing from the keyboard map by binding
        it to a spare key, pressing it and unbinding it at once; on a busy
        machine the program may read the map after the unbinding and get no
        character at all. Keys bound here, before the program starts, stay
        bound, so xdotool finds them and never rebinds. A few spare keys are
        left to xdotool for characters beyond what fits.
        """
        env = dict(os.environ, DISPLAY=self.display)
        table = subprocess.run(["xmodmap", "-pke"], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, check=True).stdout.decode()
        spare = [int(line.split()[1]) for line in table.splitlines()
                 if line.startswith("keycode") and line.rstrip().endswith("=")]
        spare = [code for code in spare if code > 8][:-2]
        chars = sorted({c for text in texts for c in text if 0xA0 <= ord(c) <= 0xFF})
        bindings, bound = [], set()
        for c in chars:
            if c in bound or not spare:
                continue
            # A letter and its capital share a key, Shift giving the capital.
            pair = [c, c.upper()] if c.upper() != c and len(c.upper()) == 1 else [c]
            if 0xA0 <= ord(pair[-1]) <= 0xFF:
                bound.update(pair)
                bindings += ["-e", "keycode %d = %s" % (spare.pop(0), " ".join(
                    "0x%04x" % ord(x) for x in pair))]
        if bindings:
            subprocess.run(["xmodmap"] + bindings, env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, check=True)

    def stop(self):
        self.proc.terminate()
        self.proc.wait()


def send_delete_window(display, wid):
    """What a window manager sends when the user clicks the close button."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

    class Event(ctypes.Union):
        _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                               ctypes.c_long, ctypes.POINTER(Event)]
    x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    if not dpy:
        raise Failure("cannot open display %s to close the window" % display)
    event = Event()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = wid
    event.xclient.message_type = x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(dpy, wid, 0, 0, ctypes.byref(event))
    x11.XFlush(dpy)
    x11.XCloseDisplay(dpy)


class Window:
    def __init__(self, display, proc):
        self.env = dict(os.environ, DISPLAY=display)
        self.display = display
        deadline = time.time() + 15
        while True:
            found = self.x("xdotool", "search", "--name", "^Brackora").split()
            if found:
                self.wid = int(found[0])
                break
            if proc.poll() is not None:
                raise Failure("the program ended (status %d) before its window appeared"
                              % proc.returncode)
            if time.time() > deadline:
                raise Failure("no window appeared")
            time.sleep(0.05)
        title = self.x("xdotool", "getwindowname", str(self.wid)).rstrip("\n")
        if title != TITLE:
            raise Failure("window title %r, expected %r" % (title, TITLE))
        self.x("xdotool", "windowfocus", "--sync", str(self.wid))

    def x(self, *command):
        done = subprocess.run(command, env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=20)
        return done.stdout.decode("latin-1")

    def capture(self):
        data = subprocess.run(["xwd", "-id", str(self.wid), "-silent"], env=self.env,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
        if len(data) < 100:
            return None
        width, height, rgb = rgb_from_xwd(data)
        return rgb if (width, height) == (SIZE, SIZE) else None

    def type(self, text):
        """ASCII runs through xdotool type, other Latin-1 bytes as keysyms."""
        for run in re.findall(r"[\x20-\x7e]+|[^\x20-\x7e]", text):
            if len(run) == 1 and not 0x20 <= ord(run) <= 0x7E:
                self.x("xdotool", "key", "0x%x" % ord(run))
            else:
                self.x("xdotool", "type", "--delay", "8", "--", run)

    def settle(self):
        """Waits until two captures a tenth of a second apart agree."""
        time.sleep(0.15)
        last, deadline = self.capture(), time.time() + 5
        while time.time() < deadline:
            time.sleep(0.1)
            now = self.capture()
            if now is not None and now == last:
                return now
            last = now
        return last

    def wait_for(self, expected, rows=SIZE):
        """The capture once its first rows equal expected's and stay so; else
        the last one."""
        def same(capture):
            return capture is not None and capture[:3 * SIZE * rows] == expected[:3 * SIZE * rows]
        last, deadline = None, time.time() + 8
        while time.time() < deadline:
            last = self.capture()
            if same(last):
                time.sleep(0.15)
                last = self.capture()
                if same(last):
                    return last, True
            time.sleep(0.05)
        return last, False


# --- expected pictures ---------------------------------------------------------

def resolve_screen(entry, screens):
    if isinstance(entry, str):
        entry = screens[entry]
    if "base" in entry:
        merged = dict(resolve_screen(entry["base"], screens))
        merged.update({k: v for k, v in entry.items() if k != "base"})
        return merged
    return entry


def checked_rows(screen):
    """Rows of the window a screen decides: all of them if it says what the
    status band shows, else those above the band."""
    if any(kind in BAND_KINDS for kind, _ in screen.get("strips", [])):
        return SIZE
    return BAND_TOP


def screen_ops(screen):
    ops = []
    if screen.get("credit"):
        ops.append("credit")
    if "left" in screen or "right" in screen:
        if screen.get("credit"):
            raise Failure("case error: the panels erase the credit line")
        for side, width in (("left", LEFT_WIDTH), ("right", RIGHT_WIDTH)):
            rows = screen.get(side, [])
            if len(rows) > PANEL_ROWS or any(len(latin1(r)) > width for r in rows):
                raise Failure("case error: %s panel rows exceed %dx%d" % (side, width, PANEL_ROWS))
            ops += ["%s %d %s" % (side, r, latin1(row.ljust(width)).hex())
                    for r, row in enumerate(rows)]
        ops.append("panels")
    for kind, text in screen.get("strips", []):
        ops.append("%s %s" % (kind, latin1(text).hex()))
    return "\n".join(ops) + "\n"


class Painter:
    def __init__(self, renderer, font, scratch):
        self.renderer, self.font, self.scratch = renderer, font, scratch
        self.cache = {}

    def paint(self, ops):
        if ops not in self.cache:
            ops_path = os.path.join(self.scratch, "expected.ops")
            ppm_path = os.path.join(self.scratch, "expected.ppm")
            with open(ops_path, "w") as out:
                out.write(ops)
            subprocess.run([self.renderer, self.font, ops_path, ppm_path], check=True)
            with open(ppm_path, "rb") as image:
                self.cache[ops] = rgb_from_ppm(image.read())[2]
        return self.cache[ops]


# --- one case --------------------------------------------------------------------

class CaseRun:
    def __init__(self, name, case, args):
        self.name, self.case, self.args = name, case, args
        self.work = os.path.join(args.out, "e2e-work", name)
        self.failures = os.path.join(args.out, "e2e-failures", name)
        for path in (self.work, self.failures):
            shutil.rmtree(path, ignore_errors=True)
        self.cwd = os.path.join(self.work, "cwd")
        os.makedirs(self.cwd)
        self.painter = Painter(args.renderer, args.font, self.work)
        self.labels = {}
        self.where, self.stem = "setup", "setup"

    def prepare(self):
        setup = self.case.get("setup", {})
        if setup.get("font", True):
            shutil.copy(self.args.font, os.path.join(self.cwd, "font.ttf"))
        for name, entry in setup.get("files", {}).items():
            with open(os.path.join(self.cwd, name), "wb") as out:
                out.write(file_bytes(entry))
        for name in setup.get("dirs", []):
            os.makedirs(os.path.join(self.cwd, name))

    def fail_picture(self, seen, expected, ops, rows=SIZE):
        os.makedirs(self.failures, exist_ok=True)
        write_png(os.path.join(self.failures, "expected.png"), SIZE, expected)
        if ops:
            with open(os.path.join(self.failures, "expected.ops"), "w") as out:
                out.write(ops)
        if seen is None:
            raise Failure("no capture of the window")
        write_png(os.path.join(self.failures, "capture.png"), SIZE, seen)
        write_png(os.path.join(self.failures, "diff.png"), SIZE, difference_image(seen, expected))
        x, y, got, want = first_difference(seen, expected, rows)
        raise Failure("first differing pixel at (%d, %d): seen %s, expected %s; images in %s"
                      % (x, y, got, want, self.failures))

    def change_files(self, changes):
        """A step's "files" changes, made by hand before its keys are sent:
        ["remove" | "mkdir" | "rmdir", name]."""
        actions = {"remove": os.unlink, "mkdir": os.mkdir, "rmdir": os.rmdir}
        for action, name in changes:
            actions[action](os.path.join(self.cwd, name))

    def step(self, window, step):
        self.change_files(step.get("files", []))
        if "answer" in step:
            window.type(step["answer"])
            window.x("xdotool", "key", "Return")
        if "type" in step:
            window.type(step["type"])
        for key in step.get("keys", []):
            window.x("xdotool", "key", key)
        if step.get("close"):
            send_delete_window(window.display, window.wid)
            return
        seen, ok, ops, rows = None, True, None, SIZE
        if "screen" in step:
            screen = resolve_screen(step["screen"], self.case.get("screens", {}))
            ops, rows = screen_ops(screen), checked_rows(screen)
            expected = self.painter.paint(ops)
            seen, ok = window.wait_for(expected, rows)
        elif "same_as" in step:
            expected = self.labels[step["same_as"]]
            seen, ok = window.wait_for(expected)
        else:
            seen = window.settle()
        if not ok:
            self.fail_picture(seen, expected, ops, rows)
        if self.args.keep_captures and seen is not None:
            os.makedirs(os.path.join(self.args.out, "e2e-captures", self.name), exist_ok=True)
            write_png(os.path.join(self.args.out, "e2e-captures", self.name,
                                   self.stem + ".png"), SIZE, seen)
        if "label" in step:
            self.labels[step["label"]] = seen

    def run(self, index, run, server):
        env = dict(os.environ)
        env.pop("SDL_VIDEODRIVER", None)
        env.pop("DISPLAY", None)
        if run.get("display", True):
            env["DISPLAY"] = server.display
        self.where = "run %d, start" % index
        out_path = os.path.join(self.work, "run%d.stdout" % index)
        err_path = os.path.join(self.work, "run%d.stderr" % index)
        # As a first copy of the program does, the driver holds the folder's
        # lock for the whole run when the case asks for it.
        lock = None
        if run.get("folder_locked"):
            lock = open(os.path.join(self.cwd, ".brackora.lock"), "a")
            fcntl.flock(lock, fcntl.LOCK_EX)
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            proc = subprocess.Popen([self.args.brackora], cwd=self.cwd, env=env,
                                    stdout=out, stderr=err, stdin=subprocess.DEVNULL)
        try:
            if run.get("steps"):
                self.where = "run %d, window" % index
                window = Window(server.display, proc)
                for number, step in enumerate(run["steps"], 1):
                    self.where = "run %d, step %d (%s)" % (index, number, describe(step))
                    self.stem = "run%d-step%02d" % (index, number)
                    self.step(window, step)
            self.where = "run %d, end" % index
            try:
                status = proc.wait(timeout=15)
            except subprocess.TimeoutExpired:
                raise Failure("the program is still running")
        except Failure as failure:
            with open(out_path, "rb") as out, open(err_path, "rb") as err:
                raise Failure("%s: %s\n  stdout so far (start): %r\n  stderr so far: %r"
                              % (self.where, failure, out.read(200), err.read()))
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
            if lock is not None:
                lock.close()
        with open(out_path, "rb") as out, open(err_path, "rb") as err:
            self.check_end(run, status, out.read(), err.read())

    def check_end(self, run, status, stdout, stderr):
        problems = []
        if status != run.get("exit", 0):
            problems.append("exit status %d, expected %d" % (status, run.get("exit", 0)))
        want_out = run.get("stdout", "")
        if want_out is not None:
            want_out = latin1("".join(want_out) if isinstance(want_out, list) else want_out)
            if stdout != want_out:
                problems.append("stdout %r, expected %r" % (stdout, want_out))
        if "stderr_regex" in run:
            if not re.fullmatch(run["stderr_regex"], stderr.decode("utf-8", "replace")):
                problems.append("stderr %r does not match %r" % (stderr, run["stderr_regex"]))
        elif stderr != latin1(run.get("stderr", "")):
            problems.append("stderr %r, expected %r" % (stderr, run.get("stderr", "")))
        for name, entry in run.get("files", {}).items():
            path = os.path.join(self.cwd, name)
            if entry is None:
                if os.path.lexists(path):
                    problems.append("%s exists, expected none" % name)
                continue
            seen = open(path, "rb").read() if os.path.isfile(path) else None
            if seen != file_bytes(entry):
                problems.append("%s holds %r, expected %r" % (name, seen, file_bytes(entry)))
        if problems:
            raise Failure("%s:\n  " % self.where + "\n  ".join(problems))


def describe(step):
    for key in ("answer", "type", "keys", "close", "same_as", "screen", "files"):
        if key in step:
            value = step[key]
            return "%s %s" % (key, json.dumps(value if not isinstance(value, dict) else "...",
                                              ensure_ascii=False))
    return "?"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("case", help="path of the case file (JSON)")
    parser.add_argument("--brackora", required=True)
    parser.add_argument("--renderer", required=True)
    parser.add_argument("--font", required=True)
    parser.add_argument("--out", default=os.getcwd(), help="where work and failure folders go")
    parser.add_argument("--keep-captures", action="store_true",
                        default=bool(os.environ.get("BRACKORA_E2E_KEEP")),
                        help="save every checked capture under e2e-captures/")
    args = parser.parse_args()
    args.out = os.path.abspath(args.out)
    name = os.path.splitext(os.path.basename(args.case))[0]
    with open(args.case, encoding="utf-8") as source:
        case = json.load(source)

    started = time.time()
    check = CaseRun(name, case, args)
    needs_display = any(run.get("display", True) for run in case["runs"])
    server = None
    try:
        server = XServer() if needs_display else None
        if server:
            server.map_keys(json.dumps(case, ensure_ascii=False))
        check.prepare()
        for index, run in enumerate(case["runs"], 1):
            check.run(index, run, server)
    except Failure as failure:
        print("FAIL %s: %s" % (name, failure))
        print("working directory kept in %s" % check.work)
        return 1
    finally:
        if server:
            server.stop()
    shutil.rmtree(check.work, ignore_errors=True)
    print("ok %s (%.1f s)" % (name, time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
