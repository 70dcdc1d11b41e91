#!/usr/bin/env python3
"""The real program sharing its page, in a window on a private Xvfb.

  port-in-use   the port is taken: the message on standard error and in the
                status band, and the tournament goes on, unshared
  load          CLIENTS clients poll / and /tournoi.json on 127.0.0.1 for
                SECONDS while a tournament is typed in the window, its
                results chosen from the served JSON: no failed request,
                save.txt holds exactly the typed answers, resident memory
                stays flat, and closing the window ends the program (and
                its server) even with idle connections open. With --probe (bench/window_probe), the key echo
                under that load is printed as a figure.

Talks to 127.0.0.1 only; every request, wait and run is bounded in time.
"""
import argparse
import http.client
import json
import os
import select
import shutil
import socket
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import driver  # noqa: E402  (XServer, Window, send_delete_window, captures)


class Failure(Exception):
    pass


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start(args, work, display, extra):
    env = dict(os.environ, DISPLAY=display)
    env.pop("SDL_VIDEODRIVER", None)
    out = open(os.path.join(work, "stdout"), "wb")
    err = open(os.path.join(work, "stderr"), "wb")
    proc = subprocess.Popen([args.brackora] + extra, cwd=work, env=env, stdout=out,
                            stderr=err, stdin=subprocess.DEVNULL)
    return proc


def answer(window, text):
    window.type(text)
    window.x("xdotool", "key", "Return")


def fetch(port, path, timeout=10):
    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=timeout)
    try:
        conn.request("GET", path)
        response = conn.getresponse()
        return response.status, response.read()
    finally:
        conn.close()


def rss_kb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def band_has_text(rgb):
    """Whether the status band (y 780 to 799) holds any lit pixel."""
    row_bytes = driver.SIZE * 3
    return any(rgb[780 * row_bytes:800 * row_bytes])


def finish(proc, window, display, seconds=5.0):
    """Closes the window; the time the program took to end."""
    started = time.monotonic()
    driver.send_delete_window(display, window.wid)
    try:
        proc.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        raise Failure("the program did not end within %.0f s of the close" % seconds)
    return time.monotonic() - started


def port_in_use(args, work, server):
    holder = socket.socket()
    holder.bind(("127.0.0.1", 0))
    holder.listen(1)
    port = holder.getsockname()[1]
    proc = start(args, work, server.display, ["--partager", str(port)])
    try:
        window = driver.Window(server.display, proc)
        # The band says so from the start question on.
        if not band_has_text(window.settle()):
            raise Failure("the status band is empty at the start question")
        for text in ("", "2", "Ana", "Bob"):
            answer(window, text)
        shot = window.settle()
        driver.write_png(os.path.join(work, "port-in-use.png"), driver.SIZE, shot)
        if not band_has_text(shot):
            raise Failure("the status band is empty")
        answer(window, "Bob")
        answer(window, "")  # the loser prompt offers Ana, the only opponent
        window.settle()
        finish(proc, window, server.display)
    finally:
        holder.close()
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    with open(os.path.join(work, "stderr"), "rb") as f:
        err = f.read().decode()
    expected = "Partage impossible sur le port %d : le port est deja utilise\n" % port
    if err != expected:
        raise Failure("stderr %r, expected %r" % (err, expected))
    with open(os.path.join(work, "save.txt"), "rb") as f:
        if f.read() != b"2\nAna\nBob\nBob\nAna\n":
            raise Failure("save.txt does not hold the typed answers")
    with open(os.path.join(work, "classement.csv"), "rb") as f:
        if f.read() != b"\xef\xbb\xbfPlace;Joueur\r\n1;Bob\r\n2;Ana\r\n":
            raise Failure("classement.csv is not the final standings")
    print("port-in-use: message, band and a whole tournament unshared (%s)" % work)


class Pollers:
    """CLIENTS threads, each alternating / and /tournoi.json."""

    def __init__(self, port, clients, pause):
        self.port, self.pause = port, pause
        self.stop = threading.Event()
        self.lock = threading.Lock()
        self.done, self.failed = 0, []
        self.threads = [threading.Thread(target=self.poll, args=(i,), daemon=True)
                        for i in range(clients)]
        for t in self.threads:
            t.start()

    def poll(self, index):
        paths = ["/", "/tournoi.json"]
        n = index
        while not self.stop.is_set():
            path = paths[n % 2]
            n += 1
            try:
                status, body = fetch(self.port, path)
                ok = status == 200 and (body.startswith(b"<!DOCTYPE html>") if path == "/"
                                        else json.loads(body) is not None)
            except Exception as e:  # any failure counts, whatever its kind
                ok, status = False, repr(e)
            with self.lock:
                self.done += 1
                if not ok:
                    self.failed.append("%s: %s" % (path, status))
            self.stop.wait(self.pause)

    def end(self):
        self.stop.set()
        for t in self.threads:
            t.join(timeout=15)


def played(port):
    return json.loads(fetch(port, "/tournoi.json")[1])


def load(args, work, server):
    port = free_port()
    proc = start(args, work, server.display, ["--partager", str(port)])
    typed = []
    pollers = None
    try:
        window = driver.Window(server.display, proc)
        with open(os.path.join(work, "stdout"), "rb") as f:
            deadline = time.monotonic() + 5
            while b"\n" not in f.read() and time.monotonic() < deadline:
                time.sleep(0.05)
                f.seek(0)
        answer(window, "")
        for text in (str(args.players), "auto"):
            answer(window, text)
            typed.append(text)
        pollers = Pollers(port, args.clients, args.pause)
        started = time.monotonic()
        rss = []
        echo = None
        while time.monotonic() - started < args.seconds:
            rss.append(rss_kb(proc.pid))
            state = played(port)
            matches = [m for m in state["a_jouer"] if m["jouable"]]
            if not matches:
                break
            winner, loser = matches[0]["joueur1"], matches[0]["joueur2"]
            for text in (winner, loser):
                answer(window, text)
                typed.append(text)
            deadline = time.monotonic() + 10
            while played(port)["matchs_joues"] != state["matchs_joues"] + 1:
                if time.monotonic() > deadline:
                    raise Failure("the page did not follow the result %s - %s" % (winner, loser))
                time.sleep(0.02)
            if args.probe and echo is None and time.monotonic() - started > args.seconds / 2:
                out = subprocess.run([args.probe, "echo", str(window.wid), "20"],
                                     env=dict(os.environ, DISPLAY=server.display),
                                     capture_output=True, text=True, timeout=60)
                echo = [float(v) for v in out.stdout.split()]
            time.sleep(args.type_pause)
        # The clients keep polling to the end of the period.
        while time.monotonic() - started < args.seconds:
            rss.append(rss_kb(proc.pid))
            time.sleep(0.5)
        pollers.end()
        # Closed while connections wait on the server's workers.
        idle = [socket.create_connection(("127.0.0.1", port), timeout=5) for _ in range(20)]
        try:
            closing = finish(proc, window, server.display)
        finally:
            for s in idle:
                s.close()
    finally:
        if pollers:
            pollers.end()
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    with open(os.path.join(work, "save.txt"), "rb") as f:
        saved = f.read().decode("latin-1")
    if saved != "".join(t + "\n" for t in typed):
        raise Failure("save.txt differs from the %d typed answers" % len(typed))
    if pollers.failed:
        raise Failure("%d of %d requests failed, first: %s"
                      % (len(pollers.failed), pollers.done, pollers.failed[0]))
    # Flat: after the first tenth of the run, at most 2 MB more.
    settled = rss[len(rss) // 10:]
    growth = max(settled) - settled[0]
    print("load: %d requests from %d clients in %.0f s, none failed; %d answers saved; "
          "resident memory %d to %d kB" % (pollers.done, args.clients, args.seconds,
                                           len(typed), settled[0], max(settled)))
    if growth > 2048:
        raise Failure("resident memory grew by %d kB under load" % growth)
    if echo:
        echo.sort()
        print("key_echo_under_load: %.1f ms (median of %d keys, max %.1f)"
              % (echo[len(echo) // 2], len(echo), echo[-1]))
    print("requests_under_load: %.0f per second" % (pollers.done / args.seconds))
    print("close_to_exit_sharing: %.2f s (20 idle connections open)" % closing)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=["port-in-use", "load"])
    parser.add_argument("--brackora", required=True)
    parser.add_argument("--font", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--clients", type=int, default=200)
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--pause", type=float, default=0.5, help="between one client's requests")
    parser.add_argument("--players", type=int, default=60)
    parser.add_argument("--type-pause", type=float, default=0.2)
    parser.add_argument("--probe", help="bench/window_probe, to time the key echo")
    args = parser.parse_args()
    args.brackora = os.path.abspath(args.brackora)
    args.probe = args.probe and os.path.abspath(args.probe)
    work = os.path.join(os.path.abspath(args.out), args.scenario)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    shutil.copy(args.font, os.path.join(work, "font.ttf"))
    server = driver.XServer()
    try:
        (port_in_use if args.scenario == "port-in-use" else load)(args, work, server)
    except (Failure, driver.Failure) as failure:
        print("FAIL: %s (%s)" % (failure, work), file=sys.stderr)
        return 1
    finally:
        server.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
