"""Headless Chromium driven over the DevTools protocol, and a static server,
for the web page's tests and benchmark. Each runs in a session of its own and
is ended with its process group. What the page says on its console, in the
browser's log or through a Content-Security-Policy report is kept in
`reports`; each new text of the live region #verdict in `zoomatchSaid`."""
import base64
import contextlib
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

# Runs in every document before the page's scripts: reports CSP violations,
# the moment the page becomes playable, and each new text of the live region,
# which is what a screen reader speaks (the same text set again is not).
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

# The keys of the window's keyboard rule by the tests' names: the key, its
# key code, the modifiers (8 is Shift) and the character it types.
KEYS = {"Tab": ("Tab", 9, 0, None), "ShiftTab": ("Tab", 9, 8, None),
        "Up": ("ArrowUp", 38, 0, None), "Down": ("ArrowDown", 40, 0, None),
        "Left": ("ArrowLeft", 37, 0, None), "Right": ("ArrowRight", 39, 0, None),
        "Space": (" ", 32, 0, " "), "Enter": ("Enter", 13, 0, "\r"),
        "Escape": ("Escape", 27, 0, None)}


def wait_for(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() > deadline:
            raise TimeoutError(what)
        time.sleep(0.02)
    return value


def group_gone(pid):
    try:
        os.killpg(pid, 0)
        return False
    except ProcessLookupError:
        return True


def stop(process):
    """Ends a process started in a session of its own (a Popen, or the PID of
    one that is no child of ours) with its whole group; true once all is gone."""
    pid = getattr(process, "pid", process)
    for sig in (signal.SIGTERM, signal.SIGKILL):
        with contextlib.suppress(ProcessLookupError):
            os.killpg(pid, sig)
        with contextlib.suppress(subprocess.TimeoutExpired, TimeoutError):
            if pid is not process:
                process.wait(5)
            return wait_for(lambda: group_gone(pid), 5, "")
    return group_gone(pid)


def start_server(folder, log):
    """A static server for `folder` on a free port; its request log to `log`."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    process = subprocess.Popen(
        ["/usr/bin/python3", "-m", "http.server", "-b", "127.0.0.1", "-d", folder, str(port)],
        stdout=subprocess.DEVNULL, stderr=log, start_new_session=True)
    url = f"http://127.0.0.1:{port}/"

    def serving():
        with contextlib.suppress(OSError):
            return urllib.request.urlopen(url, timeout=1).status == 200
    wait_for(serving, 10, "the web server did not answer")
    return process, url


def start_chromium(profile, log, zoom=1.0, flags=()):
    """Headless Chromium with a fresh profile whose pages open at browser
    zoom `zoom`, with more command-line `flags`; returns it and its DevTools
    port."""
    if zoom != 1.0:  # the profile's default zoom, in Chromium's steps of 1.2
        os.makedirs(os.path.join(profile, "Default"), exist_ok=True)
        with open(os.path.join(profile, "Default", "Preferences"), "w") as f:
            json.dump({"partition": {"default_zoom_level": {"x": math.log(zoom, 1.2)}}}, f)
    process = subprocess.Popen(
        ["chromium", "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
         "--no-first-run", "--disable-background-networking", "--disable-component-update",
         "--disable-sync", "--hide-scrollbars", "--mute-audio", f"--user-data-dir={profile}",
         "--remote-debugging-port=0", *flags, "about:blank"],
        # Its crash reports and caches go into the profile, not the user's home.
        env=dict(os.environ, HOME=profile, XDG_CONFIG_HOME=profile, XDG_CACHE_HOME=profile),
        stdout=log, stderr=log, start_new_session=True)
    port_file = os.path.join(profile, "DevToolsActivePort")
    wait_for(lambda: os.path.exists(port_file) and open(port_file).read().count("\n") >= 1,
             30, "Chromium did not open its DevTools port")
    return process, int(open(port_file).read().split()[0])


class Session:
    """A headless Chromium with one page, at browser zoom `zoom`, for a static
    server of its own for `folder`, or for the one at `url`; `flags` go to
    Chromium."""

    def __init__(self, folder=None, url=None, zoom=1.0, flags=()):
        self.scratch = tempfile.mkdtemp(prefix="zoomatch-web-")
        self.processes, self.reports, self.loads, self.next_id = [], [], 0, 0
        self.socket, self.url = None, url
        self.server_log = os.path.join(self.scratch, "server.log")
        try:
            if folder:
                with open(self.server_log, "wb") as log:
                    self.server, self.url = start_server(folder, log)
                self.processes.append(self.server)
            profile = os.path.join(self.scratch, "profile")
            with open(os.path.join(self.scratch, "chromium.log"), "wb") as log:
                browser, devtools = start_chromium(profile, log, zoom=zoom, flags=flags)
            self.processes.append(browser)
            pages = json.load(urllib.request.urlopen(f"http://127.0.0.1:{devtools}/json/list"))
            page = next(p for p in pages if p["type"] == "page")
            self.socket = websocket.create_connection(page["webSocketDebuggerUrl"],
                                                      suppress_origin=True, timeout=60)
            for domain in ("Page", "Runtime", "Log", "DOM", "Accessibility"):
                self.call(f"{domain}.enable")
            self.call("Runtime.addBinding", name="zoomatchReport")
            # The page has the focus, as the window in front has on a desktop.
            self.call("Emulation.setFocusEmulationEnabled", enabled=True)
            self.call("Page.addScriptToEvaluateOnNewDocument", source=HOOK)
        except BaseException:
            self.close()
            raise

    def close(self):
        if self.socket:
            self.socket.close()
        for process in reversed(self.processes):
            stop(process)
        left = subprocess.run(["pgrep", "-af", self.scratch], capture_output=True, text=True).stdout
        shutil.rmtree(self.scratch, ignore_errors=True)
        if left:
            raise RuntimeError(f"processes left behind:\n{left}")

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

    def open(self, width=800, height=600, scale=1, mobile=False, touch=False):
        """Loads the page in a viewport of CSS pixels at a device scale, with
        a touch screen or a mouse; returns when it is playable."""
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=scale, mobile=mobile)
        self.call("Emulation.setTouchEmulationEnabled", enabled=touch, maxTouchPoints=1)
        self.call("Emulation.setEmitTouchEventsForMouse", enabled=False)
        self.reload()

    def reload(self, url=None, until="document.documentElement.dataset.playable === 'true'"):
        self.evaluate("window.zoomatchPage = 0")
        self.call("Page.navigate", url=url or self.url)

        def loaded():
            with contextlib.suppress(RuntimeError):  # between two documents
                return self.evaluate("window.zoomatchPage === undefined && "
                                     f"document.readyState === 'complete' && ({until})")
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
        for kind, buttons in (("mousePressed", 1), ("mouseReleased", 0)):
            self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left",
                      buttons=buttons, clickCount=1)

    def tap(self, x, y):
        self.call("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y}])
        self.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def press(self, name):
        """A key of the keyboard rule ("ShiftTab", "Up") as a keyboard sends
        it: down, its character, up."""
        key, number, modifiers, text = KEYS[name]
        common = dict(key=key, code="Space" if key == " " else key,
                      windowsVirtualKeyCode=number, modifiers=modifiers)
        self.call("Input.dispatchKeyEvent", type="rawKeyDown", **common)
        if text:
            self.call("Input.dispatchKeyEvent", type="char", text=text, **common)
        self.call("Input.dispatchKeyEvent", type="keyUp", **common)
