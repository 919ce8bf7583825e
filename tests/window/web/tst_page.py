#!/usr/bin/python3
"""The quiz page in a browser engine (--engine: chromium, the default,
firefox or webkit; see browser.py), driven by real input, against the
definition and the table of steps from form_json (run under Node). MODE is
one of: scenarios (each by mouse, then form values that are no member; in
Chromium also at device scale 2 and by touch on a phone, with the live
region and the accessibility tree; elsewhere at 96 dpi with every box and
colour, and in one column at a phone's width), random (the game of COUNT
inputs from SEED), layout (Chromium: the elements, every box at 96 to 192
dpi by device scale and browser zoom, colours, one column on narrow screens
and phones, touch, axe-core), visits (a first visit fetches the program
once; the start state again after a reload, back and forward), offline (a
game from the service worker with the server stopped, also from index.html
and with a query), files (the site and zoomatch.html opened as files,
zoomatch.html from a deeper web path), nowasm (the engine without
WebAssembly; in Chromium also without scripts), loading (Chromium: a program
served badly, or missing, or broken), update (a new version deployed; a
deploy half done). The console and the page's Content-Security-Policy must
stay silent.
   tst_page.py MODE [--engine=ENGINE] FORM_JSON_JS URL_FILE SITE AXE_JS [SEED COUNT]"""
import base64
import contextlib
import gzip
import io
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time

from browser import Session, start_server, stop
from PIL import Image

ENGINE = next((a.split("=", 1)[1] for a in sys.argv if a.startswith("--engine=")), "chromium")
ARGS = [a for a in sys.argv if not a.startswith("--engine=")]
MODE, FORM_JSON, URL_FILE, SITE, AXE_FILE = ARGS[1:6]
DATA = json.loads(subprocess.run(["node", "--no-experimental-fetch", FORM_JSON, *ARGS[6:8]],
                                 capture_output=True, check=True).stdout)
SHOTS = os.path.dirname(os.path.abspath(URL_FILE))  # pictures to look at
URL = open(URL_FILE).read().strip() if MODE in ("scenarios", "random", "layout") else None
# The shared server's log, where it logs the CSP reports it receives.
SERVER_LOG = os.path.join(os.path.dirname(URL_FILE), "server.log")
FORM = DATA["window"]
CONTROLS = {c["id"]: c for c in FORM["controls"]}
OPTIONS = [i for i, c in CONTROLS.items() if c["kind"] == "option"]
OUTPUT = next(i for i, c in CONTROLS.items() if c["kind"] == "textbox")
ROLES = {"label": "heading", "frame": "group", "option": "radio", "button": "button",
         "textbox": "textbox"}
# What the page says when the quiz cannot run.
NO_SCRIPTS = "Тестът работи само с разрешени скриптове."
FAILED = "Тестът не можа да се зареди."
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        if len(failures) <= 30:
            print("FAIL:", message)


# One look at the page: what the steps compare, and each control's box in
# CSS pixels (an option's box is its label's).
STATE = """(() => {
  const element = id => document.getElementById(id);
  const boxes = {};
  for (const id of ['MainForm', ...IDS]) {
    const r = ((element(id).labels || [])[0] || element(id)).getBoundingClientRect();
    boxes[id] = [r.left, r.top, r.width, r.height];
  }
  return {focus: document.activeElement && document.activeElement.id,
          visible: !!document.querySelector(':focus-visible'),
          checked: OPTIONS.filter(id => element(id).checked),
          captions: OPTIONS.map(id => element(id).labels[0].textContent),
          output: element(OUTPUT).defaultValue, shown: element(OUTPUT).value,
          said: zoomatchSaid.splice(0), load: window.zoomatchPage, boxes, ratio: devicePixelRatio};
})()""".replace("OUTPUT", json.dumps(OUTPUT)).replace("OPTIONS", json.dumps(OPTIONS)) \
    .replace("IDS", json.dumps(list(CONTROLS)))


def expected_tree(step):
    """Each control's role, name, description, and checked state (an option)
    or read-only state (the output box); the live region's role and kind."""
    want = {"tree verdict": ("status", "polite")}
    for id_, control in CONTROLS.items():
        kind = control["kind"]
        if kind == "option":
            name = step["captions"][OPTIONS.index(id_)] or FORM["solvedName"]
            want[f"tree {id_}"] = ("radio", name, control["description"],
                                   str(id_ in step["checked"]).lower())
        else:
            name = FORM["outputName"] if kind == "textbox" else control["caption"]
            want[f"tree {id_}"] = (ROLES[kind], name, "", True if kind == "textbox" else None)
    return want


class Player:
    """Plays steps on the page loaded in the session, by mouse or by touch."""

    def __init__(self, session, touch=False, tree=False):
        self.session, self.touch, self.tree = session, touch, tree

    def where(self, control):
        """The centre of a control's place in the definition, on this page;
        in one column, the centre of its element, scrolled into view."""
        if self.session.evaluate(f"innerWidth < {FORM['client']['96'][2]}"):
            return self.session.evaluate(f"""(e => {{ e = e.type === 'radio' ? e.labels[0] : e;
              e.scrollIntoView({{block: 'nearest'}}); const r = e.getBoundingClientRect();
              return [r.left + r.width / 2, r.top + r.height / 2]; }})(
              document.getElementById('{control}'))""")
        main = self.state["boxes"]["MainForm"]
        scale = main[2] / FORM["client"]["96"][2]
        left, top, width, height = CONTROLS[control]["rects"]["96"]
        return main[0] + (left + width / 2) * scale, main[1] + (top + height / 2) * scale

    def read_tree(self):
        got = {}
        for node in self.session.call("Accessibility.getFullAXTree")["nodes"]:
            id_ = self.nodes.get(node.get("backendDOMNodeId"))
            if id_ and not node.get("ignored"):
                props = {p["name"]: p["value"].get("value") for p in node.get("properties", [])}
                role = node["role"]["value"]
                kind = CONTROLS.get(id_, {}).get("kind")
                got[f"tree {id_}"] = (role, props.get("live")) if id_ == "verdict" else (
                    role, node.get("name", {}).get("value", ""),
                    node.get("description", {}).get("value", ""),
                    props.get({"option": "checked", "textbox": "readonly"}.get(kind)))
        return got

    def differences(self, step, said, moved_from=None):
        got = {key: self.state[key] for key in ("focus", "checked", "captions", "output", "shown")}
        got.update(said=[text.replace("\u200b", "") for text in said], load=self.state["load"])
        want = {key: step[key] for key in ("focus", "checked", "captions", "output")}
        want.update(shown=step["output"].replace("\r\n", "\n"), load=self.session.loads,
                    said=[] if step["announced"] is None else [step["announced"]])
        if step["input"][0] == "key" and step["focus"] != moved_from:  # a key moved it: shown
            got["focus shown"], want["focus shown"] = self.state["visible"], True
        if self.tree:
            got.update(self.read_tree())
            want.update(expected_tree(step))
        return [f"{key} {got.get(key)!r}, not {want[key]!r}" for key in want
                if got.get(key) != want[key]]

    def play(self, name, steps):
        """A fresh page, then each step's input and the state after it."""
        self.session.navigate()
        if self.tree:  # the elements' nodes in this document's accessibility tree
            self.nodes = {self.session.call("DOM.describeNode", objectId=self.session.call(
                "Runtime.evaluate", expression=f"document.getElementById('{id_}')")["result"][
                "objectId"])["node"]["backendNodeId"]: id_ for id_ in [*CONTROLS, "verdict"]}
        bad = 0
        for number, step in enumerate(steps):
            kind, *what = step["input"]
            if kind == "click":
                (self.session.tap if self.touch else self.session.click)(*self.where(what[0]))
            elif kind == "key":
                self.session.press(what[0])
            said, deadline = [], time.monotonic() + 2
            while True:  # what an input changes is there when it returns; allow some slack
                self.state = self.session.evaluate(STATE)
                said += self.state["said"]
                found = self.differences(step, said, steps[number - 1]["focus"] if number else None)
                if not found or time.monotonic() > deadline:
                    break
                time.sleep(0.05)
            for difference in found:
                check(False, f"{name}, step {number} ({' '.join(step['input'])}): {difference}")
            bad += bool(found)
            if bad >= 3:
                return check(False, f"{name}: stopped after three steps that failed")


def quiet(session):
    check(not session.reports, f"console, log or CSP: {session.reports[:5]}")


def page(wasm=True, **where):
    """The page in the engine under test (without WebAssembly if asked): at
    the shared server's URL, else served from the site by a server of its own."""
    return Session(**(where or dict(url=URL, server_log=SERVER_LOG)), engine=ENGINE, wasm=wasm)


def scenarios():
    chromium = ENGINE == "chromium"
    # Each engine by mouse at device scale 1 and 2, and by touch: on
    # Chromium's phone, elsewhere taps on a desktop's layout.
    ways = [("desktop, mouse", {}), ("desktop at device scale 2, mouse", dict(scale=2))]
    ways += [("phone, touch", dict(width=360, height=640, scale=2, mobile=True, touch=True))
             if chromium else ("taps", dict(touch=True))]
    if not chromium:  # one column at a phone's width (WebKit's MiniBrowser: 447 px at least)
        narrow = 450 if ENGINE == "webkit" else 360
        ways += [(f"{narrow} px wide, mouse", dict(width=narrow, height=640))]
    with page() as session:
        for scale in (1, 2) * (not chromium):  # Chromium's layout test has these, at every dpi
            session.open(width=1000, height=800, scale=scale)
            boxes_at(session, ENGINE, 96 * scale, colours=True)
        for how, viewport in ways:
            session.open(**viewport)
            if not chromium and "width" in viewport:
                one_column(session, f"{ENGINE}, {how}")
            player = Player(session, touch="touch" in viewport, tree=chromium)
            for scenario in DATA["scenarios"]:
                player.play(f"{how}: {scenario['name']}", scenario["steps"])
            print(f"played {len(DATA['scenarios'])} scenarios: {how}")
        # Изведи carrying a name or value that is no member changes nothing (the
        # page hands on what the element carries, as text); restored, it works.
        session.open()
        start, wrong = DATA["scenarios"][0]["steps"][:2]  # the start, then Изведи pressed
        button, player = wrong["input"][1], Player(session)
        player.state = session.evaluate(STATE)
        name, value = button.split("-")
        for carried in ((name, "x"), (name, ""), (name, " 0"), (name, "+0"), (name, "2"),
                        ("Command2", value), ("command1", value), (name, value)):
            session.evaluate(f"Object.assign(document.getElementById('{button}'), "
                             f"{{name: '{carried[0]}', value: '{carried[1]}'}})")
            session.click(*player.where(button))
            state, works = session.evaluate(STATE), carried == (name, value)
            check(state["output"] == (wrong if works else start)["output"]
                  and (works or not state["said"]),
                  f"Изведи as {carried}: output {state['output'][:30]!r}, said {state['said']}")
        quiet(session)


def random_game():
    steps, started = DATA["scenarios"][0]["steps"], time.monotonic()
    with page() as session:
        session.open()
        Player(session).play(f"random game {ARGS[6]}", steps)
        quiet(session)
    print(f"played {len(steps) - 1} random inputs in {ENGINE} in "
          f"{time.monotonic() - started:.0f} s")


def boxes_at(session, how, dpi, colours=False):
    """Each control's box in device pixels against its place at `dpi`; with
    `colours`, each coloured control's colour."""
    state = session.evaluate(STATE)
    ratio = state["ratio"]
    check(abs(ratio - dpi / 96) < 1e-6, f"{how}: device pixel ratio {ratio}")
    rects = {"MainForm": FORM["client"], **{i: c["rects"] for i, c in CONTROLS.items()}}
    at = {i: r[str(dpi)] for i, r in rects.items()}
    for id_, want in at.items():
        got = [v * ratio for v in state["boxes"][id_]]
        check(all(abs(a - b) <= 1 for a, b in zip(got, want)),
              f"{how}, {dpi} dpi: {id_} at {[round(v, 2) for v in got]}, not {want}")
    if colours:
        colours_at(session.screenshot(), how, at)


def colours_at(image, how, at):
    """The commonest colour of each coloured control (boxes `at` in the
    image's pixels), less what lies on it and a border of 2 px, where edges
    blend."""
    hole = (1, 2, 3)  # a colour the page does not use
    wanted = {"MainForm": FORM["background"],
              **{i: c["background"] for i, c in CONTROLS.items() if c["background"] >= 0}}
    for id_, colour in wanted.items():
        part = image.copy()
        for i, c in CONTROLS.items():
            if c["parent"] == (None if id_ == "MainForm" else id_):
                part.paste(hole, (at[i][0], at[i][1], at[i][0] + at[i][2], at[i][1] + at[i][3]))
        x, y, width, height = at[id_]
        part = part.crop((x + 2, y + 2, x + width - 2, y + height - 2))
        counts = [c for c in part.getcolors(part.width * part.height) if c[1] != hole]
        got, want = counts and max(counts)[1], tuple(colour.to_bytes(3, "big"))
        check(got and all(abs(a - b) <= 2 for a, b in zip(got, want)),
              f"{how}: {id_} is {got}, not {want}")


# A narrow page in the document's CSS pixels: each control's box (an
# option's label), the box of its caption, an option's circle; a frame's
# caption is its legend.
COLUMN = """(() => {
  const box = e => { const r = e.getBoundingClientRect();
                     return [r.left + scrollX, r.top + scrollY, r.width, r.height]; };
  const text = e => { const range = document.createRange(); range.selectNodeContents(e);
                      return box(range); };
  const got = {width: innerWidth, scrollWidth: document.documentElement.scrollWidth,
               ratio: devicePixelRatio, boxes: {}, texts: {}, circles: {},
               start: [scrollY, document.activeElement.id]};
  for (const id of ['MainForm', ...IDS]) {
    const e = document.getElementById(id), shown = e.type === 'radio' ? e.labels[0] : e;
    got.boxes[id] = box(shown);
    const caption = e.tagName === 'FIELDSET' ? e.querySelector('legend') :
      ['TEXTAREA', 'MAIN'].includes(e.tagName) ? null : shown;
    if (caption) got.texts[id] = text(caption);
    if (shown !== e) got.circles[id] = box(e);
  }
  got.boxes.about = box(document.querySelector('#about a'));
  got.texts.about = text(document.querySelector('#about a'));
  return got;
})()""".replace("IDS", json.dumps(list(CONTROLS)))


def one_column(session, how):
    """Narrower than the window, just opened at its top with the focus in
    the output box: one column in the window's order from top to bottom
    (push buttons on one line side by side), each frame's options in its
    order, rows of 44 px, every caption whole, nothing wider than the
    screen; in Chromium the colours."""
    session.evaluate("new Promise(done => requestAnimationFrame(() => requestAnimationFrame(done)))",
                     wait=True)  # settled: painted twice
    got = session.evaluate(COLUMN)
    boxes, width = got["boxes"], got["width"]
    check(got["scrollWidth"] <= width, f"{how}: the page scrolls sideways")
    check(got["start"] == [0, OUTPUT], f"{how}: opens scrolled to and focused at {got['start']}")

    def within(inner, outer, slack=0.5):
        return (inner[0] >= outer[0] - slack and inner[1] >= outer[1] - slack
                and inner[0] + inner[2] <= outer[0] + outer[2] + slack
                and inner[1] + inner[3] <= outer[1] + outer[3] + slack)
    for id_, box in boxes.items():
        check(within(box, [0, box[1], width, box[3]]), f"{how}: {id_} sticks out at {box}")
        text = got["texts"].get(id_)
        check(not text or (within(text, box) and text[2] > 0), f"{how}: {id_}'s caption "
              f"at {text} is cut by its box {box}")
        if id_ in got["circles"]:
            circle = got["circles"][id_]
            check(box[3] >= 44 - 0.01, f"{how}: {id_}'s row is {box[3]} px high")
            check(within(circle, box) and circle[0] + circle[2] <= text[0],
                  f"{how}: {id_}'s circle {circle} is not on its row {box} left of {text}")

    def below(a, b):  # b's box below a's
        return boxes[b][1] >= boxes[a][1] + boxes[a][3] - 0.5
    rect = {i: c["rects"]["96"] for i, c in CONTROLS.items()}
    shown = sorted((i for i, c in CONTROLS.items() if c["parent"] is None),
                   key=lambda i: (rect[i][1], rect[i][0]))
    for a, b in zip(shown, shown[1:] + ["about"]):
        beside = b != "about" and CONTROLS[a]["kind"] == CONTROLS[b]["kind"] == "button" \
            and rect[a][1] == rect[b][1]
        check(boxes[a][1] == boxes[b][1] and boxes[a][0] + boxes[a][2] <= boxes[b][0]
              if beside else below(a, b), f"{how}: {b} at {boxes[b]} after {a} at {boxes[a]}")
    for frame in (i for i, c in CONTROLS.items() if c["kind"] == "frame"):
        rows = sorted((i for i in OPTIONS if CONTROLS[i]["parent"] == frame),
                      key=lambda i: rect[i][1])
        check(all(within(boxes[i], boxes[frame]) for i in rows),
              f"{how}: {frame}'s options are not all inside it")
        check(all(below(a, b) for a, b in zip(rows, rows[1:])), f"{how}: {frame}'s order")
    if ENGINE != "chromium":
        return
    # The colours in a picture of the whole page.
    data = session.call("Page.captureScreenshot", format="png", captureBeyondViewport=True)
    image = Image.open(io.BytesIO(base64.b64decode(data["data"]))).convert("RGB")
    colours_at(image, how, {i: [round(v * got["ratio"]) for v in box]
                            for i, box in boxes.items()})


def axe(session, how, rows):
    """No violation; target-size only where rows of 24 px are asked for (a
    coarse pointer with room): elsewhere the 20-pixel rows are the window's
    own geometry, or smaller where it is scaled down to a phone's width."""
    session.evaluate(open(AXE_FILE).read())
    found = session.evaluate(
        "axe.run(document, {resultTypes: ['violations'], rules: {'target-size': {enabled: true}}})"
        ".then(r => r.violations.map(v => v.id + ': ' + v.nodes.map(n => n.target).join(', ')))",
        wait=True)
    found = [v for v in found if rows >= 24 or not v.startswith("target-size:")]
    check(not found, f"{how}: axe-core finds {found}")


def layout():
    with page() as session:
        session.open(width=1000, height=800)
        got = session.evaluate("[document.title, document.documentElement.lang]")
        check(got == [FORM["caption"], "bg"], f"the page's title and language {got}")
        elements = {e[0]: e[1:] for e in session.evaluate(
            "[...document.querySelectorAll('#MainForm > *, fieldset > *')].map(e => [e.id, "
            "e.tagName, ...['type', 'name', 'value'].map(a => e.getAttribute(a))])")}
        tags = {"label": ["H1"], "frame": ["FIELDSET"], "textbox": ["TEXTAREA"],
                "option": ["INPUT", "radio"], "button": ["BUTTON", "button"]}
        for id_, control in CONTROLS.items():
            want = tags[control["kind"]] + (id_.split("-") if len(tags[control["kind"]]) > 1 else [])
            got = elements.get(id_, [])[:len(want)]
            check(got == want, f"{id_} is {got}, not {want}")
        # The window's controls come in the tab order of the definition.
        order = [i for i in elements if i in FORM["tabOrder"]]
        check(order == FORM["tabOrder"], f"the page's order {order}")
        for dpi in (96, 120, 144, 192):
            session.open(width=1000, height=800, scale=dpi / 96)
            boxes_at(session, f"device scale {dpi / 96}", dpi, colours=dpi in (96, 192))
        session.open(width=1000, height=800)
        axe(session, "desktop", 20)
        # From the window's width up, the window as defined; below it, one
        # column, on phones too.
        session.open(width=461, height=800)
        boxes_at(session, "461 px wide", 96)
        for width, height in ((460, 800), (360, 640), (320, 568)):
            phone = width < 460
            session.open(width=width, height=height, scale=2, mobile=phone, touch=phone)
            how = f"{width}x{height}"
            one_column(session, how)
            axe(session, how, 24)
            if width == 360:
                session.screenshot().save(os.path.join(SHOTS, "phone.png"))
        # A touch screen with room: rows of at least 24 px.
        session.open(width=800, height=600, touch=True)
        row = session.evaluate(STATE)["boxes"][OPTIONS[0]][3]
        check(row >= 24 - 0.01, f"touch: rows of {row} px")
        axe(session, "touch", row)
        quiet(session)
    for dpi in (120, 144, 192):
        with Session(url=URL, zoom=dpi / 96, server_log=SERVER_LOG) as session:
            session.open(width=1000, height=800)
            boxes_at(session, f"browser zoom {dpi / 96}", dpi)
            quiet(session)


def visits():
    """A first visit asks the server for the program once (the service
    worker, which keeps a copy, asks too: its requests, which name sw.js as
    their referrer, are not the page's). After a game, a reload, back and forward
    each show the quiz at start, whether the browser loads the page anew or
    shows the one it kept; each in a browser of its own (WebKitGTK's web
    process was seen to crash when one went through all three)."""
    start = DATA["scenarios"][0]["steps"][0]
    game = [step for step in DATA["scenarios"][0]["steps"][1:] if step["input"][0] == "click"]
    # Each game is played on the page that is then left and come back to:
    # forward comes to a second load of the page (at another address, or it
    # would take the first's place), left by going back.
    for name in ("a reload", "back", "forward"):
        with page(folder=SITE) as session:
            session.open()
            if name == "a reload":
                session.evaluate("navigator.serviceWorker.ready", wait=True)
                fetched = sum('"GET /zoomatch.wasm' in line and not line.endswith("/sw.js")
                              for line in session.server_lines())
                check(fetched == 1, f"a first visit asked for zoomatch.wasm {fetched} times")
                print(f"first visit: zoomatch.wasm asked for {fetched} time(s) by the page, "
                      f"{session.requests('/zoomatch.wasm') - fetched} by the service worker")
            elif name == "forward":
                session.navigate(session.url + "index.html")
            player = Player(session)
            player.state = session.evaluate(STATE)
            for step in game[:4]:  # picks, a check, more picks
                session.click(*player.where(step["input"][1]))
            check(session.evaluate(STATE)["output"] != start["output"], f"{name}: no game played")
            if name == "a reload":
                session.reload()
            elif name == "back":
                session.navigate("about:blank", until="true")
                session.back()
            else:
                session.back()
                session.forward()
            print(f"{name}: the page "
                  f"{'shown again from the back/forward cache' if session.restored else 'loaded anew'}")
            deadline = time.monotonic() + 2
            while (found := player.differences(start, [])) and time.monotonic() < deadline:
                time.sleep(0.05)
                player.state = session.evaluate(STATE)
            for difference in found:
                check(False, f"after {name}: {difference}")
            quiet(session)


def offline():
    with page(folder=SITE) as session:
        kept(session)
        check(stop(session.server), "the server did not stop")
        Player(session).play("offline", DATA["scenarios"][0]["steps"])
        if ENGINE == "chromium":
            axe(session, "offline", 20)
        # Any address of the page is the kept page.
        for address in ("index.html", "?x=1"):
            session.url = session.url.split("?")[0] + address
            Player(session).play(f"offline, {address}", DATA["scenarios"][0]["steps"])
        quiet(session)


def kept(session):
    """The page loaded twice: the service worker is ready, then controls it."""
    session.open()
    check(session.evaluate(
        "Promise.race([navigator.serviceWorker.ready.then(() => true),"
        " new Promise(done => setTimeout(() => done(false), 10000))])", wait=True),
        "no service worker became ready")
    session.reload()
    check(session.evaluate("!!navigator.serviceWorker.controller"),
          "no service worker controls the page on its second load")


def play_all(session, how):
    session.open()
    for scenario in DATA["scenarios"]:
        Player(session).play(f"{how}: {scenario['name']}", scenario["steps"])


def files():
    """The site's folder opened as a file; zoomatch.html alone in a folder,
    opened as a file and served from a path two folders deep. zoomatch.html
    is at most 40 KB after gzip, with a policy of hashes."""
    single = open(os.path.join(SITE, "zoomatch.html"), "rb").read()
    packed = len(gzip.compress(single, 9))
    check(packed <= 40000, f"zoomatch.html is {packed} bytes after gzip")
    policy = re.search(rb'Content-Security-Policy" content="([^"]*)"', single).group(1).decode()
    check(policy.startswith("default-src 'none'; ") and policy.count("'sha256-") == 2
          and "unsafe" not in policy, f"zoomatch.html's policy: {policy}")
    with tempfile.TemporaryDirectory() as root:
        deep = os.path.join(root, "a", "b")
        os.makedirs(deep)
        shutil.copy(os.path.join(SITE, "zoomatch.html"), deep)
        with page(folder=root) as session:
            for session.url in (pathlib.Path(SITE, "index.html").as_uri(),
                                pathlib.Path(deep, "zoomatch.html").as_uri(),
                                session.url + "a/b/zoomatch.html"):
                play_all(session, session.url)
            quiet(session)
            fetched = re.findall(r'"GET (\S+)', "\n".join(session.server_lines()))
            check(set(fetched) == {"/a/b/zoomatch.html"}, f"zoomatch.html fetched {fetched}")


def without_wasm():
    """The engine without WebAssembly (Chromium without its JIT, Firefox with
    it switched off, JavaScriptCore told not to have it) plays with the
    program in JavaScript, which the engine with WebAssembly does not fetch;
    without scripts (Chromium) the page shows the window and one line that
    says they are needed."""
    with page(folder=SITE, wasm=False) as session:
        play_all(session, "without WebAssembly")
        check(session.evaluate("typeof WebAssembly") == "undefined", "WebAssembly is there")
        quiet(session)
        check(session.requests("/zoomatch-nowasm.js"), "zoomatch-nowasm.js was not fetched")
    with page(folder=SITE) as session:
        kept(session)
        check(session.requests("/zoomatch-nowasm.js") == 0, "zoomatch-nowasm.js fetched")
        if ENGINE != "chromium":
            return quiet(session)
        session.call("Emulation.setScriptExecutionDisabled", value=True)
        session.navigate(until="true")
        said, captions = session.evaluate(
            "[[...document.querySelectorAll('noscript p')].map(p => p.getBoundingClientRect()"
            ".height > 0 && p.textContent), [...document.querySelectorAll('label')]"
            ".map(l => l.textContent)]")
        check(said == [NO_SCRIPTS], f"without scripts the page says {said}")
        check(captions == DATA["scenarios"][0]["steps"][0]["captions"],
              f"without scripts the captions are {captions}")
        quiet(session)


@contextlib.contextmanager
def served(folder, wasm_type, policy):
    """A server of its own that calls .wasm files `wasm_type` and sends each
    answer under the Content-Security-Policy `policy` (if any)."""
    server, url = start_server(folder, subprocess.DEVNULL, "--wasm-type", wasm_type,
                               *(["--policy", policy] if policy else []))
    try:
        yield url
    finally:
        stop(server)


def loading():
    """The program served as text/plain, to a browser that cannot stream it,
    or where the server's policy refuses WebAssembly (then in JavaScript)
    still plays; missing or broken, the page says so in one line, an alert,
    with no uncaught error."""
    mime, refused = "application/wasm", "script-src 'self'"
    streaming = "delete WebAssembly.instantiateStreaming; delete WebAssembly.compileStreaming;"
    for how, wasm_type, policy, wasm, before in (
            ("zoomatch.wasm as text/plain", "text/plain", "", None, ""),
            ("no streaming", mime, "", None, streaming),
            ("WebAssembly refused", mime, refused, None, ""),
            ("zoomatch.wasm missing", mime, "", b"", ""),
            ("zoomatch.wasm broken", mime, "", b"\0asm\1\0\0\0broken", "")):
        with tempfile.TemporaryDirectory() as root, served(root, wasm_type, policy) as url, \
                page(url=url) as session:
            shutil.copytree(SITE, root, dirs_exist_ok=True)
            if wasm == b"":
                os.remove(os.path.join(root, "zoomatch.wasm"))
            elif wasm:
                open(os.path.join(root, "zoomatch.wasm"), "wb").write(wasm)
            if before:
                session.call("Page.addScriptToEvaluateOnNewDocument", source=before)
            if wasm is None:
                session.open()
                Player(session).play(how, DATA["scenarios"][0]["steps"])
                # (The policy's refusal is reported, as it should be.)
                check(not [r for r in session.reports if not policy or "wasm-eval" not in r],
                      f"{how}: {session.reports[:5]}")
                check(session.evaluate("typeof zoomatchJs") == ("function" if policy else
                                                               "undefined"),
                      f"{how}: the program in JavaScript loaded, or not, wrongly")
                continue
            session.navigate(until="!document.getElementById('failed').hidden")
            time.sleep(0.5)  # anything late
            line = session.evaluate("[document.getElementById('failed').textContent,"
                                    " document.documentElement.dataset.playable]")
            check(line == [FAILED, None], f"{how}: the page shows {line}")
            alerts = [n for n in session.call("Accessibility.getFullAXTree")["nodes"]
                      if n["role"]["value"] == "alert" and not n.get("ignored")]
            check(len(alerts) == 1, f"{how}: {len(alerts)} alerts")
            reports = [r for r in session.reports if "404 (File not found)" not in r]
            check(not reports, f"{how}: {reports[:5]}")


def update():
    """A new version deployed into the served folder shows at the next load
    (the page loads again when its worker takes over), whichever file changes;
    a deploy half done, whose worker lists a file that the server does not
    have, is not installed, and the last version keeps playing."""
    write_worker = os.path.join(SITE, "..", "write-service-worker")

    def deploy(site, version, broken=False):
        index = os.path.join(site, "index.html")
        text = open(index, encoding="utf-8").read()
        open(index, "w", encoding="utf-8").write(
            re.sub("</title>", f" {version}</title>", text, count=1))
        subprocess.run([write_worker, site], check=True)
        if broken:  # a file changed after the worker was written
            with open(os.path.join(site, "zoomatch.css"), "a") as css:
                css.write("\n")
        later = time.time() + 10 * version  # newer than anything the browser holds
        for name in os.listdir(site):
            os.utime(os.path.join(site, name), (later, later))

    installed = """navigator.serviceWorker.getRegistration().then(r => r.update().then(() =>
      new Promise(done => { const worker = r.installing || r.waiting; if (!worker) done('none');
        else worker.onstatechange = () => /activated|redundant/.test(worker.state) &&
          done(worker.state); })))"""
    with tempfile.TemporaryDirectory() as root:
        site = os.path.join(root, "site")
        shutil.copytree(SITE, site)
        # The cache's name covers every file, those that the worker does not keep too.
        worker = open(os.path.join(site, "sw.js")).read()
        with open(os.path.join(site, "zoomatch.html"), "a") as single:
            single.write("\n")
        subprocess.run([write_worker, site], check=True)
        check(open(os.path.join(site, "sw.js")).read() != worker, "the same cache for a new file")
        with page(folder=site) as session:
            kept(session)
            deploy(site, 2)
            session.navigate(until="document.title.endsWith(' 2')")
            Player(session).play("a new version", DATA["scenarios"][0]["steps"])
            deploy(site, 3, broken=True)
            check(session.evaluate(installed, wait=True) in ("none", "redundant"),
                  "a worker with a file of the wrong hash was installed")
            session.navigate()
            title = session.evaluate("document.title")
            check(title.endswith(" 2"), f"after a deploy half done the page is {title}")
            Player(session).play("after a deploy half done", DATA["scenarios"][0]["steps"])
            quiet(session)


{"scenarios": scenarios, "random": random_game, "layout": layout, "visits": visits,
 "offline": offline, "files": files, "nowasm": without_wasm, "loading": loading,
 "update": update}[MODE]()
print(f"{MODE} in {ENGINE}: {len(failures)} checks failed")
sys.exit(1 if failures else 0)
