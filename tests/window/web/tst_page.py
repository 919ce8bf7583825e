#!/usr/bin/python3
"""The quiz page in headless Chromium, driven by real input over the DevTools
protocol. The window definition and the window's behaviour come as JSON from
form_json (the definition and the table of steps every front end plays), run
under Node. One test per run, by its first argument:
  scenarios  every scenario, on a fresh page each: by mouse on a desktop at
             device scale 1 and 2, by touch on a phone; after every step the
             focus, the twenty options' checked states and captions, the
             output text exactly (CR LF) and as shown, what the live region
             said, and the accessibility tree (roles, names, «решено»,
             descriptions, checked states, the live region); then clicks
             on a button whose name or value is no member;
  random     the random game of COUNT inputs from SEED, by mouse and keys;
  layout     the structure of the page, every control's box in device pixels
             against its place at 96, 120, 144 and 192 dpi through device
             scale and browser zoom, the colours in a screenshot, the phone
             and touch layouts, axe-core;
  offline    a game played from the service worker with the server stopped.
Every test also requires that nothing reaches the console or breaks the
page's Content-Security-Policy. Ends with `N checks failed` and status 1 on
any failure.
   tst_page.py MODE FORM_JSON_JS URL_FILE SITE AXE_JS [SEED COUNT]"""
import json
import subprocess
import sys
import time

from browser import Session, wait_for

MODE, FORM_JSON, URL_FILE, SITE, AXE_FILE = sys.argv[1:6]
EXTRA = sys.argv[6:8] if MODE == "random" else []
DATA = json.loads(subprocess.run(["node", "--no-experimental-fetch", FORM_JSON, *EXTRA],
                                 capture_output=True, check=True).stdout)
FORM = DATA["window"]
CONTROLS = {c["id"]: c for c in FORM["controls"]}
OPTIONS = [c["id"] for c in FORM["controls"] if c["kind"] == "option"]
OUTPUT = next(c["id"] for c in FORM["controls"] if c["kind"] == "textbox")
DPIS = (96, 120, 144, 192)

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        if len(failures) <= 30:
            print("FAIL:", message)
    return condition


# One look at the page: what the steps compare, and each control's box in
# CSS pixels (an option's box is its label's).
STATE = """(() => {
  const box = document.getElementById(OUTPUT);
  const element = id => document.getElementById(id);
  const boxes = {};
  for (const id of ['MainForm', ...IDS]) {
    const r = ((element(id).labels || [])[0] || element(id)).getBoundingClientRect();
    boxes[id] = [r.left, r.top, r.width, r.height];
  }
  return {focus: document.activeElement && document.activeElement.id,
          checked: OPTIONS.filter(id => element(id).checked),
          captions: OPTIONS.map(id => element(id).labels[0].textContent),
          output: box.defaultValue, shown: box.value, said: zoomatchSaid.splice(0),
          load: window.zoomatchPage, boxes, ratio: devicePixelRatio};
})()""".replace("OUTPUT", json.dumps(OUTPUT)).replace("OPTIONS", json.dumps(OPTIONS)) \
    .replace("IDS", json.dumps(list(CONTROLS)))


class Player:
    """Plays steps on the page as it is loaded in the session."""

    def __init__(self, session, touch=False, tree=False):
        self.session, self.touch, self.tree = session, touch, tree

    def find_nodes(self):
        """The elements' nodes in the accessibility tree of this document."""
        self.nodes = {}
        for id_ in [*CONTROLS, "verdict"]:
            found = self.session.call("Runtime.evaluate",
                                      expression=f"document.getElementById('{id_}')")
            node = self.session.call("DOM.describeNode", objectId=found["result"]["objectId"])
            self.nodes[node["node"]["backendNodeId"]] = id_

    def where(self, control):
        """The centre of a control's place in the definition, on this page."""
        state = self.state
        main = state["boxes"]["MainForm"]
        scale = main[2] / FORM["client"]["96"][2]
        left, top, width, height = CONTROLS[control]["rects"]["96"]
        return main[0] + (left + width / 2) * scale, main[1] + (top + height / 2) * scale

    def give(self, step):
        kind = step["input"][0]
        if kind == "click":
            (self.session.tap if self.touch else self.session.click)(*self.where(step["input"][1]))
        elif kind == "key":
            self.session.press_rule_key(step["input"][1])

    def differences(self, step, said):
        s = self.state
        got = {"focus": s["focus"], "checked": sorted(s["checked"]), "captions": s["captions"],
               "output": s["output"], "shown": s["shown"],
               "said": [text.replace("\u200b", "") for text in said],
               "load": s["load"]}
        want = {"focus": step["focus"], "checked": sorted(step["checked"]),
                "captions": step["captions"], "output": step["output"],
                "shown": step["output"].replace("\r\n", "\n"),
                "said": [] if step["announced"] is None else [step["announced"]],
                "load": self.session.loads}
        return [f"{key} {got[key]!r}, not {want[key]!r}" for key in got if got[key] != want[key]]

    def play(self, name, steps):
        """A fresh page, then each step's input and the state after it."""
        self.session.reload()
        if self.tree:
            self.find_nodes()
        bad = 0
        for number, step in enumerate(steps):
            if number:
                self.give(step)
            said, deadline = [], time.monotonic() + 2
            while True:  # what an input changes is there when it returns; allow some slack
                self.state = self.session.evaluate(STATE)
                said += self.state["said"]
                found = self.differences(step, said)
                if not found or time.monotonic() > deadline:
                    break
                time.sleep(0.05)
            if self.tree:
                found += self.tree_differences(step)
            what = " ".join(step["input"])
            for difference in found:
                check(False, f"{name}, step {number} ({what}): {difference}")
            bad += bool(found)
            if bad >= 3:
                check(False, f"{name}: stopped after three steps that failed")
                return

    def tree_differences(self, step):
        got = {}
        for node in self.session.call("Accessibility.getFullAXTree")["nodes"]:
            if node.get("backendDOMNodeId") in self.nodes and not node.get("ignored"):
                props = {p["name"]: p["value"].get("value") for p in node.get("properties", [])}
                got[self.nodes[node["backendDOMNodeId"]]] = (
                    node["role"]["value"], node.get("name", {}).get("value", ""),
                    node.get("description", {}).get("value", ""), props)
        roles = {"label": "heading", "frame": "group", "button": "button", "textbox": "textbox"}
        expected = {}
        for id_, control in CONTROLS.items():
            if control["kind"] == "option":
                caption = step["captions"][OPTIONS.index(id_)]
                expected[id_] = ("radio", caption or FORM["solvedName"], control["description"])
            else:
                name = FORM["outputName"] if control["kind"] == "textbox" else control["caption"]
                expected[id_] = (roles[control["kind"]], name, "")
        found = []
        for id_, want in expected.items():
            node = got.get(id_)
            if node is None or node[:3] != want:
                found.append(f"{id_} in the accessibility tree is {node and node[:3]}, not {want}")
            elif want[0] == "radio" and node[3].get("checked") != str(id_ in step["checked"]).lower():
                found.append(f"{id_} is checked {node[3].get('checked')} in the tree")
        if not got.get(OUTPUT, [{}])[-1].get("readonly"):
            found.append("the output box is not read-only in the tree")
        verdict = got.get("verdict", ("", "", "", {}))
        if verdict[0] != "status" or verdict[3].get("live") != "polite":
            found.append(f"the live region is {verdict}, not a polite status")
        return found


def quiet(session):
    check(not session.reports, f"console, log or CSP: {session.reports[:5]}")


def scenarios(url):
    with Session(url=url) as session:
        for how, viewport, touch in (
                ("desktop, mouse", dict(width=800, height=600, scale=1), False),
                ("desktop at device scale 2, mouse", dict(width=800, height=600, scale=2), False),
                ("phone, touch", dict(width=360, height=640, scale=2, mobile=True), True)):
            session.open(**viewport, touch=touch)
            player = Player(session, touch=touch, tree=True)
            for scenario in DATA["scenarios"]:
                where = f"{how}: {scenario['name']}"
                player.play(where, scenario["steps"])
                print(f"played {where}: {len(scenario['steps'])} steps")
        bad_input(session)
        quiet(session)


def bad_input(session):
    """A click on an element whose name or value is no member changes
    nothing: the page hands on what the element carries, as text."""
    session.open()
    start, wrong = DATA["scenarios"][0]["steps"][:2]  # the start, then Изведи pressed
    player, button = Player(session), wrong["input"][1]
    player.state = session.evaluate(STATE)
    at = player.where(button)
    for attribute, value in (("value", "x"), ("value", ""), ("value", " 0"), ("value", "+0"),
                             ("value", "2"), ("name", "Command2"), ("name", "command1")):
        session.evaluate(f"document.getElementById('{button}').setAttribute('{attribute}', "
                         f"'{value}')")
        session.click(*at)
        state = session.evaluate(STATE)
        check(state["output"] == start["output"] and not state["said"],
              f"Изведи with {attribute} {value!r} changed the output or said {state['said']}")
        session.evaluate(f"document.getElementById('{button}').setAttribute('name', 'Command1');"
                         f"document.getElementById('{button}').setAttribute('value', '0')")
    session.click(*at)
    check(session.evaluate(STATE)["output"] == wrong["output"], "Изведи restored does nothing")


def random_game(url):
    steps = DATA["scenarios"][0]["steps"]
    started = time.monotonic()
    with Session(url=url) as session:
        session.open()
        Player(session).play(f"random game {EXTRA[0]}", steps)
        quiet(session)
    print(f"played {len(steps) - 1} random inputs in {time.monotonic() - started:.0f} s")


def places(dpi, scale=1.0):
    """Each control's place at `dpi`, the window's first, times `scale`."""
    return {id_: [round(v * scale) for v in rects[str(dpi)]]
            for id_, rects in [("MainForm", FORM["client"]),
                               *((i, c["rects"]) for i, c in CONTROLS.items())]}


def boxes_at(session, how, dpi, scale=1.0):
    """Each control's box in device pixels against its place at `dpi` (on
    a phone, at 96 dpi times the scale that fits the window to its width)."""
    state = session.evaluate(STATE)
    ratio = state["ratio"]
    check(scale != 1 or abs(ratio - dpi / 96) < 1e-6,
          f"{how}: device pixel ratio {ratio}, not {dpi / 96}")
    for id_, want in places(dpi, scale).items():
        got = [v * ratio for v in state["boxes"][id_]]
        check(all(abs(a - b) <= 1 for a, b in zip(got, want)),
              f"{how}, {dpi} dpi: {id_} at {[round(v, 2) for v in got]}, not {want}")


def dominant(image, box, holes):
    """The commonest colour of the image in `box` outside `holes` (device
    px), less a border of 2 px, where edges blend."""
    left, top, width, height = box
    part = image.crop((left + 2, top + 2, left + width - 2, top + height - 2))
    hole = (1, 2, 3)  # a colour that the page does not use
    for h in holes:
        part.paste(hole, (h[0] - left - 2, h[1] - top - 2, h[0] + h[2] - left - 2,
                          h[1] + h[3] - top - 2))
    counts = [c for c in part.getcolors(part.width * part.height) if c[1] != hole]
    return max(counts)[1] if counts else None


def colours(session, how, dpi, scale=1.0):
    image, at = session.screenshot(), places(dpi, scale)
    wanted = {"MainForm": FORM["background"]}
    wanted.update({i: c["background"] for i, c in CONTROLS.items() if c["background"] >= 0})
    for id_, colour in wanted.items():
        parent = None if id_ == "MainForm" else id_
        holes = [at[i] for i, c in CONTROLS.items() if c["parent"] == parent]
        box = at[id_]
        got, want = dominant(image, box, holes), tuple(colour.to_bytes(3, "big"))
        check(got and all(abs(a - b) <= 2 for a, b in zip(got, want)),
              f"{how}: {id_} is {got}, not {want}")


def axe(session, how, rows):
    """No violation; target-size only where rows of 24 px are asked for (a
    coarse pointer with room): elsewhere the 20-pixel rows are the window's
    own geometry, or smaller where it is scaled down to a phone's width."""
    session.evaluate(open(AXE_FILE).read())
    found = session.evaluate(
        "axe.run(document, {resultTypes: ['violations'], rules: {'target-size': {enabled: true}}})"
        ".then(r => r.violations.map(v => v.id + ': ' + v.nodes.map(n => n.target).join(', ')))",
        wait=True)
    if rows < 24:
        found = [v for v in found if not v.startswith("target-size:")]
    check(not found, f"{how}: axe-core finds {found}")


STRUCTURE = """(() => [...document.querySelectorAll('#MainForm > *, fieldset > *')].map(e =>
  [e.tagName, e.id, e.getAttribute('type'), e.getAttribute('name'), e.getAttribute('value'),
   e.readOnly || false, e === document.activeElement]))()"""


def layout(url):
    with Session(url=url) as session:
        session.open(width=1000, height=800)
        check(session.evaluate("document.title") == FORM["caption"], "the page's title")
        check(session.evaluate("document.documentElement.lang") == "bg", "the page's language")
        elements = {e[1]: e for e in session.evaluate(STRUCTURE)}
        tags = {"label": "H1", "frame": "FIELDSET", "option": "INPUT", "button": "BUTTON",
                "textbox": "TEXTAREA"}
        for id_, control in CONTROLS.items():
            tag, _, kind, name, value, readonly, focused = elements.get(id_, [None] * 7)
            check(tag == tags[control["kind"]], f"{id_} is a {tag}")
            if control["kind"] in ("option", "button"):
                check((kind, name, value) == ({"option": "radio"}.get(control["kind"], "button"),
                                              *id_.split("-")),
                      f"{id_} has type, name and value {kind, name, value}")
            check(readonly == focused == (id_ == OUTPUT), f"{id_}: read-only {readonly}, "
                  f"focused at start {focused}")
        # The window's controls come in the tab order of the definition.
        order = [i for i in elements if i in CONTROLS and CONTROLS[i]["kind"] != "label"
                 and CONTROLS[i]["kind"] != "frame"]
        check(order == FORM["tabOrder"], f"the page's order {order}")
        for dpi in DPIS:
            session.open(width=1000, height=800, scale=dpi / 96)
            boxes_at(session, f"device scale {dpi / 96}", dpi)
            if dpi in (96, 192):
                colours(session, f"device scale {dpi / 96}", dpi)
        session.open(width=1000, height=800)
        axe(session, "desktop", 20)
        # A phone: the whole window scaled down to its width, nothing to scroll.
        session.open(width=360, height=640, scale=2, mobile=True, touch=True)
        fit = 2 * 360 / FORM["client"]["96"][2]
        boxes_at(session, "phone", 96, fit)
        colours(session, "phone", 96, fit)
        check(session.evaluate("document.documentElement.scrollWidth <= innerWidth"),
              "phone: the page scrolls sideways")
        axe(session, "phone", 20 * 360 / FORM["client"]["96"][2])
        # A touch screen with room: rows of at least 24 px.
        session.open(width=800, height=600, touch=True)
        row = session.evaluate(STATE)["boxes"][OPTIONS[0]][3]
        check(row >= 24 - 0.01, f"touch: rows of {row} px")
        axe(session, "touch", row)
        quiet(session)
    for dpi in DPIS[1:]:
        with Session(url=url, zoom=dpi / 96) as session:
            session.open(width=1000, height=800)
            boxes_at(session, f"browser zoom {dpi / 96}", dpi)
            quiet(session)


def offline(site):
    with Session(site) as session:
        session.open()
        check(session.evaluate(
            "Promise.race([navigator.serviceWorker.ready.then(() => true),"
            " new Promise(done => setTimeout(() => done(false), 10000))])", wait=True),
            "no service worker became ready")
        session.reload()
        check(session.evaluate("!!navigator.serviceWorker.controller"),
              "no service worker controls the page on its second load")
        session.stop_server()
        Player(session).play("offline", DATA["scenarios"][0]["steps"])
        axe(session, "offline", 20)
        quiet(session)


def main():
    url = open(URL_FILE).read().strip() if MODE != "offline" else None
    {"scenarios": scenarios, "random": random_game, "layout": layout,
     "offline": lambda _: offline(SITE)}[MODE](url)
    print(f"{MODE}: {len(failures)} checks failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
