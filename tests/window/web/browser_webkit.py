"""WebKitGTK (Debian's webkit2gtk-driver): WebKitWebDriver runs WebKitGTK's
MiniBrowser in automation mode on a private X server and is driven through
classic WebDriver over HTTP: the engine "webkit" of browser.py.

Classic WebDriver runs no script before a page's own, and this driver has
no BiDi: the hook goes into each document once it has loaded, with a watch
on the console, errors and CSP violations from then on. What comes before is
caught by the server (the report-only copy of the page's policy) and by the
page's mark of being playable, which a failed start never sets."""
import base64
import contextlib
import io
import json
import os
import subprocess
import urllib.error
import urllib.request

from PIL import Image

from browser import HOOK, Page, free_port, wait_for, webdriver_key_actions

MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"

# Console, errors and failed loads, handed to the driver through a list.
WATCH = """(() => {
  if (window.zoomatchReports) return;
  window.zoomatchReports = [];
  window.zoomatchReport = text => zoomatchReports.push(String(text));
  for (const level of ['error', 'warn', 'info', 'log', 'debug']) {
    const write = console[level];
    console[level] = (...args) => { zoomatchReport('console: ' + args.join(' '));
                                    write.apply(console, args); };
  }
  addEventListener('error', e => zoomatchReport('exception: ' + (e.message ||
    'failed to load ' + (e.target.src || e.target.href))), true);
  addEventListener('unhandledrejection', e => zoomatchReport('exception: ' + e.reason));
})();"""


def start_xvfb(log):
    """A private X server on the first free display; returns it and the display."""
    read, write = os.pipe()
    try:
        process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1920x1200x24", "-nolisten", "tcp"],
            pass_fds=[write], stdout=log, stderr=log, start_new_session=True)
        os.close(write)
        write = None
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
    finally:
        os.close(read)
        if write is not None:
            os.close(write)
    return process, ":" + number.decode().strip()


def focus(display):
    """Gives the browser's window the keyboard focus, as the window in front
    has on a desktop (with no window manager, no window takes it): WebKit
    draws focus rings and moves the focus to an autofocus element only in a
    focused window."""
    from Xlib import X
    from Xlib.display import Display
    screen = Display(display)
    try:
        def shown():
            return [w for w in screen.screen().root.query_tree().children
                    if w.get_attributes().map_state == X.IsViewable]
        window = wait_for(shown, 30, "the browser's window did not show")[0]
        window.set_input_focus(X.RevertToParent, X.CurrentTime)
        screen.sync()
    finally:
        screen.close()


class WebKit(Page):
    engine = "webkit"

    def _start(self, zoom):
        if zoom != 1.0:
            raise NotImplementedError("browser zoom is Chromium's only")
        self.session = None
        with open(os.path.join(self.scratch, "xvfb.log"), "wb") as log:
            xvfb, display = start_xvfb(log)
        self.processes.append(xvfb)
        self.port = free_port()
        env = dict(os.environ, DISPLAY=display, HOME=self.scratch,
                   XDG_CACHE_HOME=os.path.join(self.scratch, "cache"),
                   XDG_DATA_HOME=os.path.join(self.scratch, "data"),
                   XDG_CONFIG_HOME=os.path.join(self.scratch, "config"),
                   XDG_RUNTIME_DIR=self.scratch, NO_AT_BRIDGE="1")
        env.pop("WAYLAND_DISPLAY", None)
        with open(os.path.join(self.scratch, "webkit.log"), "wb") as log:
            self.processes.append(subprocess.Popen(
                ["WebKitWebDriver", "--host=127.0.0.1", f"--port={self.port}"],
                env=env, stdout=log, stderr=log, start_new_session=True))

        def ready():
            with contextlib.suppress(OSError, RuntimeError):
                return self.call("GET", "/status")["ready"]
        wait_for(ready, 30, "WebKitWebDriver did not answer")
        self.session = self.call("POST", "/session", {"capabilities": {"alwaysMatch": {
            "webkitgtk:browserOptions": {"binary": MINIBROWSER, "args": ["--automation"]}}}})[
            "sessionId"]
        focus(display)

    def _end(self):
        if self.session:
            self.call("DELETE", f"/session/{self.session}")
            self.session = None

    def call(self, method, path, body=None):
        request = urllib.request.Request(
            f"http://127.0.0.1:{self.port}{path}", method=method,
            data=None if body is None else json.dumps(body).encode(),
            headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=120) as answer:
                return json.load(answer)["value"]
        except urllib.error.HTTPError as error:
            raise RuntimeError(f"{method} {path}: {json.load(error).get('value')}") from None

    def command(self, path, body=None, method="POST"):
        return self.call(method, f"/session/{self.session}{path}", body)

    def evaluate(self, expression, wait=False):
        # Always asynchronous, so that a promise is awaited.
        script = ("const done = arguments[0]; Promise.resolve().then(() => (" + expression +
                  ")).then(v => done({value: v}), e => done({error: String(e && e.stack || e)}));")
        if not wait:
            script = ("const done = arguments[0]; let v; try { v = (" + expression +
                      "); } catch (e) { return done({error: String(e && e.stack || e)}); } "
                      "done({value: v});")
        result = self.command("/execute/async", {"script": script, "args": []})
        if result is None or "error" in result:
            raise RuntimeError(f"{expression[:60]}: {result and result['error']}")
        return result.get("value")

    def _collect(self):
        with contextlib.suppress(RuntimeError):
            self._reports += self.evaluate("(window.zoomatchReports || []).splice(0)") or []

    def _viewport(self, width, height, scale, mobile, touch):
        if scale != 1 or mobile:
            raise NotImplementedError("device scale and a phone's viewport are Chromium's only")
        self.touch = touch
        # The window's size less its frame: the frame is measured once.
        for _ in range(3):
            self.command("/window/rect", {"width": width + getattr(self, "frame", (0, 0))[0],
                                          "height": height + getattr(self, "frame", (0, 0))[1]})
            inner = self.evaluate("[innerWidth, innerHeight]")
            if inner == [width, height]:
                return
            rect = self.command("/window/rect", method="GET")
            self.frame = (rect["width"] - inner[0], rect["height"] - inner[1])
        raise RuntimeError(f"WebKit's viewport is {inner}, not {[width, height]}")

    def _go(self, how, url):
        if how == "navigate":
            self.command("/url", {"url": url})
        else:
            self.command("/" + {"reload": "refresh"}.get(how, how), {})

    def _arrived(self):
        self.command("/execute/sync", {"script": WATCH + HOOK, "args": []})

    def screenshot(self):
        # What the page shows once it has been painted.
        self.evaluate("new Promise(done => requestAnimationFrame(() => "
                      "requestAnimationFrame(() => done(true))))", wait=True)
        data = self.command("/screenshot", method="GET")
        return Image.open(io.BytesIO(base64.b64decode(data))).convert("RGB")

    def _pointer(self, kind, x, y):
        self.command("/actions", {"actions": [{
            "type": "pointer", "id": kind, "parameters": {"pointerType": kind},
            "actions": [{"type": "pointerMove", "x": round(x), "y": round(y), "origin": "viewport"},
                        {"type": "pointerDown", "button": 0}, {"type": "pointerUp", "button": 0}]}]})

    def click(self, x, y):
        """A left click at (x, y) in CSS pixels, as a mouse gives it."""
        self._pointer("mouse", x, y)

    def tap(self, x, y):
        self._pointer("touch", x, y)

    def press(self, name):
        """A key of the keyboard rule ("ShiftTab", "Up"): down, then up."""
        self.command("/actions", {"actions": [{
            "type": "key", "id": "keyboard", "actions": webdriver_key_actions(name)}]})
