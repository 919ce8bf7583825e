"""Serves a folder on 127.0.0.1 (or takes a running server's address) and
drives headless Chromium over the DevTools protocol, for the web page's tests
and benchmark. The server and the browser run in sessions of their own and
are ended by process group, Chromium's helper processes with it. Whatever the
page says on its console, in the browser's log or through a
Content-Security-Policy report is kept in `reports`; each text the live
region #verdict takes is kept in the page's `zoomatchSaid`."""
import base64
import io
import json
import math
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time
import urllib.request

import websocket
from PIL import Image

CHROMIUM_FLAGS = ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                  "--no-first-run", "--disable-background-networking",
                  "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                  "--mute-audio"]

# Runs in every document before the page's own scripts: reports CSP
# violations, the moment the page becomes playable, and each new text of the
# live region, which is what a screen reader speaks (the same text set
# again is no change and is not spoken).
HOOK = """(() => {
  document.addEventListener('securitypolicyviolation', e =>
    zoomatchReport('CSP: ' + e.violatedDirective + ' ' + e.blockedURI));
  window.zoomatchSaid = [];
  document.addEventListener('DOMContentLoaded', () => {
    const region = document.getElementById('verdict');
    let last = region && region.textContent;
    if (region)
      new MutationObserver(() => {
        if (region.textContent !== last)
          zoomatchSaid.push(last = region.textContent);
      }).observe(region, {childList: true, characterData: true, subtree: true});
  });
  new MutationObserver((_, observer) => {
    if (document.documentElement.dataset.playable === 'true') {
      window.zoomatchPlayable = performance.now();
      observer.disconnect();
    }
  }).observe(document, {attributes: true, subtree: true, attributeFilter: ['data-playable']});
})();"""

KEYS = {"Tab": 9, "Enter": 13, "Escape": 27, " ": 32, "ArrowLeft": 37, "ArrowUp": 38,
        "ArrowRight": 39, "ArrowDown": 40}
# The keys of the window's keyboard rule, as the tests name them: (key, shift).
RULE_KEYS = {"Tab": ("Tab", False), "ShiftTab": ("Tab", True), "Up": ("ArrowUp", False),
             "Down": ("ArrowDown", False), "Left": ("ArrowLeft", False),
             "Right": ("ArrowRight", False), "Space": (" ", False), "Enter": ("Enter", False),
             "Escape": ("Escape", False)}


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def stop(process):
    """Ends a process started in a session of its own, and every process of
    its group, and waits until they are gone."""
    def group_gone():
        try:
            os.killpg(process.pid, 0)
            return False
        except ProcessLookupError:
            return True
    for sig in (signal.SIGTERM, signal.SIGKILL):
        if not group_gone():
            try:
                os.killpg(process.pid, sig)
            except ProcessLookupError:
                pass
        try:
            process.wait(5)
            wait_for(group_gone, 5, "")
            return
        except (subprocess.TimeoutExpired, TimeoutError):
            continue


def wait_for(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError(what)
        time.sleep(0.02)


def start_server(folder, log):
    """A static server for `folder` on a free port; its request log to `log`."""
    port = free_port()
    process = subprocess.Popen(
        ["/usr/bin/python3", "-m", "http.server", "-b", "127.0.0.1", "-d", folder, str(port)],
        stdout=subprocess.DEVNULL, stderr=log, start_new_session=True)
    url = f"http://127.0.0.1:{port}/"

    def serving():
        try:
            return urllib.request.urlopen(url, timeout=1).status == 200
        except OSError:
            return False
    wait_for(serving, 10, "the web server did not answer")
    return process, url


def start_chromium(profile, log, port=0, zoom=1.0):
    """Headless Chromium with a fresh profile whose pages open at browser
    zoom `zoom`; returns it and its DevTools port."""
    if zoom != 1.0:
        # The profile's default zoom, in Chromium's steps of 1.2 per level.
        os.makedirs(os.path.join(profile, "Default"), exist_ok=True)
        with open(os.path.join(profile, "Default", "Preferences"), "w") as f:
            json.dump({"partition": {"default_zoom_level": {"x": math.log(zoom, 1.2)}}}, f)
    process = subprocess.Popen(
        ["chromium", *CHROMIUM_FLAGS, f"--user-data-dir={profile}",
         f"--remote-debugging-port={port}", "about:blank"],
        stdout=log, stderr=log, start_new_session=True)
    port_file = os.path.join(profile, "DevToolsActivePort")
    wait_for(lambda: os.path.exists(port_file) and open(port_file).read().count("\n") >= 1,
             30, "Chromium did not open its DevTools port")
    return process, int(open(port_file).read().split()[0])


class Session:
    """A headless Chromium with one page, at browser zoom `zoom`, for a static
    server of its own for `folder`, or for the one at `url`."""

    def __init__(self, folder=None, url=None, zoom=1.0):
        self.scratch = tempfile.mkdtemp(prefix="zoomatch-web-")
        self.processes = []
        self.reports = []
        self.loads = 0
        self.server, self.url = None, url
        try:
            self._start(folder, zoom)
        except BaseException:
            self.close()
            raise

    def _start(self, folder, zoom):
        self.server_log = os.path.join(self.scratch, "server.log")
        if folder:
            with open(self.server_log, "wb") as log:
                self.server, self.url = start_server(folder, log)
            self.processes.append(self.server)
        profile = os.path.join(self.scratch, "profile")
        os.mkdir(profile)
        with open(os.path.join(self.scratch, "chromium.log"), "wb") as log:
            browser, devtools = start_chromium(profile, log, zoom=zoom)
        self.processes.append(browser)
        pages = json.load(urllib.request.urlopen(f"http://127.0.0.1:{devtools}/json/list"))
        page = next(p for p in pages if p["type"] == "page")
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"],
                                                  suppress_origin=True, timeout=60)
        self.next_id = 0
        for domain in ("Page", "Runtime", "Log", "DOM", "Accessibility"):
            self.call(f"{domain}.enable")
        self.call("Runtime.addBinding", name="zoomatchReport")
        # The page has the focus, as the window in front has on a desktop.
        self.call("Emulation.setFocusEmulationEnabled", enabled=True)
        self.call("Page.addScriptToEvaluateOnNewDocument", source=HOOK)

    def close(self):
        if getattr(self, "socket", None):
            self.socket.close()
        for process in reversed(self.processes):
            stop(process)
        left = subprocess.run(["pgrep", "-af", self.scratch], capture_output=True, text=True).stdout
        shutil.rmtree(self.scratch, ignore_errors=True)
        if left:
            raise RuntimeError(f"processes left behind:\n{left}")

    def stop_server(self):
        stop(self.server)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _event(self, method, params):
        if method == "Runtime.consoleAPICalled":
            self.reports.append("console: " + " ".join(
                str(a.get("value", a.get("description"))) for a in params["args"]))
        elif method == "Log.entryAdded":
            entry = params["entry"]
            self.reports.append(f"log ({entry['source']}, {entry['level']}): {entry['text']}")
        elif method == "Runtime.exceptionThrown":
            self.reports.append(f"exception: {params['exceptionDetails']}")
        elif method == "Runtime.bindingCalled" and params["name"] == "zoomatchReport":
            self.reports.append(params["payload"])

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if "method" in message:
                self._event(message["method"], message.get("params", {}))
            elif message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message["result"]

    def evaluate(self, expression, wait=False):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=wait)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression[:60]}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def open(self, width=800, height=600, scale=1, mobile=False, touch=False, url=None):
        """Loads the page in a viewport of CSS pixels at a device scale, with
        a touch screen or a mouse; returns when it is playable."""
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=scale, mobile=mobile)
        self.call("Emulation.setTouchEmulationEnabled", enabled=touch, maxTouchPoints=1)
        self.call("Emulation.setEmitTouchEventsForMouse", enabled=False)
        self.reload(url)

    def reload(self, url=None, until="document.documentElement.dataset.playable === 'true'"):
        self.evaluate("window.zoomatchPage = 0")
        self.call("Page.navigate", url=url or self.url)

        def loaded():
            try:
                return self.evaluate("window.zoomatchPage === undefined && "
                                     f"document.readyState === 'complete' && ({until})")
            except RuntimeError:
                return False  # between two documents
        wait_for(loaded, 60, "the page did not load")
        # A mark on this document: gone if anything reloads the page.
        self.loads += 1
        self.evaluate(f"window.zoomatchPage = {self.loads}")

    def screenshot(self):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        return Image.open(io.BytesIO(base64.b64decode(data))).convert("RGB")

    def click(self, x, y):
        """A left click at (x, y) in CSS pixels, as a mouse gives it."""
        self.call("Input.dispatchMouseEvent", type="mouseMoved", x=x, y=y)
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left",
                      buttons=1 if kind == "mousePressed" else 0, clickCount=1)

    def tap(self, x, y):
        """A tap of one finger at (x, y)."""
        self.call("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y}])
        self.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def press_rule_key(self, name):
        """A key of the window's keyboard rule by its name ("ShiftTab", "Up")."""
        self.press(*RULE_KEYS[name])

    def press(self, key, shift=False):
        """One key as a keyboard sends it: down, its character, up."""
        number = KEYS[key]
        code = {" ": "Space"}.get(key, key)
        common = {"key": key, "code": code, "windowsVirtualKeyCode": number,
                  "modifiers": 8 if shift else 0}
        self.call("Input.dispatchKeyEvent", type="rawKeyDown", **common)
        if key in (" ", "Enter"):
            self.call("Input.dispatchKeyEvent", type="char", text=" " if key == " " else "\r",
                      **common)
        self.call("Input.dispatchKeyEvent", type="keyUp", **common)
