"""Headless Firefox ESR (Debian's firefox-esr) driven over WebDriver BiDi,
spoken directly over its WebSocket: the engine "firefox" of browser.py."""
import base64
import contextlib
import io
import json
import os
import subprocess

import websocket
from PIL import Image

from browser import HOOK, Page, WebDriverInput, wait_for

# A quiet profile: nothing fetched from the network that the page does not
# ask for, no first-run pages; BiDi's own recommended settings come on top.
PREFERENCES = {
    "app.normandy.enabled": False, "app.update.disabledForTesting": True,
    "browser.shell.checkDefaultBrowser": False, "browser.startup.homepage_override.mstone":
    "ignore", "datareporting.policy.dataSubmissionEnabled": False,
    "messaging-system.rsexperimentloader.enabled": False, "network.captive-portal-service.enabled":
    False, "network.connectivity-service.enabled": False, "services.settings.server":
    "data:,", "toolkit.telemetry.reportingpolicy.firstRun": False,
    "browser.safebrowsing.update.enabled": False, "extensions.update.enabled": False,
    # The tab's icon is the browser's own request, which a test that leaves
    # the page at once would cut off (an error on the console).
    "browser.chrome.site_icons": False}


def value(remote):
    """A BiDi remote value as Python's."""
    kind = remote.get("type")
    if kind in ("undefined", "null"):
        return None
    if kind == "array":
        return [value(v) for v in remote.get("value", [])]
    if kind == "object":
        return {k if isinstance(k, str) else value(k): value(v)
                for k, v in remote.get("value", [])}
    if kind == "number" and isinstance(remote["value"], str):  # NaN, Infinity, -0
        return float(remote["value"].replace("Infinity", "inf"))
    return remote.get("value")


class Firefox(WebDriverInput, Page):
    engine = "firefox"

    def _start(self, zoom):
        if zoom != 1.0:
            raise NotImplementedError("browser zoom is Chromium's only")
        self.socket, self.next_id = None, 0
        profile = os.path.join(self.scratch, "profile")
        os.mkdir(profile)
        with open(os.path.join(profile, "user.js"), "w") as prefs:
            # Without WebAssembly: switched off, as a locked-down browser has it.
            for name, setting in {**PREFERENCES, "javascript.options.wasm": self.wasm}.items():
                prefs.write(f"user_pref({json.dumps(name)}, {json.dumps(setting)});\n")
        with open(os.path.join(self.scratch, "firefox.log"), "wb") as log:
            self.processes.append(subprocess.Popen(
                ["firefox-esr", "--headless", "--no-remote", "--profile", profile,
                 "--remote-debugging-port=0", "about:blank"],
                env=dict(os.environ, HOME=self.scratch, MOZ_CRASHREPORTER_DISABLE="1"),
                stdout=log, stderr=log, start_new_session=True))
        port_file = os.path.join(profile, "WebDriverBiDiServer.json")
        wait_for(lambda: os.path.exists(port_file) and os.path.getsize(port_file), 60,
                 "Firefox did not open its WebDriver BiDi port")
        port = json.load(open(port_file))["ws_port"]
        self.socket = websocket.create_connection(f"ws://127.0.0.1:{port}/session",
                                                  suppress_origin=True, timeout=60)
        self.call("session.new", capabilities={"alwaysMatch": {}})
        # The page has the focus, as the window in front has on a desktop: a
        # tab of our own has it (the one opened at start does not, and there
        # a focused button would take no key), in place of the first.
        first = self.call("browsingContext.getTree")["contexts"][0]["context"]
        self.context = self.call("browsingContext.create", type="tab")["context"]
        self.call("browsingContext.activate", context=self.context)
        self.call("browsingContext.close", context=first)
        self.call("session.subscribe", events=["log.entryAdded", "script.message"])
        self.call("script.addPreloadScript",
                  functionDeclaration=f"(report) => {{ window.zoomatchReport = report; "
                                      f"{HOOK} }}",
                  arguments=[{"type": "channel", "value": {"channel": "zoomatch"}}])

    def _end(self):
        if self.socket:
            with contextlib.suppress(Exception):
                self.call("session.end")
            self.socket.close()

    def _event(self, method, params):
        if method == "log.entryAdded":
            self._reports.append(f"log ({params.get('type')}, {params.get('level')}): "
                                 f"{params.get('text')}")
        elif method == "script.message" and params.get("channel") == "zoomatch":
            self._reports.append(str(value(params["data"])))

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("type") == "event":
                self._event(message["method"], message.get("params", {}))
            elif message.get("id") == self.next_id:
                if message.get("type") == "error":
                    raise RuntimeError(f"{method}: {message.get('error')}: {message.get('message')}")
                return message["result"]

    def evaluate(self, expression, wait=False):
        result = self.call("script.evaluate", expression=expression, awaitPromise=wait,
                           target={"context": self.context}, resultOwnership="none")
        if result["type"] == "exception":
            raise RuntimeError(f"{expression[:60]}: {result['exceptionDetails'].get('text')}")
        return value(result["result"])

    def _viewport(self, width, height, scale, mobile, touch):
        if mobile:
            raise NotImplementedError("a phone's viewport is Chromium's only")
        self.call("browsingContext.setViewport", context=self.context,
                  viewport={"width": width, "height": height}, devicePixelRatio=scale)
        self.touch = touch

    def _go(self, how, url):
        if how == "navigate":
            self.call("browsingContext.navigate", context=self.context, url=url, wait="none")
        elif how == "reload":
            self.call("browsingContext.reload", context=self.context, wait="none")
        else:
            self.call("browsingContext.traverseHistory", context=self.context,
                      delta=1 if how == "forward" else -1)

    def screenshot(self):
        data = self.call("browsingContext.captureScreenshot", context=self.context)["data"]
        return Image.open(io.BytesIO(base64.b64decode(data))).convert("RGB")

    def _act(self, actions):
        self.call("input.performActions", context=self.context, actions=actions)
