#!/usr/bin/python3
"""Plays a whole game as a screen reader does, over the accessibility bus of a
running zoomatch: buttons found by name or description and pressed through
their actions, the output box and the notices read back."""
import sys
import time
import warnings

import pyatspi

warnings.simplefilter("ignore", DeprecationWarning)


def wait_for(what, condition):
    deadline = time.monotonic() + 10
    while not (result := condition()):
        if time.monotonic() > deadline:
            sys.exit(f"FAIL: gave up waiting for {what}")
        time.sleep(0.05)
    return result


def check(condition, message):
    if not condition:
        sys.exit(f"FAIL: {message}")


def descendants(node):
    for child in node:
        yield child
        yield from descendants(child)


app = wait_for("zoomatch on the accessibility bus",
               lambda: next((a for a in pyatspi.Registry.getDesktop(0)
                             if a is not None and a.name == "zoomatch"), None))
window = wait_for("the quiz window", lambda: app.childCount and app.getChildAtIndex(0))


def find(role, name=None, description=None):
    for node in descendants(window):
        if node.getRole() == role and name in (None, node.name) and description in (None, node.description):
            return node
    sys.exit(f"FAIL: no {role} named {name!r} described {description!r}")


def act(node, action):
    actions = node.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    check(action in names, f"{node.name!r} offers {names}, not {action}")
    actions.doAction(names.index(action))


def output():
    return find(pyatspi.ROLE_TEXT, "Резултат").queryText().getText(0, -1)


def command(name, expected):
    act(find(pyatspi.ROLE_PUSH_BUTTON, name), "Press")
    wait_for(f"{expected!r} after {name}", lambda: output() == expected)
    # The notice that screen readers speak: the verdict without the blank line.
    said = "\n".join(line for line in expected.split("\n") if line.strip())
    notice = find(pyatspi.ROLE_NOTIFICATION).name
    check(notice == said, f"the notice after {name} says {notice!r}, not {said!r}")


def pick(name=None, description=None):
    button = find(pyatspi.ROLE_RADIO_BUTTON, name, description)
    act(button, "Toggle")
    wait_for(f"{name or description} to be checked",
             lambda: button.getState().contains(pyatspi.STATE_CHECKED))


check(window.getRole() == pyatspi.ROLE_FRAME, "the window is announced as a window")
check(window.name.endswith(" Биология - наука и обхват"), f"window title {window.name!r}")
for role, name in ((pyatspi.ROLE_LABEL, "Биология - науки за животните"),
                   (pyatspi.ROLE_PANEL, "Митичен герой"), (pyatspi.ROLE_PANEL, "Свързан с")):
    find(role, name)
check(output().startswith("Биологията е наука за живота."), "the introduction is read at start")

command("Изведи", "Грешен отговор.\n")
pick("батрахология")
pick("риби")
command("Изведи", "Грешен отговор.\n")
pick("анатомия")
pick("вътрешен строеж на организми")
command("Изведи", "анатомия е наука за вътрешен строеж на организми\nВярно! Позна.\n \n")
# The matched buttons are named as solved; their descriptions still find them.
for description in "наука 1 от 10", "предмет 3 от 10":
    name = find(pyatspi.ROLE_RADIO_BUTTON, description=description).name
    check(name == "решено", f"the matched button {description} is named {name!r}")
    pick(description=description)
command("Изведи", " е наука за \nВярно! Позна.\n \n")
command("Чисти", "Направете своя избор!")
check(find(pyatspi.ROLE_RADIO_BUTTON, description="наука 1 от 10").name == "анатомия",
      "a clear brings the captions back")
checked = [b.name for b in descendants(window) if b.getRole() == pyatspi.ROLE_RADIO_BUTTON
           and b.getState().contains(pyatspi.STATE_CHECKED)]
check(checked == [], f"nothing is selected after a clear, but {checked} are")
print("tst_atspi: 1 passed, 0 failed")
