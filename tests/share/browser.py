"""Headless Chromium driven over its DevTools pipe, for the page tests.

One browser per Browser object, one tab, a profile of its own removed on
close. Every wait is bounded: a call that gets no answer within its time
raises TimeoutError, and close() kills the browser if it does not end.
"""
import base64
import json
import os
import select
import shutil
import subprocess
import tempfile
import time

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
         "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--hide-scrollbars",
         "--remote-debugging-pipe"]


class Browser:
    def __init__(self, width, height, timeout=30):
        self.timeout = timeout
        self.profile = tempfile.mkdtemp(prefix="brackora_chromium_")
        to_browser_read, self.to_browser = os.pipe()
        self.from_browser, from_browser_write = os.pipe()

        # The browser reads its commands on descriptor 3 and answers on 4.
        def pipes_as_3_and_4():
            read, write = os.dup(to_browser_read), os.dup(from_browser_write)
            os.dup2(read, 3)
            os.dup2(write, 4)

        self.process = subprocess.Popen(
            ["chromium"] + FLAGS + ["--user-data-dir=" + self.profile,
                                    "--window-size=%d,%d" % (width, height), "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            pass_fds=(3, 4, to_browser_read, from_browser_write), preexec_fn=pipes_as_3_and_4)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self.buffer = b""
        self.next_id = 0
        self.events = []
        target = self.call("Target.createTarget", url="about:blank")["targetId"]
        self.session = self.call("Target.attachToTarget", targetId=target,
                                 flatten=True)["sessionId"]
        self.call("Page.enable")
        self.call("Runtime.enable")
        self.resize(width, height)

    def _message(self, deadline):
        while b"\0" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.from_browser], [], [], left)[0]:
                raise TimeoutError("no answer from the browser")
            chunk = os.read(self.from_browser, 65536)
            if not chunk:
                raise EOFError("the browser closed its pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, session=True, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session and getattr(self, "session", None):
            message["sessionId"] = self.session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + self.timeout
        while True:
            answer = self._message(deadline)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise RuntimeError("%s: %s" % (method, answer["error"]))
                return answer.get("result", {})
            self.events.append(answer)

    def wait_event(self, method, seconds):
        """The first event of that kind received from now on, or None."""
        self.events = [e for e in self.events if e.get("method") != method]
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            try:
                event = self._message(deadline)
            except TimeoutError:
                return None
            if event.get("method") == method:
                return event
        return None

    def resize(self, width, height):
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=1, mobile=False)

    def load(self, url, seconds=15):
        """Opens the URL and waits for its load event."""
        self.events = []
        self.call("Page.navigate", url=url)
        if self.wait_event("Page.loadEventFired", seconds) is None:
            raise TimeoutError("no load event for " + url)

    def reload(self, seconds=15):
        self.call("Page.reload")
        if self.wait_event("Page.loadEventFired", seconds) is None:
            raise TimeoutError("no load event after a reload")

    def run(self, expression):
        """The value of a JavaScript expression (promises awaited)."""
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError("script failed: %s" % result["exceptionDetails"])
        return result["result"].get("value")

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def close(self):
        try:
            self.call("Browser.close", session=False)
        except (OSError, EOFError, TimeoutError, RuntimeError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(timeout=10)
        os.close(self.to_browser)
        os.close(self.from_browser)
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
