"""Serves a folder on 127.0.0.1 and drives headless Chromium over the DevTools
protocol, for the web build's end-to-end test and benchmark. Both processes
run in sessions of their own and are ended by their process id."""
import base64
import io
import json
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

# Records when the page first draws through WebGL, which is how Qt puts its
# windows on the canvas: the first frame.
FIRST_DRAW_HOOK = """(() => {
  const mark = () => { if (window.firstDraw === undefined) window.firstDraw = performance.now(); };
  for (const kind of ['WebGLRenderingContext', 'WebGL2RenderingContext']) {
    const proto = self[kind] && self[kind].prototype;
    if (!proto) continue;
    for (const name of ['drawArrays', 'drawElements']) {
      const original = proto[name];
      proto[name] = function () { mark(); return original.apply(this, arguments); };
    }
  }
})();"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def stop(process):
    """Ends a process started in a session of its own, and its children."""
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGTERM)
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()

    # Chromium's helpers end after it; none may outlive the run.
    def group_gone():
        try:
            os.killpg(process.pid, 0)
            return False
        except ProcessLookupError:
            return True
    try:
        wait_for(group_gone, 5, "")
    except TimeoutError:
        os.killpg(process.pid, signal.SIGKILL)


def wait_for(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError(what)
        time.sleep(0.05)


class Session:
    """A static server for `folder` and a headless Chromium with one page."""

    def __init__(self, folder):
        self.scratch = tempfile.mkdtemp(prefix="zoomatch-web-")
        self.processes = []
        try:
            self._start(folder)
        except BaseException:
            self.close()
            raise

    def _start(self, folder):
        port = free_port()
        self.url = f"http://127.0.0.1:{port}/"
        self.processes.append(subprocess.Popen(
            ["/usr/bin/python3", "-m", "http.server", "-b", "127.0.0.1", "-d", folder, str(port)],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True))

        def serving():
            try:
                return urllib.request.urlopen(self.url, timeout=1).status == 200
            except OSError:
                return False
        wait_for(serving, 10, "the web server did not answer")

        profile = os.path.join(self.scratch, "profile")
        os.mkdir(profile)
        with open(os.path.join(self.scratch, "chromium.log"), "wb") as log:
            self.processes.append(subprocess.Popen(
                ["chromium", "--headless", "--no-sandbox", "--use-angle=swiftshader",
                 "--enable-unsafe-swiftshader", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--no-first-run",
                 "--no-default-browser-check", "--hide-scrollbars", "--mute-audio",
                 f"--user-data-dir={profile}", "--remote-debugging-port=0", "about:blank"],
                stdout=log, stderr=log, start_new_session=True))
        port_file = os.path.join(profile, "DevToolsActivePort")
        wait_for(lambda: os.path.exists(port_file) and open(port_file).read().count("\n") >= 1,
                 30, "Chromium did not open its DevTools port")
        devtools = int(open(port_file).read().split()[0])
        pages = json.load(urllib.request.urlopen(f"http://127.0.0.1:{devtools}/json/list"))
        page = next(p for p in pages if p["type"] == "page")
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"],
                                                  suppress_origin=True, timeout=60)
        self.next_id = 0
        self.console = []
        self.call("Page.enable")
        self.call("Runtime.enable")
        self.call("Page.addScriptToEvaluateOnNewDocument", source=FIRST_DRAW_HOOK)

    def close(self):
        if getattr(self, "socket", None):
            self.socket.close()
        for process in reversed(self.processes):
            stop(process)
        shutil.rmtree(self.scratch, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("method") == "Runtime.consoleAPICalled":
                self.console.append(" ".join(str(a.get("value", a.get("description")))
                                             for a in message["params"]["args"]))
            if message.get("method") == "Runtime.exceptionThrown":
                raise RuntimeError(f"page error: {message['params']['exceptionDetails']}")
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message["result"]

    def evaluate(self, expression):
        return self.call("Runtime.evaluate", expression=expression,
                         returnByValue=True)["result"].get("value")

    def open(self, scale=1, width=800, height=600):
        """Loads the page at a device scale factor; returns the first frame's
        time in seconds from navigation."""
        self.scale = scale
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=scale, mobile=False)
        self.loads = getattr(self, "loads", 0) + 1
        self.call("Page.navigate", url=f"{self.url}?load={self.loads}")
        first = wait_for(
            lambda: self.evaluate(f"location.search == '?load={self.loads}' && window.firstDraw"),
            60, "the page drew no frame")
        return first / 1000

    def screenshot(self):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        return Image.open(io.BytesIO(base64.b64decode(data))).convert("RGB")

    def settled(self, timeout=10):
        """The screenshot once two taken 150 ms apart are the same."""
        previous = self.screenshot()
        deadline = time.monotonic() + timeout
        while True:
            time.sleep(0.15)
            current = self.screenshot()
            if current.tobytes() == previous.tobytes() or time.monotonic() > deadline:
                return current
            previous = current

    def click(self, x, y):
        """A left click at (x, y) in CSS pixels, as a mouse gives it."""
        self.call("Input.dispatchMouseEvent", type="mouseMoved", x=x, y=y)
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left",
                      buttons=1 if kind == "mousePressed" else 0, clickCount=1)
