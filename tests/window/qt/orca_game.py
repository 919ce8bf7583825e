#!/usr/bin/python3
"""Plays the quiz from the keyboard, through the X server's test extension,
while Orca runs, then has Orca quit and checks what it spoke after each key:
the SPEECH OUTPUT lines of its debug log, from one key press to the next.
   orca_game.py ORCA-DEBUG-LOG SPOKEN-FILE ORCA-PID"""
import os
import re
import signal
import sys
import time

from Xlib import X, XK, display
from Xlib.ext import xtest

sys.dont_write_bytecode = True  # nothing of the test lands in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../.."))
from x11_windows import zoomatch_window  # noqa: E402

log_path, spoken_path, orca = sys.argv[1], sys.argv[2], int(sys.argv[3])
screen = display.Display()
root = screen.screen().root

# Each key with what Orca says after it. The learner picks a wrong pair and
# checks it with Return, picks the right one by arrow keys and checks it with
# Space, finds the blanked button, and clears the board with Return. (The
# keypad's Enter is Orca's own "where am I" key and never reaches the quiz.)
GAME = [
    ("Tab", ["табулация ", "Митичен герой панел.", "анатомия.", "неизбран радио бутон",
             "наука 1 от 10."]),
    ("Down", ["батрахология.", "неизбран радио бутон", "наука 2 от 10."]),
    ("space", ["интервал ", "избран"]),
    ("Tab", ["табулация ", "Свързан с панел.", "бозайници.", "неизбран радио бутон",
             "предмет 1 от 10."]),
    ("space", ["интервал ", "избран"]),
    ("Tab", ["табулация ", "Чисти бутон."]),
    ("Tab", ["табулация ", "Изведи бутон."]),
    ("Return", ["return ", "известяване Грешен отговор."]),
    ("Tab", ["табулация ", "Резултат само за четене текст.", "Грешен отговор."]),
    ("Tab", ["табулация ", "Митичен герой панел.", "батрахология.", "избран радио бутон",
             "наука 2 от 10."]),
    ("Up", ["анатомия.", "избран радио бутон", "наука 1 от 10."]),
    ("Tab", ["табулация ", "Свързан с панел.", "бозайници.", "избран радио бутон",
             "предмет 1 от 10."]),
    ("Down", ["влечуги.", "избран радио бутон", "предмет 2 от 10."]),
    ("Down", ["вътрешен строеж на организми.", "избран радио бутон", "предмет 3 от 10."]),
    ("Tab", ["табулация ", "Чисти бутон."]),
    ("Tab", ["табулация ", "Изведи бутон."]),
    ("space", ["интервал ", "известяване анатомия е наука за вътрешен строеж на организми\nВярно! Позна."]),
    ("Tab", ["табулация ", "Резултат само за четене текст.",
             "анатомия е наука за вътрешен строеж на организми."]),
    ("Tab", ["табулация ", "Митичен герой панел.", "решено.", "неизбран радио бутон",
             "наука 1 от 10."]),
    ("Tab", ["табулация ", "Свързан с панел.", "решено.", "неизбран радио бутон",
             "предмет 3 от 10."]),
    ("Tab", ["табулация ", "Чисти бутон."]),
    ("Return", ["return ", "известяване Направете своя избор!"]),
    ("Tab", ["табулация ", "Изведи бутон."]),
    ("Tab", ["табулация ", "Резултат само за четене текст.", "Направете своя избор!"]),
    ("Tab", ["табулация ", "Митичен герой панел.", "анатомия.", "неизбран радио бутон",
             "наука 1 от 10."]),
]
# As the window opens, after Orca's own greeting: the title, the heading and
# the output box with the first line of the introduction.
OPENING = ["Екранният четец е включен.", "www.example.org Биология - наука и обхват рамка.",
           "Биология - науки за животните.", "Резултат само за четене текст.",
           "Биологията е наука за живота."]


def quiz_window():
    return zoomatch_window(root)


def spoken():
    with open(spoken_path, "rb") as f:
        return len(f.read())


def wait_until_quiet(least=1.0, quiet=1.0, most=10):
    """Orca writes its log in blocks, but speech-dispatcher's output module
    writes each text as it comes: waits until that has been still a while."""
    start = time.monotonic()
    size, still = spoken(), start
    while True:
        time.sleep(0.05)
        now = time.monotonic()
        if spoken() != size:
            size, still = spoken(), now
        elif now - still >= quiet and now - start >= least:
            return
        if now - start > most:
            sys.exit("FAIL: Orca never stopped speaking")


def key(name):
    code = screen.keysym_to_keycode(XK.string_to_keysym(name))
    xtest.fake_input(screen, X.KeyPress, code)
    xtest.fake_input(screen, X.KeyRelease, code)
    screen.sync()
    wait_until_quiet()


deadline = time.monotonic() + 30
while (window := quiz_window()) is None:
    if time.monotonic() > deadline:
        sys.exit("FAIL: the quiz window did not appear")
    time.sleep(0.05)
window.set_input_focus(X.RevertToParent, X.CurrentTime)
screen.sync()
wait_until_quiet(least=2)

for name, _ in GAME:
    key(name)

# Orca writes out the rest of its log as it quits.
os.kill(orca, signal.SIGTERM)
deadline = time.monotonic() + 20
while True:
    try:
        with open(f"/proc/{orca}/stat") as f:
            if f.read().split(") ")[-1].startswith("Z"):
                break
    except FileNotFoundError:
        break
    if time.monotonic() > deadline:
        sys.exit("FAIL: Orca did not quit")
    time.sleep(0.1)

with open(log_path, encoding="utf-8", errors="replace") as f:
    log = f.read()
# The log indents the lines after the first of a text.
log = log.replace("\n" + " " * 18, "\n")
marker = re.compile(r"^vvvvv PROCESS ATSPI_KEY_PRESSED_EVENT: '([^']*)'", re.M)
parts = marker.split(log)
speech = re.compile(r" - SPEECH OUTPUT: '(.*?)' ?(?:\{'|voice=|$)", re.M | re.S)
heard = [(name, speech.findall(text)) for name, text in zip(["opening"] + parts[1::2], parts[0::2])]
failures = 0


def check(step, name, said, expected):
    global failures
    if said != expected:
        failures += 1
        print(f"FAIL: step {step}, {name}: Orca said {said}, not {expected}")


opening = heard[0][1]
if len(opening) == len(OPENING):  # the first line of the introduction ends where the box wraps it
    opening[-1] = opening[-1][:len(OPENING[-1])]
check(0, "opening", opening, OPENING)
if [name for name, _ in heard[1:]] != [name for name, _ in GAME]:
    sys.exit(f"FAIL: Orca saw the keys {[name for name, _ in heard[1:]]}")
for step, ((name, said), (_, expected)) in enumerate(zip(heard[1:], GAME), 1):
    if step == len(GAME):
        said = said[:len(expected)]  # Orca's farewell as it quits
    check(step, name, said, expected)
if failures:
    sys.exit(1)
print(f"{len(GAME) + 1} passed, 0 failed")
