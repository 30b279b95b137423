"""A small driver for headless Chromium over its DevTools protocol, for the web journeys.

Starts the school host (which prints "PORT <n>") and the browser, and gives a page with the
few actions a journey needs: navigate, fill, click, wait for a selector or an expression,
evaluate, screenshot. A script error on the page fails the journey.
"""

import base64
import itertools
import json
import os
import re
import shutil
import subprocess
import tempfile
import threading
import time
import urllib.request

import websocket  # Debian's python3-websocket


class JourneyError(AssertionError):
    pass


def find_browser():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    raise JourneyError("no Chromium found (the Debian package chromium)")


class SchoolHost:
    """The C++ host serving the fixture school; stops when its standard input closes."""

    def __init__(self, program):
        self.proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        line = self.proc.stdout.readline()
        m = re.match(r"PORT (\d+)", line or "")
        if not m:
            self.close()
            raise JourneyError("the school host did not start: %r" % line)
        self.port = int(m.group(1))
        self.base = "http://127.0.0.1:%d/" % self.port

    def ask(self, question):
        """The host's one-line answer to a question (see SchoolHost.cpp)."""
        self.proc.stdin.write(question + "\n")
        self.proc.stdin.flush()
        answer = self.proc.stdout.readline().strip()
        if not answer or answer == "UNKNOWN":
            raise JourneyError("the school host did not answer %r: %r" % (question, answer))
        return answer

    def close(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.close()
                self.proc.wait(timeout=15)
            except (subprocess.TimeoutExpired, BrokenPipeError):
                self.proc.kill()
                self.proc.wait()
        return self.proc.returncode


class Browser:
    """Headless Chromium with one page, sized like a phone."""

    def __init__(self, width=390, height=844):
        self.profile = tempfile.mkdtemp(prefix="journey-chromium-")
        args = [find_browser(), "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                "--no-default-browser-check", "--disable-extensions", "--remote-debugging-port=0",
                "--remote-allow-origins=*",
                "--user-data-dir=" + self.profile, "--window-size=%d,%d" % (width, height), "about:blank"]
        self.proc = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        port = None
        deadline = time.time() + 30
        while time.time() < deadline and port is None:
            line = self.proc.stderr.readline()
            if not line and self.proc.poll() is not None:
                break
            m = re.search(r"DevTools listening on ws://[^:]+:(\d+)/", line)
            if m:
                port = int(m.group(1))
        if port is None:
            self.close()
            raise JourneyError("Chromium did not open its DevTools port")
        # nothing reads stderr from now on: let it go nowhere rather than fill a pipe
        threading.Thread(target=lambda: [None for _ in self.proc.stderr], daemon=True).start()
        targets = json.load(urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port, timeout=10))
        page = next(t for t in targets if t.get("type") == "page")
        self.page = Page(page["webSocketDebuggerUrl"], width, height)

    def close(self):
        try:
            if getattr(self, "page", None):
                self.page.close()
        finally:
            if self.proc.poll() is None:
                self.proc.terminate()
                try:
                    self.proc.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    self.proc.kill()
                    self.proc.wait()
            shutil.rmtree(self.profile, ignore_errors=True)


class Page:
    def __init__(self, ws_url, width, height):
        self.ws = websocket.create_connection(ws_url, timeout=30, suppress_origin=True)
        self.ids = itertools.count(1)
        self.errors = []
        self.responses = {}
        for method in ("Page.enable", "Runtime.enable", "Network.enable"):
            self.send(method)
        self.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 2, "mobile": True})

    def close(self):
        self.ws.close()

    def _event(self, msg):
        method = msg.get("method")
        params = msg.get("params", {})
        if method == "Runtime.exceptionThrown":
            details = params.get("exceptionDetails", {})
            text = details.get("exception", {}).get("description") or details.get("text")
            self.errors.append(text)
        elif method == "Network.responseReceived" and params.get("type") == "Document":
            response = params["response"]
            self.responses[response["url"]] = response

    def send(self, method, params=None):
        msg_id = next(self.ids)
        self.ws.send(json.dumps({"id": msg_id, "method": method, "params": params or {}}))
        while True:
            msg = json.loads(self.ws.recv())
            if msg.get("id") == msg_id:
                if "error" in msg:
                    raise JourneyError("%s: %s" % (method, msg["error"]))
                return msg.get("result", {})
            self._event(msg)

    def evaluate(self, expression):
        """The value of a JavaScript expression (promises are awaited)."""
        result = self.send("Runtime.evaluate",
                           {"expression": expression, "returnByValue": True, "awaitPromise": True})
        if "exceptionDetails" in result:
            raise JourneyError("evaluating %s: %s" % (expression, result["exceptionDetails"].get("text")))
        return result.get("result", {}).get("value")

    def wait_for(self, expression, timeout=10, what=None):
        deadline = time.time() + timeout
        while time.time() < deadline:
            try:
                value = self.evaluate(expression)
            except JourneyError:
                value = None  # the page is being replaced
            if value:
                return value
            time.sleep(0.1)
        raise JourneyError("timed out waiting for %s" % (what or expression))

    def wait_for_selector(self, selector, timeout=10):
        return self.wait_for("!!document.querySelector(%s)" % json.dumps(selector), timeout, selector)

    def navigate(self, url, timeout=15):
        self.send("Page.navigate", {"url": url})
        self.wait_for("document.readyState === 'complete' && location.href === %s" % json.dumps(url), timeout,
                      "loading " + url)

    def fill(self, selector, text):
        ok = self.evaluate("""(() => {
            const el = document.querySelector(%s);
            if (!el) return false;
            el.focus();
            el.value = %s;
            el.dispatchEvent(new Event('input', {bubbles: true}));
            el.dispatchEvent(new Event('change', {bubbles: true}));
            return true;
        })()""" % (json.dumps(selector), json.dumps(text)))
        if not ok:
            raise JourneyError("nothing to fill at " + selector)

    def click(self, selector):
        ok = self.evaluate("""(() => {
            const el = document.querySelector(%s);
            if (!el) return false;
            el.scrollIntoView({block: 'center'});
            el.click();
            return true;
        })()""" % json.dumps(selector))
        if not ok:
            raise JourneyError("nothing to click at " + selector)

    def text(self, selector):
        return self.evaluate("(document.querySelector(%s) || {}).textContent || ''" % json.dumps(selector))

    def screenshot(self, path):
        os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
        data = self.send("Page.captureScreenshot", {"format": "png", "captureBeyondViewport": True})["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))
        return path

    def check_no_script_errors(self):
        if self.errors:
            raise JourneyError("script errors on the page: %s" % self.errors)
