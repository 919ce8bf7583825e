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
import time
import urllib.error
import urllib.request

from PIL import Image

from browser import HOOK, Page, WebDriverInput, free_port, stop, wait_for

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
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "3840x2400x24", "-nolisten", "tcp"],
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


class WebKit(WebDriverInput, Page):
    engine = "webkit"

    def _start(self, zoom):
        if zoom != 1.0:
            raise NotImplementedError("browser zoom is Chromium's only")
        self.session, self.browser = None, []
        self._launch(1)

    def _launch(self, scale):
        """Xvfb, WebKitWebDriver and a session whose windows are at device
        scale `scale` (GDK_SCALE)."""
        with open(os.path.join(self.scratch, "xvfb.log"), "ab") as log:
            xvfb, display = start_xvfb(log)
        self.browser = [xvfb]
        self.processes.append(xvfb)
        self.port, self.scale = free_port(), scale
        env = dict(os.environ, DISPLAY=display, HOME=self.scratch, GDK_SCALE=str(scale),
                   XDG_CACHE_HOME=os.path.join(self.scratch, "cache"),
                   XDG_DATA_HOME=os.path.join(self.scratch, "data"),
                   XDG_CONFIG_HOME=os.path.join(self.scratch, "config"),
                   XDG_RUNTIME_DIR=self.scratch, NO_AT_BRIDGE="1")
        if not self.wasm:  # JavaScriptCore without WebAssembly
            env["JSC_useWasm"] = "false"
        env.pop("WAYLAND_DISPLAY", None)
        with open(os.path.join(self.scratch, "webkit.log"), "ab") as log:
            self.browser.append(subprocess.Popen(
                ["WebKitWebDriver", "--host=127.0.0.1", f"--port={self.port}"],
                env=env, stdout=log, stderr=log, start_new_session=True))
        self.processes.append(self.browser[-1])

        def ready():
            with contextlib.suppress(OSError, RuntimeError):
                return self.call("GET", "/status")["ready"]
        wait_for(ready, 30, "WebKitWebDriver did not answer")
        self.session = self.call("POST", "/session", {"capabilities": {"alwaysMatch": {
            "webkitgtk:browserOptions": {"binary": MINIBROWSER, "args": ["--automation"]}}}})[
            "sessionId"]
        focus(display)

    def _relaunch(self, scale):
        """A new browser: what the last one kept is gone."""
        self._end()
        for process in reversed(self.browser):
            stop(process)
            self.processes.remove(process)
        self._launch(scale)

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
        """A window of that size less its frame (measured once). Another
        device scale is a new browser at that scale (GDK_SCALE), which keeps
        nothing of the last one."""
        if mobile:
            raise NotImplementedError("a phone's viewport is Chromium's only")
        self.touch = touch
        if self.scale != scale:
            self._relaunch(scale)
        want = [width, height, scale]
        for _ in range(3):
            frame = getattr(self, "frame", (0, 0))
            self.command("/window/rect", {"width": width + frame[0], "height": height + frame[1]})
            with contextlib.suppress(TimeoutError):  # the page follows the window a little later
                return wait_for(lambda: self.evaluate(
                    "[innerWidth, innerHeight, devicePixelRatio]") == want, 2, "")
            rect = self.command("/window/rect", method="GET")
            inner = self.evaluate("[innerWidth, innerHeight, devicePixelRatio]")
            self.frame = (rect["width"] - inner[0], rect["height"] - inner[1])
        # MiniBrowser's toolbar keeps its window some 450 pixels wide at least.
        raise NotImplementedError(f"WebKit's viewport is {inner}, not {[width, height, scale]}")

    def _go(self, how, url):
        if how == "navigate":
            self.command("/url", {"url": url})
        else:
            # WebKitWebDriver's back and forward now and then fail ("unknown
            # error"), mostly with the page still there: then once more.
            for attempt in range(3):
                try:
                    return self.command("/" + {"reload": "refresh"}.get(how, how), {})
                except RuntimeError as error:
                    if "unknown error" not in str(error) or attempt == 2:
                        raise
                time.sleep(0.5)
                with contextlib.suppress(RuntimeError):
                    if self.evaluate("window.zoomatchLeaving") != self.leaving:
                        return  # gone all the same

    def _arrived(self):
        self.command("/execute/sync", {"script": WATCH + HOOK, "args": []})

    def screenshot(self):
        # What the page shows once it has been painted.
        self.evaluate("new Promise(done => requestAnimationFrame(() => "
                      "requestAnimationFrame(() => done(true))))", wait=True)
        data = self.command("/screenshot", method="GET")
        return Image.open(io.BytesIO(base64.b64decode(data))).convert("RGB")

    def _act(self, actions):
        # The driver may refuse input (an "unknown error") while the window
        # is still settling after a load; it takes it a moment later.
        for attempt in range(3):
            try:
                return self.command("/actions", {"actions": actions})
            except RuntimeError as error:
                if "unknown error" not in str(error) or attempt == 2:
                    raise
                time.sleep(0.5)
