#!/usr/bin/python3
"""Plays the web build in headless Chromium with real mouse events: a wrong
pair, a right pair and a clear, at device scale factors 1 and 2, and checks
each step's screenshot: the colours, the blanked captions and the output text,
read back with Tesseract from a threefold enlargement of the output box. Then
a right pair with the keyboard alone: Tab, Space and the arrow keys, then
Return on the focused clear button.
   e2e.py BUILD-WEB-FOLDER"""
import os
import subprocess
import sys
import tempfile

from PIL import Image

from browser import Session

# The window's controls in CSS pixels (the form's twips divided by 15).
PAGE = (0xC0, 0xC0, 0xFF)
SCIENCE = (0xC0, 0xFF, 0xC0)
SUBJECT = (0xFF, 0xC0, 0xFF)
LABEL = (0xFF, 0xC0, 0x80)
CHECK, CLEAR = (148, 276), (60, 276)
OUTPUT_BOX = (10, 290, 438, 407)  # without the scroll bar
# The subject column's slots, top to bottom, hold these rows.
SUBJECT_SLOTS = [6, 7, 0, 1, 9, 2, 5, 3, 8, 4]

failures = []


def science(row):
    return {"click": (60, 62 + 20 * row), "plain": (156, 62 + 20 * row),
            "caption": (34, 54 + 20 * row, 160, 70 + 20 * row), "colour": SCIENCE,
            "name": f"science {row}"}


def subject(row):
    slot = SUBJECT_SLOTS.index(row)
    return {"click": (240, 62 + 20 * slot), "plain": (430, 62 + 20 * slot),
            "caption": (202, 54 + 20 * slot, 432, 70 + 20 * slot), "colour": SUBJECT,
            "name": f"subject {row}"}


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def near(a, b):
    return all(abs(x - y) <= 3 for x, y in zip(a, b))


class Step:
    def __init__(self, session, name):
        self.session, self.name = session, name
        self.image = session.settled()
        self.scale = session.scale

    def pixel(self, x, y):
        return self.image.getpixel((round(x * self.scale), round(y * self.scale)))

    def colour(self, point, expected, what):
        got = self.pixel(*point)
        check(near(got, expected), f"{self.name}: {what} at {point} is {got}, not {expected}")

    def dark_pixels(self, box):
        s = self.scale
        region = self.image.crop(tuple(round(v * s) for v in box))
        return sum(1 for p in region.getdata() if max(p) < 110)

    def caption(self, control, shown):
        dark = self.dark_pixels(control["caption"])
        if shown:
            check(dark > 20 * self.scale, f"{self.name}: {control['name']} lost its caption")
        else:
            check(dark == 0, f"{self.name}: {control['name']} still shows {dark} text pixels")
        self.colour(control["plain"], control["colour"], control["name"])

    def output(self, expected):
        s = self.scale
        box = self.image.crop(tuple(round(v * s) for v in OUTPUT_BOX))
        width, height = OUTPUT_BOX[2] - OUTPUT_BOX[0], OUTPUT_BOX[3] - OUTPUT_BOX[1]
        box = box.resize((3 * width, 3 * height), Image.LANCZOS).convert("L")
        with tempfile.TemporaryDirectory() as scratch:
            path = os.path.join(scratch, "output.png")
            box.save(path)
            text = subprocess.run(["tesseract", path, "stdout", "-l", "bul", "--psm", "6"],
                                  capture_output=True, text=True, check=True).stdout
        lines = [" ".join(line.split()) for line in text.splitlines() if line.strip()]
        check(lines == expected, f"{self.name}: the output box reads {lines}, not {expected}")


def play(session, scale):
    first = session.open(scale)
    print(f"scale {scale}: first frame {first:.2f} s after navigation")
    start = Step(session, f"scale {scale}, start")
    start.colour((4, 280), PAGE, "the window's background")
    start.colour((470, 200), PAGE, "the page right of the window")
    start.colour((200, 423), PAGE, "the page below the window")
    start.colour((66, 12), LABEL, "the title label")
    for control in (science(0), science(3), subject(1), subject(3)):
        start.caption(control, shown=True)

    session.click(*science(0)["click"])
    session.click(*subject(1)["click"])
    session.click(*CHECK)
    wrong = Step(session, f"scale {scale}, wrong pair")
    wrong.output(["Грешен отговор."])
    wrong.caption(science(0), shown=True)
    wrong.caption(subject(1), shown=True)

    session.click(*science(3)["click"])
    session.click(*subject(3)["click"])
    session.click(*CHECK)
    right = Step(session, f"scale {scale}, right pair")
    right.output(["ихтиология е наука за риби", "Вярно! Позна."])
    right.caption(science(3), shown=False)
    right.caption(subject(3), shown=False)
    right.caption(science(0), shown=True)

    session.click(*CLEAR)
    cleared = Step(session, f"scale {scale}, clear")
    cleared.output(["Направете своя избор!"])
    for control in (science(0), science(3), subject(1), subject(3)):
        cleared.caption(control, shown=True)


def press(session, key, modifiers=0):
    """One key, as the keyboard sends it; modifiers 8 is Shift."""
    codes = {"Tab": ("Tab", 9), "ArrowDown": ("ArrowDown", 40), " ": ("Space", 32),
             "Enter": ("Enter", 13)}
    code, number = codes[key]
    session.call("Input.dispatchKeyEvent", type="rawKeyDown", key=key, code=code,
                 windowsVirtualKeyCode=number, modifiers=modifiers)
    if key in (" ", "Enter"):
        text = " " if key == " " else "\r"
        session.call("Input.dispatchKeyEvent", type="char", key=key, text=text,
                     modifiers=modifiers)
    session.call("Input.dispatchKeyEvent", type="keyUp", key=key, code=code,
                 windowsVirtualKeyCode=number, modifiers=modifiers)


def play_keys(session):
    session.open(1)
    session.settled()
    # From the output box: the first science, three down; the first subject
    # slot, seven down (риби); past Чисти to Изведи.
    for key in (["Tab", " "] + ["ArrowDown"] * 3 + ["Tab", " "] + ["ArrowDown"] * 7
                + ["Tab", "Tab", " "]):
        press(session, key)
    keys = Step(session, "keyboard, right pair")
    keys.output(["ихтиология е наука за риби", "Вярно! Позна."])
    keys.caption(science(3), shown=False)
    keys.caption(subject(3), shown=False)
    # Back to Чисти, and Return presses the focused button.
    press(session, "Tab", modifiers=8)
    press(session, "Enter")
    cleared = Step(session, "keyboard, Return on Чисти")
    cleared.output(["Направете своя избор!"])
    cleared.caption(science(3), shown=True)


def main():
    with Session(sys.argv[1]) as session:
        for scale in (1, 2):
            play(session, scale)
        play_keys(session)
        check(not session.console, f"the page wrote to the console: {session.console}")
    if failures:
        sys.exit(f"{len(failures)} check(s) failed")
    print("PASS: a wrong pair, a right pair and a clear, at scale 1 and 2; a right pair and a "
          "clear by keys")


if __name__ == "__main__":
    main()
