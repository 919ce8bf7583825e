"""The quiz page in a browser, for the web page's tests and benchmark: one
small interface to three engines, each from Debian, and a static server.

    with Session(folder=SITE, engine="firefox") as page:
        page.open(width=800, height=600)   # at a size; returns when playable
        page.click(x, y); page.press("ShiftTab"); page.evaluate("1 + 1")
        page.reload(); page.back(); page.forward(); page.navigate(url)
        page.screenshot(); page.reports; page.requests("/zoomatch.wasm")

- chromium: headless Chromium over the DevTools protocol (this module);
- firefox: headless Firefox ESR over WebDriver BiDi (browser_firefox.py);
- webkit: WebKitGTK's MiniBrowser through WebKitWebDriver, classic WebDriver,
  on a private X server (browser_webkit.py).

Every browser, X server and web server runs in a session of its own and is
ended with its process group; closing a page fails if anything is left. What
the page says on its console, in the browser's log or through a
Content-Security-Policy report (the server's too, see server.py) is kept in
`reports`; each new text of the live region #verdict in `zoomatchSaid`."""
import base64
import contextlib
import io
import json
import math
import os
import re
import shutil
import signal
import socket
import subprocess
import tempfile
import time
import urllib.request

from PIL import Image

ENGINES = ("chromium", "firefox", "webkit")
HERE = os.path.dirname(os.path.abspath(__file__))

# Runs in every document before the page's scripts (or, where an engine has
# no way to, right after it loads): reports CSP violations, the moment the
# page becomes playable, and each new text of the live region, which is what
# a screen reader speaks (the same text set again is not).
HOOK = """(() => {
  if (window.zoomatchSaid) return;
  document.addEventListener('securitypolicyviolation', e =>
    zoomatchReport('CSP: ' + e.violatedDirective + ' ' + e.blockedURI));
  window.zoomatchSaid = [];
  const watch = () => {
    const region = document.getElementById('verdict');
    let last = region && region.textContent;
    if (region)
      new MutationObserver(() => {
        if (region.textContent !== last)
          zoomatchSaid.push(last = region.textContent);
      }).observe(region, {childList: true, characterData: true, subtree: true});
  };
  if (document.readyState === 'loading')
    document.addEventListener('DOMContentLoaded', watch);
  else
    watch();
  new MutationObserver((_, observer) => {
    if (document.documentElement.dataset.playable === 'true') {
      window.zoomatchPlayable = performance.now();
      observer.disconnect();
    }
  }).observe(document, {attributes: true, subtree: true, attributeFilter: ['data-playable']});
})();"""

PLAYABLE = "document.documentElement.dataset.playable === 'true'"

# The keys of the window's keyboard rule by the tests' names: the key, its
# key code, the modifiers (8 is Shift) and the character it types.
KEYS = {"Tab": ("Tab", 9, 0, None), "ShiftTab": ("Tab", 9, 8, None),
        "Up": ("ArrowUp", 38, 0, None), "Down": ("ArrowDown", 40, 0, None),
        "Left": ("ArrowLeft", 37, 0, None), "Right": ("ArrowRight", 39, 0, None),
        "Space": (" ", 32, 0, " "), "Enter": ("Enter", 13, 0, "\r"),
        "Escape": ("Escape", 27, 0, None)}
# The same as WebDriver's key values: the key, and Shift held with it or not.
WEBDRIVER_KEYS = {"Tab": ("\ue004", False), "ShiftTab": ("\ue004", True),
                  "Up": ("\ue013", False), "Down": ("\ue015", False),
                  "Left": ("\ue012", False), "Right": ("\ue014", False),
                  "Space": (" ", False), "Enter": ("\ue007", False), "Escape": ("\ue00c", False)}
SHIFT = "\ue008"


def webdriver_key_actions(name):
    """The key actions of WebDriver (classic and BiDi) for a key of the table."""
    key, shift = WEBDRIVER_KEYS[name]
    keys = [SHIFT, key] if shift else [key]
    return ([{"type": "keyDown", "value": k} for k in keys]
            + [{"type": "keyUp", "value": k} for k in reversed(keys)])


class WebDriverInput:
    """Real input through WebDriver's actions (classic and BiDi): the engine's
    driver supplies `_act(actions)`."""

    def _pointer(self, kind, x, y):
        self._act([{
            "type": "pointer", "id": kind, "parameters": {"pointerType": kind},
            "actions": [{"type": "pointerMove", "x": round(x), "y": round(y), "origin": "viewport"},
                        {"type": "pointerDown", "button": 0}, {"type": "pointerUp", "button": 0}]}])

    def click(self, x, y):
        """A left click at (x, y) in CSS pixels, as a mouse gives it."""
        self._pointer("mouse", x, y)

    def tap(self, x, y):
        self._pointer("touch", x, y)

    def press(self, name):
        """A key of the keyboard rule ("ShiftTab", "Up"): down, then up."""
        self._act([{"type": "key", "id": "keyboard", "actions": webdriver_key_actions(name)}])


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


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_server(folder, log, *options):
    """A static server for `folder` on a free port (server.py, with its serve
    `options`); its request log, and the CSP reports it receives, to `log`."""
    port = free_port()
    process = subprocess.Popen(
        ["/usr/bin/python3", os.path.join(HERE, "server.py"), "serve", folder, str(port), *options],
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


class Page:
    """What the engines share: the scratch folder, the server, the processes,
    the loads of the page and the waits for them. An engine supplies _start,
    _go (navigate, reload, back, forward), evaluate, open's viewport, click,
    tap, press and screenshot."""

    engine = None

    def __init__(self, folder=None, url=None, zoom=1.0, server_log=None, wasm=True):
        self.wasm = wasm
        self.scratch = tempfile.mkdtemp(prefix=f"zoomatch-{self.engine}-")
        self.processes, self._reports, self.loads, self.leaving = [], [], 0, 0
        # Whether the last document arrived at came back from the back/forward cache.
        self.restored = False
        self.url, self.server = url, None
        self.server_log = server_log or os.path.join(self.scratch, "server.log")
        try:
            if folder:
                with open(self.server_log, "wb") as log:
                    self.server, self.url = start_server(folder, log)
                self.processes.append(self.server)
            # What the server logged before this page began is not this page's.
            self.log_start = os.path.getsize(self.server_log) if os.path.exists(
                self.server_log) else 0
            self._start(zoom)
        except BaseException:
            self.close()
            raise

    def _start(self, zoom):
        raise NotImplementedError

    def _end(self):
        """Ends the engine's connection before its processes are stopped."""

    def close(self):
        with contextlib.suppress(Exception):
            self._end()
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

    def server_lines(self):
        """The server's log since this page began."""
        if not os.path.exists(self.server_log):
            return []
        with open(self.server_log, "rb") as log:
            log.seek(self.log_start)
            return log.read().decode("utf-8", "replace").splitlines()

    def requests(self, path):
        """How many times the server was asked for `path` ("/zoomatch.wasm")."""
        return sum(bool(re.search(f'"GET {re.escape(path)}[? ]', line))
                   for line in self.server_lines())

    @property
    def reports(self):
        """Console and log messages, CSP violations (the page's and the
        server's reports), in the order found."""
        self._collect()
        server = [line[line.index("CSP report"):] for line in self.server_lines()
                  if "CSP report" in line]
        return self._reports + server

    def _collect(self):
        """Gathers what the engine has not yet handed over."""

    def open(self, width=800, height=600, scale=1, mobile=False, touch=False):
        """Loads the page in a viewport of CSS pixels at a device scale, with
        a touch screen or a mouse; returns when it is playable."""
        self._viewport(width, height, scale, mobile, touch)
        self.navigate()

    def _viewport(self, width, height, scale, mobile, touch):
        raise NotImplementedError

    def _go(self, how, url):
        raise NotImplementedError

    def _arrive(self, how, url=None, until=PLAYABLE):
        """Leaves the document for another (`how`: navigate, reload, back or
        forward) and waits until that is complete and `until` holds; the new
        one then bears the mark window.zoomatchPage, the number of this load.
        A document that the browser keeps on leaving and shows again (its
        back/forward cache) keeps its old mark until then."""
        self._collect()
        self.leaving += 1
        with contextlib.suppress(RuntimeError):
            self.evaluate(f"window.zoomatchLeaving = {self.leaving}")
        self._go(how, url)

        def arrived():
            with contextlib.suppress(RuntimeError):  # between two documents
                return self.evaluate(f"window.zoomatchLeaving !== {self.leaving} && "
                                     f"document.readyState === 'complete' && ({until})")
        wait_for(arrived, 60, f"the page did not load ({how})")
        self._arrived()
        # A document that bears a mark already was kept and shown again.
        self.restored = self.evaluate("window.zoomatchPage !== undefined")
        self.loads += 1
        self.evaluate(f"window.zoomatchPage = {self.loads}")

    def _arrived(self):
        """A new document is there (an engine without preload scripts hooks it now)."""

    def navigate(self, url=None, until=PLAYABLE):
        """Goes to `url` (the page by default), a new entry in the history."""
        self._arrive("navigate", url or self.url, until)

    def reload(self, until=PLAYABLE):
        """Reloads the document, as F5 does."""
        self._arrive("reload", None, until)

    def back(self, until=PLAYABLE):
        self._arrive("back", None, until)

    def forward(self, until=PLAYABLE):
        self._arrive("forward", None, until)


class Chromium(Page):
    """Headless Chromium, one page, at browser zoom `zoom`."""

    engine = "chromium"

    def _start(self, zoom):
        import websocket
        self.socket, self.next_id = None, 0
        profile = os.path.join(self.scratch, "profile")
        with open(os.path.join(self.scratch, "chromium.log"), "wb") as log:
            # Without its JIT, Chromium has no WebAssembly.
            browser, devtools = start_chromium(
                profile, log, zoom=zoom, flags=() if self.wasm else ["--js-flags=--jitless"])
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

    def _end(self):
        if self.socket:
            self.socket.close()

    def _event(self, method, params):
        if method == "Runtime.consoleAPICalled":
            self._reports.append("console: " + " ".join(
                str(a.get("value", a.get("description"))) for a in params["args"]))
        elif method == "Log.entryAdded":
            entry = params["entry"]
            self._reports.append(f"log ({entry['source']}, {entry['level']}): {entry['text']}")
        elif method == "Runtime.exceptionThrown":
            self._reports.append(f"exception: {params['exceptionDetails']}")
        elif method == "Runtime.bindingCalled" and params["name"] == "zoomatchReport":
            self._reports.append(params["payload"])

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

    def _viewport(self, width, height, scale, mobile, touch):
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=scale, mobile=mobile)
        self.call("Emulation.setTouchEmulationEnabled", enabled=touch, maxTouchPoints=1)
        self.call("Emulation.setEmitTouchEventsForMouse", enabled=False)

    def _go(self, how, url):
        if how == "navigate":
            self.call("Page.navigate", url=url)
        elif how == "reload":
            self.call("Page.reload")
        else:
            history = self.call("Page.getNavigationHistory")
            entry = history["entries"][history["currentIndex"] + (1 if how == "forward" else -1)]
            self.call("Page.navigateToHistoryEntry", entryId=entry["id"])

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


def Session(folder=None, url=None, zoom=1.0, engine="chromium", server_log=None, wasm=True):
    """The page in `engine` (one of ENGINES), served from `folder` by a server
    of its own or found at `url` (whose server logs to `server_log`, if
    known), with WebAssembly or without. Browser zoom other than 1 is
    Chromium's only."""
    if engine == "chromium":
        kind = Chromium
    elif engine == "firefox":
        from browser_firefox import Firefox as kind
    elif engine == "webkit":
        from browser_webkit import WebKit as kind
    else:
        raise ValueError(f"no engine {engine!r}: one of {', '.join(ENGINES)}")
    return kind(folder=folder, url=url, zoom=zoom, server_log=server_log, wasm=wasm)
